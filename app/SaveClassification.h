#pragma once

#include "game/GameInstallation.h"
#include "game/SaveInfo.h"
#include "platform/FileSystem.h"

#include <optional>
#include <string>

namespace orvella {

// What a save of the installation's engine was made with, from its header record alone; nothing when it is
// not a save that can be listed (an original save's extension is not ".ess", or it is unreadable, not the
// record format, or not of the save file type; an OpenMW save's header does not begin with its format's
// version or is not followed by its SAVE record).
std::optional<SaveInfo> classifySave(FileSystem& files, const GameInstallation& installation,
                                     const std::string& fileName);

} // namespace orvella
