#pragma once

#include "game/GameInstallation.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "platform/StartupPlatform.h"

#include <optional>

namespace orvella {

inline constexpr const char* OtherCopyWindowTitle = "LRK Orvella (by Quennic)";
inline constexpr const char* RichEditLibraryName = "Riched20.dll";
inline constexpr const char* GameRegistryKey = "SOFTWARE\\Bethesda Softworks\\Morrowind";
inline constexpr const char* InstalledPathValue = "Installed Path";
inline constexpr const char* GameExecutableName = "Morrowind.exe";

// The oldest game executable the conversion knows: version 1.2, as the most significant 32 bits.
inline constexpr std::uint32_t MinimumGameVersion = 0x00010002;

inline constexpr int StartupCheckFailed = 1;

// The platform and the user's side of start-up.
struct StartupServices {
    StartupPlatform& platform;
    FileSystem& files;
    MessageBoxes& messages;
};

// Finds and checks the game, filling the installation from scratch. Gives the exit code to stop the
// program with (0 without a word for another copy or a missing rich-edit library, 1 after the message of a
// failed check), or nothing when the main dialog may open.
std::optional<int> runStartup(StartupServices services, GameInstallation& installation);

} // namespace orvella
