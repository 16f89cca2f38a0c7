#pragma once

#include "game/Game.h"

namespace orvella {

inline constexpr const char* MorrowindMasterName = "Morrowind.esm";
inline constexpr const char* TribunalMasterName = "Tribunal.esm";
inline constexpr const char* BloodmoonMasterName = "Bloodmoon.esm";
inline constexpr const char* MorrowindPluginName = "Morrowind LRK - Versione Finale.esp";
inline constexpr const char* TribunalPluginName = "Tribunal LRK - Versione Finale.esp";
inline constexpr const char* BloodmoonPluginName = "Bloodmoon LRK - Versione Finale.esp";
inline constexpr const char* BetaPluginName = "Morrowind LRK - open beta.esp";
// Names no file: the Tribunal plugin is only known to games of version 1.3 or later.
inline constexpr const char* PlaceholderTribunalPluginName = "*****************************";

// Each game's master and translation plugin by the names the games give them, Tribunal's plugin's included.
inline constexpr const char* masterFileName(Game game) {
    constexpr std::array<const char*, GameCount> names = {MorrowindMasterName, TribunalMasterName,
                                                          BloodmoonMasterName};
    return names[indexOf(game)];
}
inline constexpr const char* pluginFileName(Game game) {
    constexpr std::array<const char*, GameCount> names = {MorrowindPluginName, TribunalPluginName,
                                                          BloodmoonPluginName};
    return names[indexOf(game)];
}

inline constexpr const char* SavesFolder = "\\Saves\\";
inline constexpr const char* DataFilesFolder = "\\Data Files\\";
inline constexpr const char* BackupFolder = "\\LRK Saves Backup\\";
// OpenMW's folder of saves in its user data folder, with a folder for each character.
inline constexpr const char* OpenMwSavesFolder = "\\saves\\";

} // namespace orvella
