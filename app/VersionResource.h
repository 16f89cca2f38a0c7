#pragma once

#include "platform/File.h"
#include "platform/StartupPlatform.h"

#include <optional>

namespace orvella {

// The fixed file version (VS_FIXEDFILEINFO) of a Windows executable, read from its version resource
// without the Windows loader, so that the game's version is known on every platform. Every offset is
// checked against the file's length; nothing when the file is no executable image, has no version
// resource, or any part of the way to it lies outside the file.
std::optional<FileVersion> readFixedFileVersion(File& file);

} // namespace orvella
