#include "app/RestoreFromBackup.h"

#include "game/SavePaths.h"
#include "game/UserTexts.h"
#include "job/SaveReading.h"
#include "platform/FileReplacement.h"
#include "platform/MemoryFile.h"
#include "platform/PathLimit.h"

#include <memory>

namespace orvella {

namespace {

class Restore {
public:
    Restore(const GameInstallation& installation, const std::string& saveFileName, FileSystem& files,
            MessageBoxes& messages, WindowRef owner)
        : saveKind_(installation.saveKind), files_(files), messages_(messages), owner_(owner),
          paths_(installation, saveFileName, &files) {}

    RestoreOutcome run() {
        if (messages_.show(Message{texts::RestoreQuestion, texts::WarningCaption, MessageIcon::Warning,
                                   MessageButtons::YesNo, owner_}) != MessageAnswer::Yes)
            return RestoreOutcome::Declined;
        if (auto tooLong = firstTooLongPath({paths_.save, paths_.realSave, paths_.temp, paths_.backup}))
            return refuse(texts::tooLongPath(*tooLong));
        if (!takeSave())
            return RestoreOutcome::NotRestored;
        std::vector<std::uint8_t> read;
        if (!readWholeFile(files_, paths_.backup, read))
            return refuse(texts::CannotRestore);
        MemoryFile backup(std::string(read.begin(), read.end()));
        read = {};
        // Only whether the backup is a sound save matters here, not its records.
        const auto dropRecord = [](std::unique_ptr<Record>, std::int64_t) {};
        SaveShape shape;
        FormatError error;
        if (!readSaveRecords(saveKind_, backup, paths_.backup, shape, dropRecord, error))
            return refuse(texts::damagedBackup(paths_.backup));
        if (!putInPlace(backup.bytes()))
            return refuse(texts::CannotRestore);
        if (!files_.deleteFile(paths_.backup)) {
            warn(texts::CannotDeleteBackup);
            return RestoreOutcome::BackupKept;
        }
        return RestoreOutcome::Restored;
    }

private:
    void warn(const std::string& text) {
        messages_.show(Message{text, texts::ErrorCaption, MessageIcon::Warning, MessageButtons::Ok, owner_});
    }
    RestoreOutcome refuse(const std::string& text) {
        warn(text);
        return RestoreOutcome::NotRestored;
    }

    // Holds the save as a conversion does. A save that is missing has nothing to lose and nobody to hold it
    // against: the restore then puts the backup in its place without a lock.
    bool takeSave() {
        bool busy = false;
        lock_ = files_.lockFile(paths_.realSave, busy);
        if (!lock_ && (busy || files_.exists(paths_.realSave))) {
            warn(busy ? texts::SaveInUse : texts::CannotRestore);
            return false;
        }
        // Windows' move refuses to replace a read-only save; every platform refuses it here.
        if (lock_ && !files_.isWritable(paths_.realSave)) {
            warn(texts::CannotRestore);
            return false;
        }
        return true;
    }

    // The bytes that passed the checks, not the backup as it may be by now, are written beside the save under
    // a new name, synced, measured and moved over the save whole; the restored save has the backup's
    // permission bits and time, as a copy of it would. A stale temporary file is removed only under the lock.
    bool putInPlace(const std::string& bytes) {
        FileReplacement temp(files_, paths_.temp, paths_.realSave);
        return temp.create(lock_ != nullptr) && temp.write(bytes.data(), bytes.size()) &&
               temp.finish(paths_.backup, true) && temp.moveOver(lock_.get());
    }

    SaveKind saveKind_;
    FileSystem& files_;
    MessageBoxes& messages_;
    WindowRef owner_;
    const SavePaths paths_;
    std::unique_ptr<FileLock> lock_;
};

} // namespace

RestoreOutcome restoreFromBackup(const GameInstallation& installation, const std::string& saveFileName,
                                 FileSystem& files, MessageBoxes& messages, WindowRef owner) {
    return Restore(installation, saveFileName, files, messages, owner).run();
}

} // namespace orvella
