#include "job/PatchLog.h"

namespace orvella {

bool PatchLog::open(FileSystem& files, const std::string& path, const std::string& tempPath) {
    files_ = &files;
    path_ = path;
    tempPath_ = tempPath;
    text_.clear();
    if (files.exists(path) && (!files.isWritable(path) || files.isFolder(path)))
        return false;
    files.deleteFile(tempPath);
    file_ = files.createNew(tempPath);
    return file_ != nullptr;
}

void PatchLog::write(std::string_view text) {
    if (!file_)
        return;
    text_.append(text);
}

void PatchLog::writeFirstLine(std::string_view saveFileName) {
    write("File di Log per ");
    write(saveFileName);
    write("\n");
}

bool PatchLog::keep() {
    if (!file_)
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
    bool kept = file_->write(stored.data(), stored.size()) == stored.size() && file_->flush();
    kept = file_->close() && kept;
    file_.reset();
    kept = kept && files_->replaceFile(tempPath_, path_);
    if (!kept)
        removeFiles();
    return kept;
}

void PatchLog::discard() {
    if (!file_)
        return;
    file_->close();
    file_.reset();
    text_.clear();
    removeFiles();
}

void PatchLog::removeFiles() {
    files_->deleteFile(tempPath_);
    if (files_->exists(path_))
        files_->deleteFile(path_);
}

} // namespace orvella
