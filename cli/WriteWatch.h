#pragma once

#include "platform/ForwardingFileSystem.h"

#include <mutex>
#include <optional>
#include <string>

namespace orvella::cli {

// Another file system, through which a command runs, that notes the first folder in which a file could not
// be created, replaced or deleted, so that the console can name it once the command has failed: the job's
// own messages say what failed, not where.
class WriteWatch final : public ForwardingFileSystem {
public:
    explicit WriteWatch(FileSystem& base) : ForwardingFileSystem(base) {}

    const std::optional<std::string>& unwritableFolder() const { return unwritableFolder_; }

    std::unique_ptr<File> open(const std::string& path, const char* mode) override;
    std::unique_ptr<File> createNew(const std::string& path) override;
    bool replaceFile(const std::string& from, const std::string& to) override;
    bool replaceLockedFile(const std::string& from, const std::string& to, FileLock& lock) override;
    bool deleteFile(const std::string& path) override;
    bool createFolder(const std::string& path, bool& alreadyExists) override;

private:
    void noteFolderOf(const std::string& path);

    std::mutex mutex_; // a job writes from two threads at once
    std::optional<std::string> unwritableFolder_;
};

} // namespace orvella::cli
