#pragma once

#include "game/GameInstallation.h"
#include "platform/FileSystem.h"

#include <string>

namespace orvella {

// The files of one save: the save as listed, its log, its backup, and the temporary file each is written to
// before it replaces the older one. The original engine's save is named by its file name in "Saves", its
// backup kept in "LRK Saves Backup" and its log beside it; an OpenMW save is named "CHARACTER/SLOT.omwsave",
// and its backup and its log go to "LRK Saves Backup\CHARACTER" in the user data folder, never into the
// character's folder, whose every file OpenMW's load menu reads.
struct SavePaths {
    // Given the file system, a link at the save is followed to the file it is, beside which the new save is
    // written.
    SavePaths(const GameInstallation& installation, const std::string& saveName, FileSystem* files = nullptr);

    std::string save;
    std::string log;
    std::string logTemp;
    std::string backup;
    std::string backupTemp;
    std::string realSave; // the save itself when no file system was given
    std::string temp;     // beside realSave
    // The folder the backup and the log go to.
    std::string backupFolder;
};

} // namespace orvella
