#pragma once

#include "app/OpenMwPlatform.h"
#include "platform/FileSystem.h"
#include "platform/UserEnvironment.h"

#include <optional>
#include <string>
#include <vector>

namespace orvella {

inline constexpr const char* OpenMwConfigFileName = "openmw.cfg";
inline constexpr const char* OpenMwSavesFolderName = "saves";
inline constexpr const char* OpenMwBackupFolderName = "LRK Saves Backup";

// What the user gave on the command line to find OpenMW's files; each may be missing.
struct OpenMwOptions {
    std::optional<std::string> config;   // --config FILE: the openmw.cfg to read
    std::optional<std::string> userData; // --user-data DIR: the folder that holds "saves"
    std::optional<std::string> game;     // --game DIR: the folder that holds "Data Files"
};

// Where OpenMW keeps its files when nothing says otherwise: the folder of the user's openmw.cfg and the user
// data folder. Nothing for a folder that the platform's user environment cannot tell.
struct OpenMwDefaultFolders {
    std::optional<std::string> config;
    std::optional<std::string> userData;
};

OpenMwDefaultFolders openMwDefaultFolders(OpenMwPlatform platform, UserEnvironment& environment);

// Where the files of OpenMW are, every path with "\\" between names.
struct OpenMwLocations {
    // The openmw.cfg read; nothing when --game was given and there is none, or when nothing in it was needed
    // (--game and --user-data both given).
    std::optional<std::string> configFile;
    std::string userData;
    std::string savesFolder;  // userData\saves, with a folder per character
    std::string backupFolder; // userData\LRK Saves Backup, with a folder per character
    // The folders of the game's files in OpenMW's order: a later folder's file takes the place of an earlier
    // one's of the same name.
    std::vector<std::string> dataFolders;
    // The lines of openmw.cfg passed over or taken with a doubt, and the data folders passed over because
    // they do not exist, each a sentence in English.
    std::vector<std::string> notes;
};

// The locations, or an error in English that says what to give instead.
struct OpenMwLocationsResult {
    std::optional<OpenMwLocations> locations;
    std::string error;
};

// Finds OpenMW's files as OpenMW does on the platform, the options taking the place of what they name. The
// data folders are "GAME\\Data Files" alone with --game, else those of the data folders of openmw.cfg, then
// its data-local folder, that exist; the user data folder is --user-data, else the user-data of openmw.cfg,
// else the platform's default. A missing openmw.cfg, or one that names no data folder that exists, is an
// error unless --game is given.
OpenMwLocationsResult findOpenMwLocations(const OpenMwOptions& options, OpenMwPlatform platform,
                                          UserEnvironment& environment, FileSystem& files);

} // namespace orvella
