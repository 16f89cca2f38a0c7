#pragma once

#include "platform/OverlayFileSystem.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvella::test {

// The file operations a test can make fail, each counted on its own; a conversion makes those before Folder.
enum class FileCall {
    Open,
    Create,
    Read,
    Write,
    Flush,
    Close,
    Seek,
    Lock,
    Attributes,
    Replace,
    Delete,
    Folder,
    List
};

// Files in memory or another file system's, with Windows' sharing rules (an open or locked file is moved or
// deleted by its own lock alone) and the faults asked for, each as bad as a real machine's: open, create and
// lock make nothing; read and write move half; close loses half of a written file; the rest change nothing.
// Questions are not counted, nor closes made by a handle's destructor. A file or folder that set-up or a call
// writes or creates takes the next tick of a clock that starts at 1, keeps it when moved, and takes another's
// through copyAttributes; a test may set any time itself.
class FaultInjectingFileSystem final : public FileSystem {
public:
    // Every file and folder as path (with "\\") and bytes, nothing for a folder.
    using Snapshot = std::map<std::string, std::optional<std::string>>;

    FaultInjectingFileSystem();
    explicit FaultInjectingFileSystem(FileSystem& base) : base_(&base) {}
    ~FaultInjectingFileSystem() override;

    // Set-up and checks, neither counted nor failed.
    void addFolder(const std::string& path);
    bool writeFile(const std::string& path, std::string_view bytes);
    std::optional<std::string> readFile(const std::string& path);
    bool isFile(const std::string& path) { return inner().exists(path) && !inner().isFolder(path); }
    static std::string key(const std::string& path);
    Snapshot snapshot();
    bool matches(const Snapshot& state) { return snapshot() == state; }
    void restore(const Snapshot& state);
    std::vector<std::string> files();
    std::size_t openHandles() const {
        std::lock_guard guard(mutex_);
        return openHandles_;
    }

    // Fails the n-th call of the kind (n from 1).
    void failCall(FileCall call, std::uint32_t n);
    // Fails every call of the kind on a path that ends so (a move's source, an attributes copy's target).
    void failEvery(FileCall call, std::string pathEnd = {}) { rules_.emplace_back(call, std::move(pathEnd)); }
    // Fails nothing from now on; the counts tell how many calls a run made.
    void countOnly();
    // The path of the last failure, empty while nothing failed since failCall.
    const std::string& failedPath() const { return failedPath_; }
    // No entry may be created, moved or deleted in the folder.
    void makeReadOnly(const std::string& folder) { readOnly_.insert(key(folder)); }
    // The time modificationTime gives for the path from now on, until a call writes it again.
    void setModificationTime(const std::string& path, std::int64_t time);

    // When set, every folder lists these entries, breaking off after them when asked.
    std::optional<std::vector<FolderEntry>> listing;
    bool listingBreaksOff = false;
    std::string listedPath;

    std::unique_ptr<File> open(const std::string& path, const char* mode) override;
    std::unique_ptr<File> createNew(const std::string& path) override;
    bool replaceFile(const std::string& from, const std::string& to) override;
    bool deleteFile(const std::string& path) override;
    bool exists(const std::string& path) override { return inner().exists(path); }
    bool isFolder(const std::string& path) override { return inner().isFolder(path); }
    bool createFolder(const std::string& path, bool& alreadyExists) override;
    bool listFolder(const std::string& path, std::vector<FolderEntry>& entries) override;
    bool listFolderChecked(const std::string& path, std::vector<FolderEntry>& entries, bool& cut) override {
        cut = listingBreaksOff;
        return listFolder(path, entries);
    }
    std::unique_ptr<FileLock> lockFile(const std::string& path, bool& busy) override;
    bool replaceLockedFile(const std::string& from, const std::string& to, FileLock& lock) override;
    std::string resolveLink(const std::string& path) override { return inner().resolveLink(path); }
    bool isWritable(const std::string& path) override { return inner().isWritable(path); }
    bool canWriteIn(const std::string& folder) override;
    bool copyAttributes(const std::string& from, const std::string& to, bool modificationTime) override;
    std::optional<std::int64_t> modificationTime(const std::string& path) override;

    // What the open files and locks ask and tell: a handle or a lock on the path comes (+1) or goes (-1).
    bool failsNow(FileCall call, const std::string& path);
    void held(const std::string& path, int change, bool lock);

private:
    FileSystem& inner() { return base_ ? *base_ : *memory_; }
    bool mayChangeEntryAt(const std::string& path) const;
    bool isOpen(const std::string& path) const;
    bool isBusy(const std::string& path) const;
    bool isLocked(const std::string& path) const;
    void touch(const std::string& path) { times_[key(path)] = ++clock_; }
    void moveTime(const std::string& from, const std::string& to);

    // A job uses the files from more than one thread at once, so every call takes its turn.
    mutable std::recursive_mutex mutex_;
    FileSystem* base_ = nullptr;
    std::unique_ptr<FileSystem> nothing_;
    std::unique_ptr<OverlayFileSystem> memory_;
    std::set<std::string> known_; // every path that set-up or a change named, for the snapshot
    std::set<std::string> readOnly_;
    std::map<std::string, int> openCounts_;
    std::set<std::string> locks_;
    std::size_t openHandles_ = 0;
    std::array<std::uint32_t, 13> counts_{};
    std::optional<std::pair<FileCall, std::uint32_t>> target_;
    std::vector<std::pair<FileCall, std::string>> rules_;
    std::string failedPath_;
    std::map<std::string, std::int64_t> times_; // by key, where this file system set them
    std::int64_t clock_ = 0;
};

} // namespace orvella::test
