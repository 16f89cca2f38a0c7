#include "app/RestoreFromBackup.h"

namespace orvella {

namespace {

constexpr const char* Question =
    "Sei sicuro? Il salvataggio attuale sar\xE0 sovrascritto\r\ndal file di backup generato durante la patch";
constexpr const char* CannotReplace = "Impossibile sostituire il salvataggio con quello di backup.";
constexpr const char* CannotDelete = "Impossibile cancellare il salvataggio di backup.";

void warn(MessageBoxes& messages, const char* text, WindowRef owner) {
    messages.show(Message{text, "Errore", MessageIcon::Warning, MessageButtons::Ok, owner});
}

} // namespace

RestoreOutcome restoreFromBackup(const GameInstallation& installation, const std::string& saveFileName,
                                 FileSystem& files, MessageBoxes& messages, WindowRef owner) {
    const std::string savePath = installation.installPath + SavesFolder + saveFileName;
    const std::string backupPath = installation.installPath + BackupFolder + saveFileName + ".bak";
    const std::string tempPath = savePath + ".tmp";
    if (messages.show(Message{Question, "ATTENZIONE!", MessageIcon::Warning, MessageButtons::YesNo, owner}) !=
        MessageAnswer::Yes)
        return RestoreOutcome::Declined;
    // The backup is copied beside the save and moved over it whole, so a copy that breaks off leaves the
    // save as it was instead of cut short.
    if (!files.copyFile(backupPath, tempPath, true) || !files.replaceFile(tempPath, savePath)) {
        files.deleteFile(tempPath);
        warn(messages, CannotReplace, owner);
        return RestoreOutcome::CopyFailed;
    }
    if (!files.deleteFile(backupPath)) {
        warn(messages, CannotDelete, owner);
        return RestoreOutcome::BackupKept;
    }
    return RestoreOutcome::Restored;
}

} // namespace orvella
