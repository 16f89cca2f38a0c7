#pragma once

#include "game/GameFileNames.h"
#include "platform/FileSystem.h"

#include <string>

namespace orvella {

// The files of one save: the save as listed in "Saves", its log beside it, its backup, and the temporary file
// each is written to before it replaces the older one.
struct SavePaths {
    // Given the file system, a link at the save is followed to the file it is, beside which the new save is
    // written.
    SavePaths(const std::string& installPath, const std::string& saveFileName, FileSystem* files = nullptr)
        : save(installPath + SavesFolder + saveFileName), log(save + ".log"), logTemp(log + ".tmp"),
          backup(installPath + BackupFolder + saveFileName + ".bak"), backupTemp(backup + ".tmp"),
          realSave(files ? files->resolveLink(save) : save), temp(realSave + ".tmp") {}

    std::string save;
    std::string log;
    std::string logTemp;
    std::string backup;
    std::string backupTemp;
    std::string realSave; // the save itself when no file system was given
    std::string temp;     // beside realSave
};

} // namespace orvella
