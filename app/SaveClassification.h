#pragma once

#include "game/GameInstallation.h"
#include "game/SaveInfo.h"
#include "platform/FileSystem.h"

#include <optional>
#include <string>

namespace orvella {

// What a file in "Saves" was made with, from its header record alone; nothing when it is not a save
// that can be listed (wrong extension, unreadable, not the record format, or not of the save file type).
std::optional<SaveInfo> classifySave(FileSystem& files, const GameInstallation& installation,
                                     const std::string& fileName);

} // namespace orvella
