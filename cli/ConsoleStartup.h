#pragma once

#include "Options.h"
#include "game/GameInstallation.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"

#include <optional>
#include <string>

namespace orvella::cli {

// Runs the program's start-up checks before a command, the game folder coming from --game (or, on Windows
// without it, from the game's registry value); with --openmw, finds OpenMW's files as OpenMW does, --config,
// --user-data and --game taking the place of what they name. Gives the exit status to stop with (a usage
// error, or 1 after a failed check's message), or nothing when the command may go on with the filled
// installation.
std::optional<int> startUp(const Options& options, GameInstallation& installation, MessageBoxes& messages,
                           FileSystem& files);

#ifdef _WIN32
// The string value under HKEY_LOCAL_MACHINE, or nothing when the key or the value cannot be read.
std::optional<std::string> readMachineRegistryText(const std::string& key, const std::string& value);
#endif

} // namespace orvella::cli
