#pragma once

#include "platform/FileSystem.h"

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace orvella {

// Another file system seen through a layer held in memory, for a dry run: files created, written, moved or
// deleted and folders created change the layer alone, and every question and read is answered from the
// layer first and from the other file system where the layer holds nothing. Refusals are foreseen where the
// other file system can tell them without a write: a folder that may not be written, a file that may not be,
// something standing where a file is created. The layer keeps no permission bits, and a file written through
// a link is kept under the link's own path. Its files and folders take the time they were opened for writing
// or created at, a moved file keeps its own, and copyAttributes copies one when asked.
//
// A lock is taken on the other file system's file, which only reads it: nobody converts the save while a
// dry run looks at it, and a conversion already under way makes the dry run say so as it would itself.
//
// A job uses it from two threads at once, so its calls take turns; an open file is used by one thread.
class OverlayFileSystem final : public FileSystem {
public:
    explicit OverlayFileSystem(FileSystem& base) : base_(base) {}

    std::unique_ptr<File> open(const std::string& path, const char* mode) override;
    std::unique_ptr<File> createNew(const std::string& path) override;
    bool replaceFile(const std::string& from, const std::string& to) override;
    bool deleteFile(const std::string& path) override;
    bool exists(const std::string& path) override;
    bool isFolder(const std::string& path) override;
    bool createFolder(const std::string& path, bool& alreadyExists) override;
    bool listFolder(const std::string& path, std::vector<FolderEntry>& entries) override;
    bool listFolderChecked(const std::string& path, std::vector<FolderEntry>& entries,
                           bool& interrupted) override;
    std::unique_ptr<FileLock> lockFile(const std::string& path, bool& busy) override;
    bool replaceLockedFile(const std::string& from, const std::string& to, FileLock& lock) override;
    std::string resolveLink(const std::string& path) override;
    bool isWritable(const std::string& path) override;
    bool canWriteIn(const std::string& folder) override;
    bool copyAttributes(const std::string& from, const std::string& to, bool modificationTime) override;
    std::optional<std::int64_t> modificationTime(const std::string& path) override;

private:
    // What the layer knows of one path: a file with its bytes, shared with its open handles, a folder it
    // created, or a file it deleted or moved away.
    struct Entry {
        enum Kind { File, Folder, Gone } kind;
        std::shared_ptr<std::string> bytes;
        std::optional<std::int64_t> time = {};
    };

    const Entry* layered(const std::string& path) const;
    bool isFile(const std::string& path);
    // The folder of the path exists and entries may be created or removed in it.
    bool mayChangeEntryAt(const std::string& path);
    std::shared_ptr<std::string> newFile(const std::string& path);

    FileSystem& base_;
    std::recursive_mutex mutex_;         // over the layer
    std::map<std::string, Entry> layer_; // by path with "\\" between names, none doubled or at the end
};

} // namespace orvella
