#pragma once

#include "platform/FileSystem.h"

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace orvella::test {

// A file system held in memory, with the semantics of the native one and the sharing rules of Windows on
// top: a file that is open, or held by a lock, cannot be deleted, moved or replaced. Runs of thousands of
// conversions take no disk time, and a job that forgets to close a file before it moves it fails here as it
// would on the player's machine. A lock belongs to the file's bytes, as a lock on a disk belongs to the
// file and not to its name. It holds no links, permission bits or times: every file is writable.
//
// Paths are taken as the program forms them: "\\" and "/" both separate folders, and a path without a
// separator lies in the root, which always exists. Modes are the C stream modes the program uses ("rb",
// "wb", "w", "rb+", also "r", "a", "ab" and their "+" forms); text modes store "\n" as "\r\n" and read
// "\r\n" back as "\n", as the native file system does on every platform.
class MemoryFileSystem final : public FileSystem {
public:
    // Every file's bytes by path, and every folder by path with no bytes: a whole state, copied deep.
    using Snapshot = std::map<std::string, std::optional<std::string>>;

    MemoryFileSystem();

    // Creates the folder and every missing folder above it.
    void addFolder(const std::string& path);
    // Entries can no longer be created, deleted or moved in the folder, as in a folder without write
    // permission; the files in it can still be opened and rewritten.
    void makeReadOnly(const std::string& folder);
    // Creates or overwrites a file; its folder must exist.
    bool writeFile(const std::string& path, std::string bytes);
    // The bytes of a file; nothing when there is no such file.
    std::optional<std::string> readFile(const std::string& path) const;
    bool isFile(const std::string& path) const;
    // Every file's path, in sorted order, as pathKey gives it.
    std::vector<std::string> files() const;
    // A path as this file system keeps it: "/" between folders, none doubled or at the end.
    static std::string pathKey(const std::string& path);
    // Handles still open, over all files.
    std::size_t openHandles() const;

    Snapshot snapshot() const;
    // True when the file system holds exactly the state, without copying it.
    bool matches(const Snapshot& state) const;
    // Puts back a state taken earlier; handles still open keep the bytes they had.
    void restore(const Snapshot& state);

    std::unique_ptr<File> open(const std::string& path, const char* mode) override;
    std::unique_ptr<File> createNew(const std::string& path) override;
    bool replaceFile(const std::string& from, const std::string& to) override;
    bool deleteFile(const std::string& path) override;
    bool exists(const std::string& pattern) override;
    bool createFolder(const std::string& path, bool& alreadyExists) override;
    bool listFolder(const std::string& path, std::vector<FolderEntry>& entries) override;
    std::unique_ptr<FileLock> lockFile(const std::string& path, bool& busy) override;
    bool replaceLockedFile(const std::string& from, const std::string& to, FileLock& lock) override;
    std::string resolveLink(const std::string& path) override { return path; }
    bool isWritable(const std::string& path) override { return isFile(path); }
    bool canWriteIn(const std::string& folder) override;
    bool copyAttributes(const std::string& from, const std::string& to, bool) override {
        return isFile(from) && isFile(to);
    }

    // One file's bytes and its open handles, shared by the file system and those handles.
    struct Content {
        std::string bytes;
        int openers = 0;     // handles of any kind, locks included
        bool locked = false; // held by a lock
    };

private:
    struct Node {
        bool folder = false;
        std::shared_ptr<Content> content;
    };

    const Node* find(const std::string& key) const;
    bool folderExists(const std::string& key) const;
    bool isBusy(const std::string& key) const;
    bool isLocked(const std::string& key) const; // its folder is read-only

    std::map<std::string, Node> nodes_;
    std::set<std::string> readOnly_;
    std::shared_ptr<std::size_t> liveHandles_;
};

} // namespace orvella::test
