#pragma once

#include "platform/OverlayFileSystem.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvella::test {

// The file operations a test can make fail, each counted on its own.
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
// Those a conversion makes.
inline constexpr std::array<FileCall, 11> AllFileCalls = {
    FileCall::Open,       FileCall::Create,  FileCall::Read,  FileCall::Write,
    FileCall::Flush,      FileCall::Close,   FileCall::Seek,  FileCall::Lock,
    FileCall::Attributes, FileCall::Replace, FileCall::Delete};
const char* fileCallName(FileCall call);

// The tests' file system: files held in memory (the product's overlay over nothing at all), or those of
// another file system, with Windows' sharing rules and the faults a test asks for on top.
//
// Sharing: a file that is open, or held by a lock, cannot be deleted, moved or replaced, except by the move
// of its own lock; a job that forgets to close a file before it moves it fails here as on the player's
// machine.
//
// A failed call fails as badly as it can on a real machine:
//   open, create, lock   no file, nothing created or emptied;
//   read, write          half of the bytes, the count saying so;
//   flush, seek          false, the position unchanged;
//   close                the file is closed, but one open for writing loses its second half, as buffered data
//                        is lost on a full disk; false;
//   attributes, replace, delete, folder, list   false, everything as it was.
// Calls are counted from the last failCall or countOnly; questions that change nothing (whether a file exists
// or may be written, where a link leads) are not. Closes made by a handle's destructor are not counted: they
// cannot report a failure.
class FaultInjectingFileSystem final : public FileSystem {
public:
    // Every file and folder as path (with "\\") and bytes, nothing for a folder; in memory only.
    using Snapshot = std::map<std::string, std::optional<std::string>>;

    FaultInjectingFileSystem();
    explicit FaultInjectingFileSystem(FileSystem& base);
    ~FaultInjectingFileSystem() override;

    // Set-up and checks, neither counted nor failed. addFolder makes every missing folder of the path.
    void addFolder(const std::string& path);
    bool writeFile(const std::string& path, std::string_view bytes);
    std::optional<std::string> readFile(const std::string& path);
    bool isFile(const std::string& path);
    static std::string key(const std::string& path);
    Snapshot snapshot();
    bool matches(const Snapshot& state) { return snapshot() == state; }
    // Puts back a state taken earlier; handles still open keep the bytes they had.
    void restore(const Snapshot& state);
    std::vector<std::string> files();
    // Handles and locks not yet closed.
    std::size_t openHandles() const { return openHandles_; }

    // Fails the n-th call of the kind (n from 1).
    void failCall(FileCall call, std::uint32_t n);
    // Fails every call of the kind on a path that ends so (the source of a move, the target of an attributes
    // copy), besides the counted fault.
    void failEvery(FileCall call, std::string pathEnd = {}) { rules_.emplace_back(call, std::move(pathEnd)); }
    // Fails nothing from now on; the counts tell how many calls a run made.
    void countOnly();
    std::uint32_t calls(FileCall call) const { return counts_[static_cast<std::size_t>(call)]; }
    // True once the call chosen by failCall was made and failed; failedPath names the file of the last
    // failure.
    bool fired() const { return fired_; }
    const std::string& failedPath() const { return failedPath_; }
    // No entry may be created, moved or deleted in the folder, as in a folder without write permission.
    void makeReadOnly(const std::string& folder) { readOnly_.insert(key(folder)); }

    // When set, every folder lists these entries, breaking off after them when asked.
    std::optional<std::vector<FolderEntry>> listing;
    bool listingBreaksOff = false;
    std::string listedPath;
    // "open NAME" and "close NAME" of every file, when tracing.
    bool tracing = false;
    std::vector<std::string> trace;

    std::unique_ptr<File> open(const std::string& path, const char* mode) override;
    std::unique_ptr<File> createNew(const std::string& path) override;
    bool replaceFile(const std::string& from, const std::string& to) override;
    bool deleteFile(const std::string& path) override;
    bool exists(const std::string& pattern) override { return inner().exists(pattern); }
    bool createFolder(const std::string& path, bool& alreadyExists) override;
    bool listFolder(const std::string& path, std::vector<FolderEntry>& entries) override;
    bool listFolderChecked(const std::string& path, std::vector<FolderEntry>& entries,
                           bool& interrupted) override;
    std::unique_ptr<FileLock> lockFile(const std::string& path, bool& busy) override;
    bool replaceLockedFile(const std::string& from, const std::string& to, FileLock& lock) override;
    std::string resolveLink(const std::string& path) override { return inner().resolveLink(path); }
    bool isWritable(const std::string& path) override { return inner().isWritable(path); }
    bool canWriteIn(const std::string& folder) override;
    bool copyAttributes(const std::string& from, const std::string& to, bool modificationTime) override;

    // Counts the call and tells whether it fails; the open files ask it too.
    bool failsNow(FileCall call, const std::string& path);
    // What the open files and locks tell of themselves.
    void opened(const std::string& path, int change);
    void locked(const std::string& path, bool held);

private:
    FileSystem& inner() { return base_ ? *base_ : *memory_; }
    bool mayChangeEntryAt(const std::string& path) const;
    bool isBusy(const std::string& path) const;
    std::unique_ptr<File> wrap(std::unique_ptr<File> file, const std::string& path, bool writable);

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
    bool fired_ = false;
    std::string failedPath_;
};

} // namespace orvella::test
