#pragma once

#include "game/DataFiles.h"
#include "game/GameFileNames.h"
#include "game/SaveKind.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvella {

struct GameVersion {
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    std::uint16_t build = 0;
    std::uint16_t revision = 0;
};

// One game's master and translation plugin as the game's Data Files folder holds them.
struct InstalledGame {
    bool hasMaster = false;
    bool hasPlugin = false;
    std::uint32_t pluginSize = 0;
    std::string pluginName;
};

// Where the game is and which of its files are present; filled once at start-up, then only read.
struct GameInstallation {
    std::string installPath; // no trailing backslash
    // The engine whose saves are converted: the original one's are in installPath's "Saves", OpenMW's in
    // userDataFolder's "saves".
    SaveKind saveKind = SaveKind::Ess;
    std::string userDataFolder; // OpenMW's, no trailing backslash
    // Tribunal's plugin keeps the placeholder name until start-up knows the game's version.
    std::array<InstalledGame, GameCount> games = {
        InstalledGame{.pluginName = pluginFileName(Game::Base)},
        InstalledGame{.pluginName = PlaceholderTribunalPluginName},
        InstalledGame{.pluginName = pluginFileName(Game::Bloodmoon)}};
    GameVersion gameVersion;
    // Where OpenMW finds the game's files; empty for the original engine, whose files are in the game
    // folder's "Data Files".
    DataFiles dataFiles;

    // The path a master or plugin is read from, nothing when OpenMW's data folders lack it.
    std::optional<std::string> dataFilePath(std::string_view fileName) const {
        if (dataFiles.folders().empty())
            return installPath + DataFilesFolder + std::string(fileName);
        return dataFiles.pathOf(fileName);
    }
    InstalledGame& installed(Game game) { return games[indexOf(game)]; }
    const InstalledGame& installed(Game game) const { return games[indexOf(game)]; }
};

// The Tribunal plugin's file name for a game version: only games of version x.3 or later know it.
inline const char* tribunalPluginNameFor(const GameVersion& version) {
    return version.minor >= 3 ? TribunalPluginName : PlaceholderTribunalPluginName;
}

} // namespace orvella
