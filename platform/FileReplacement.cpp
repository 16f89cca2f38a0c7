#include "platform/FileReplacement.h"

namespace orvella {

bool FileReplacement::create(bool removeStale) {
    if (removeStale)
        files_.deleteFile(tempPath_);
    file_ = files_.createNew(tempPath_);
    created_ = file_ != nullptr;
    written_ = 0;
    return created_;
}

bool FileReplacement::write(const void* bytes, std::size_t size) {
    const std::size_t done = file_ ? file_->write(bytes, size) : 0;
    written_ += static_cast<std::int64_t>(done);
    return file_ && done == size;
}

bool FileReplacement::overwrite(std::int64_t offset, const void* bytes, std::size_t size) {
    if (!file_ || offset < 0 ||
        static_cast<std::uint64_t>(offset) + size > static_cast<std::uint64_t>(written_))
        return false;
    return file_->seek(offset, SeekOrigin::Begin) && file_->write(bytes, size) == size &&
           file_->seek(0, SeekOrigin::End);
}

bool FileReplacement::finish(const std::string& attributesFrom, bool modificationTime) {
    if (!file_)
        return false;
    bool finished = file_->flush();
    finished = file_->close() && finished;
    file_.reset();
    if (finished) {
        auto check = files_.open(tempPath_, "rb");
        finished = check && fileLength(*check) == written_;
    }
    finished = finished &&
               (attributesFrom.empty() || files_.copyAttributes(attributesFrom, tempPath_, modificationTime));
    if (!finished)
        discard();
    return finished;
}

bool FileReplacement::moveOver(FileLock* lock) {
    if (!created_)
        return false;
    const bool moved =
        lock ? files_.replaceLockedFile(tempPath_, target_, *lock) : files_.replaceFile(tempPath_, target_);
    if (!moved) {
        discard();
        return false;
    }
    created_ = false;
    return true;
}

void FileReplacement::discard() {
    file_.reset();
    if (created_)
        files_.deleteFile(tempPath_);
    created_ = false;
}

} // namespace orvella
