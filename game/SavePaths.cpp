#include "game/SavePaths.h"

#include "game/AsciiFold.h"

namespace orvella {

namespace {

constexpr std::string_view OpenMwSaveExtension = ".omwsave";

} // namespace

SavePaths::SavePaths(const GameInstallation& installation, const std::string& saveName, FileSystem* files) {
    if (installation.saveKind == SaveKind::Ess) {
        save = installation.installPath + SavesFolder + saveName;
        log = save + ".log";
        backupFolder = installation.installPath + BackupFolder;
        backupFolder.pop_back();
        backup = installation.installPath + BackupFolder + saveName + ".bak";
    } else {
        const std::size_t slash = saveName.find('/');
        const std::string character = saveName.substr(0, slash);
        const std::string slot = slash == std::string::npos ? std::string() : saveName.substr(slash + 1);
        save = installation.userDataFolder + OpenMwSavesFolder + character + "\\" + slot;
        backupFolder = installation.userDataFolder + BackupFolder + character;
        backup = backupFolder + "\\" + slot + ".bak";
        const bool extended =
            slot.size() > OpenMwSaveExtension.size() &&
            compareFolded(std::string_view(slot).substr(slot.size() - OpenMwSaveExtension.size()),
                          OpenMwSaveExtension) == 0;
        log = backupFolder + "\\" +
              slot.substr(0, slot.size() - (extended ? OpenMwSaveExtension.size() : 0)) + ".log";
    }
    logTemp = log + ".tmp";
    backupTemp = backup + ".tmp";
    realSave = files ? files->resolveLink(save) : save;
    temp = realSave + ".tmp";
}

} // namespace orvella
