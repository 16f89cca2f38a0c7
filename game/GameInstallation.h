#pragma once

#include "game/GameFileNames.h"

#include <cstdint>
#include <string>

namespace orvella {

struct GameVersion {
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    std::uint16_t build = 0;
    std::uint16_t revision = 0;
};

// Where the game is and which of its files are present; filled once at start-up, then only read.
struct GameInstallation {
    std::string installPath; // no trailing backslash
    bool hasMorrowindMaster = false;
    bool hasMorrowindPlugin = false;
    bool hasTribunalMaster = false;
    bool hasTribunalPlugin = false;
    bool hasBloodmoonMaster = false;
    bool hasBloodmoonPlugin = false;
    std::uint32_t morrowindPluginSize = 0;
    std::uint32_t tribunalPluginSize = 0;
    std::uint32_t bloodmoonPluginSize = 0;
    GameVersion gameVersion;
    std::string tribunalPluginName = PlaceholderTribunalPluginName;
};

// The Tribunal plugin's file name for a game version: only games of version x.3 or later know it.
inline const char* tribunalPluginNameFor(const GameVersion& version) {
    return version.minor >= 3 ? TribunalPluginName : PlaceholderTribunalPluginName;
}

} // namespace orvella
