#pragma once

#include "platform/FileSystem.h"

#include <optional>
#include <string>

namespace orvella::cli {

// Another file system, through which a command runs, that notes the first folder in which a file could not
// be created, replaced, copied into or deleted, so that the console can name it once the command has
// failed: the job's own messages say what failed, not where.
class WriteWatch final : public FileSystem {
public:
    explicit WriteWatch(FileSystem& base) : base_(base) {}

    const std::optional<std::string>& unwritableFolder() const { return unwritableFolder_; }

    std::unique_ptr<File> open(const std::string& path, const char* mode) override;
    bool copyFile(const std::string& from, const std::string& to, bool overwrite) override;
    bool replaceFile(const std::string& from, const std::string& to) override;
    bool deleteFile(const std::string& path) override;
    bool exists(const std::string& pattern) override { return base_.exists(pattern); }
    bool createFolder(const std::string& path, bool& alreadyExists) override;
    bool listFolder(const std::string& path, std::vector<FolderEntry>& entries) override {
        return base_.listFolder(path, entries);
    }
    bool listFolderChecked(const std::string& path, std::vector<FolderEntry>& entries,
                           bool& interrupted) override {
        return base_.listFolderChecked(path, entries, interrupted);
    }

private:
    void noteFolderOf(const std::string& path);

    FileSystem& base_;
    std::optional<std::string> unwritableFolder_;
};

} // namespace orvella::cli
