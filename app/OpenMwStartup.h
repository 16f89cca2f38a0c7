#pragma once

#include "app/OpenMwLocations.h"
#include "game/GameInstallation.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"

#include <optional>

namespace orvella {

// Fills the installation from OpenMW's files: the masters and plugins of its data folders, Tribunal's
// plugin under its one name, and the user data folder with the saves. Checks what the original game's
// start-up checks, with its messages: the saves folder, Morrowind's master and its translation plugin. Gives
// the exit code to stop with after the message of a failed check, or nothing when the command may go on.
std::optional<int> runOpenMwStartup(const OpenMwLocations& locations, FileSystem& files,
                                    MessageBoxes& messages, GameInstallation& installation);

} // namespace orvella
