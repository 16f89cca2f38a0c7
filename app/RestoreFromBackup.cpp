#include "app/RestoreFromBackup.h"

#include "job/SaveReading.h"
#include "platform/PathLimit.h"

#include <memory>

namespace orvella {

namespace {

constexpr const char* Question =
    "Sei sicuro? Il salvataggio attuale sar\xE0 sovrascritto\r\ndal file di backup generato durante la patch";
constexpr const char* CannotReplace = "Impossibile sostituire il salvataggio con quello di backup.";
constexpr const char* CannotDelete = "Impossibile cancellare il salvataggio di backup.";
constexpr const char* SaveInUse =
    "Il salvataggio \xE8 gi\xE0 in uso da un'altra conversione. Cambiamenti non apportati.";

std::string damagedBackup(const std::string& backupPath) {
    return "Il file di backup \"" + backupPath + "\" \xE8 danneggiato. Salvataggio non ripristinato.";
}

class Restore {
public:
    Restore(const GameInstallation& installation, const std::string& saveFileName, FileSystem& files,
            MessageBoxes& messages, WindowRef owner)
        : files_(files), messages_(messages), owner_(owner),
          savePath_(installation.installPath + SavesFolder + saveFileName),
          realSavePath_(files.resolveLink(savePath_)), tempPath_(realSavePath_ + ".tmp"),
          backupPath_(installation.installPath + BackupFolder + saveFileName + ".bak") {}

    RestoreOutcome run() {
        if (messages_.show(Message{Question, "ATTENZIONE!", MessageIcon::Warning, MessageButtons::YesNo,
                                   owner_}) != MessageAnswer::Yes)
            return RestoreOutcome::Declined;
        if (auto tooLong = tooLongPathMessage({savePath_, realSavePath_, tempPath_, backupPath_}))
            return refuse(*tooLong);
        if (!takeSave())
            return RestoreOutcome::NotRestored;
        std::vector<std::uint8_t> read;
        if (!readWholeFile(files_, backupPath_, read))
            return refuse(CannotReplace);
        std::string backup(read.begin(), read.end());
        read = {};
        // Only whether the backup is a sound save matters here, not its records.
        const auto dropRecord = [](std::unique_ptr<Record>, std::int64_t, std::int32_t) {};
        std::int32_t count = 0;
        FormatError error;
        if (!readSaveRecords(backup, backupPath_, count, dropRecord, error))
            return refuse(damagedBackup(backupPath_));
        if (!putInPlace(backup))
            return refuse(CannotReplace);
        if (!files_.deleteFile(backupPath_)) {
            warn(CannotDelete);
            return RestoreOutcome::BackupKept;
        }
        return RestoreOutcome::Restored;
    }

private:
    void warn(const std::string& text) {
        messages_.show(Message{text, "Errore", MessageIcon::Warning, MessageButtons::Ok, owner_});
    }
    RestoreOutcome refuse(const std::string& text) {
        warn(text);
        return RestoreOutcome::NotRestored;
    }

    // Holds the save as a conversion does. A save that is missing has nothing to lose and nobody to hold it
    // against: the restore then puts the backup in its place without a lock.
    bool takeSave() {
        bool busy = false;
        lock_ = files_.lockFile(realSavePath_, busy);
        if (!lock_ && (busy || files_.exists(realSavePath_))) {
            warn(busy ? SaveInUse : CannotReplace);
            return false;
        }
        // Windows' move refuses to replace a read-only save; every platform refuses it here.
        if (lock_ && !files_.isWritable(realSavePath_)) {
            warn(CannotReplace);
            return false;
        }
        return true;
    }

    // The bytes that passed the checks, not the backup as it may be by now, are written beside the save under
    // a new name, synced, measured and moved over the save whole; the restored save has the backup's
    // permission bits and time, as a copy of it would. A stale temporary file is removed only under the lock.
    bool putInPlace(const std::string& bytes) {
        if (lock_)
            files_.deleteFile(tempPath_);
        auto temp = files_.createNew(tempPath_);
        if (!temp)
            return false;
        bool written = temp->write(bytes.data(), bytes.size()) == bytes.size() && temp->flush();
        written = temp->close() && written;
        temp.reset();
        if (written) {
            auto check = files_.open(tempPath_, "rb");
            written = check && fileLength(*check) == static_cast<std::int64_t>(bytes.size());
        }
        written = written && files_.copyAttributes(backupPath_, tempPath_, true) &&
                  (lock_ ? files_.replaceLockedFile(tempPath_, realSavePath_, *lock_)
                         : files_.replaceFile(tempPath_, realSavePath_));
        if (!written)
            files_.deleteFile(tempPath_);
        return written;
    }

    FileSystem& files_;
    MessageBoxes& messages_;
    WindowRef owner_;
    const std::string savePath_;
    const std::string realSavePath_;
    const std::string tempPath_;
    const std::string backupPath_;
    std::unique_ptr<FileLock> lock_;
};

} // namespace

RestoreOutcome restoreFromBackup(const GameInstallation& installation, const std::string& saveFileName,
                                 FileSystem& files, MessageBoxes& messages, WindowRef owner) {
    return Restore(installation, saveFileName, files, messages, owner).run();
}

} // namespace orvella
