#include "job/PatchLog.h"

#include "game/UserTexts.h"

namespace orvella {

bool PatchLog::open(FileSystem& files, const std::string& path, const std::string& tempPath) {
    files_ = &files;
    path_ = path;
    text_.clear();
    stored_.reset();
    file_.reset();
    if (files.exists(path) && (!files.isWritable(path) || files.isFolder(path)))
        return false;
    file_ = std::make_unique<FileReplacement>(files, tempPath, path);
    return file_->create();
}

void PatchLog::write(std::string_view text) {
    if (!isOpen() || stored_)
        return;
    text_.append(text);
}

void PatchLog::writeFirstLine(std::string_view saveFileName) {
    write(texts::logTitleLine(saveFileName));
}

bool PatchLog::store() {
    if (stored_)
        return *stored_;
    if (!isOpen())
        return false;
    // Stored as a text stream stores it, on every platform.
    std::string stored;
    stored.reserve(text_.size() + text_.size() / 16);
    for (char c : text_) {
        if (c == '\n')
            stored += '\r';
        stored += c;
    }
    text_.clear();
    stored_ = file_->write(stored.data(), stored.size()) && file_->finish();
    return *stored_;
}

bool PatchLog::keep() {
    if (!isOpen() && !stored_)
        return false;
    const bool kept = store() && file_->moveOver();
    file_.reset();
    if (!kept)
        removeOlderLog();
    return kept;
}

void PatchLog::discard() {
    if (!isOpen())
        return;
    file_.reset();
    text_.clear();
    removeOlderLog();
}

void PatchLog::removeOlderLog() {
    if (files_->exists(path_))
        files_->deleteFile(path_);
}

} // namespace orvella
