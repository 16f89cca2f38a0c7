#pragma once

#include "platform/FileSystem.h"

namespace orvella {

// Another file system, every call passed through: the base of file systems that change only a few calls,
// such as those that count, trace or fail them.
class ForwardingFileSystem : public FileSystem {
public:
    explicit ForwardingFileSystem(FileSystem& base) : base_(base) {}

    std::unique_ptr<File> open(const std::string& path, const char* mode) override {
        return base_.open(path, mode);
    }
    std::unique_ptr<File> createNew(const std::string& path) override { return base_.createNew(path); }
    bool replaceFile(const std::string& from, const std::string& to) override {
        return base_.replaceFile(from, to);
    }
    bool deleteFile(const std::string& path) override { return base_.deleteFile(path); }
    bool exists(const std::string& path) override { return base_.exists(path); }
    bool isFolder(const std::string& path) override { return base_.isFolder(path); }
    bool createFolder(const std::string& path, bool& alreadyExists) override {
        return base_.createFolder(path, alreadyExists);
    }
    bool listFolder(const std::string& path, std::vector<FolderEntry>& entries) override {
        return base_.listFolder(path, entries);
    }
    bool listFolderChecked(const std::string& path, std::vector<FolderEntry>& entries,
                           bool& interrupted) override {
        return base_.listFolderChecked(path, entries, interrupted);
    }
    std::unique_ptr<FileLock> lockFile(const std::string& path, bool& busy) override {
        return base_.lockFile(path, busy);
    }
    bool replaceLockedFile(const std::string& from, const std::string& to, FileLock& lock) override {
        return base_.replaceLockedFile(from, to, lock);
    }
    std::string resolveLink(const std::string& path) override { return base_.resolveLink(path); }
    bool isWritable(const std::string& path) override { return base_.isWritable(path); }
    bool canWriteIn(const std::string& folder) override { return base_.canWriteIn(folder); }
    bool copyAttributes(const std::string& from, const std::string& to, bool modificationTime) override {
        return base_.copyAttributes(from, to, modificationTime);
    }
    std::optional<std::int64_t> modificationTime(const std::string& path) override {
        return base_.modificationTime(path);
    }

protected:
    FileSystem& base() const { return base_; }

private:
    FileSystem& base_;
};

} // namespace orvella
