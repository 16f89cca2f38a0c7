#pragma once

#include "platform/FileSystem.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace orvella::test {

// The file operations a test can make fail, each counted on its own.
enum class FileCall { Open, Read, Write, Flush, Close, Seek, Copy, Replace, Delete };
inline constexpr std::array<FileCall, 9> AllFileCalls = {
    FileCall::Open, FileCall::Read, FileCall::Write,   FileCall::Flush, FileCall::Close,
    FileCall::Seek, FileCall::Copy, FileCall::Replace, FileCall::Delete};
const char* fileCallName(FileCall call);

// Another file system, except that the N-th call of one kind fails, as badly as that call can fail on a
// real machine:
//   open     no file, and nothing created or emptied;
//   read     half of the bytes asked for, the count saying so;
//   write    half of the bytes written, the count saying so;
//   flush    false;
//   close    the file is closed, but a file open for writing loses the second half of its bytes, as
//            buffered data is lost on a full disk; false;
//   seek     false, the position unchanged;
//   copy     the target holds the first half of the source, as after a copy that broke off; false;
//   replace  false, both files as they were;
//   delete   false, the file still there.
// Calls are counted from the last failCall or countOnly. Closes made by a handle's destructor are not
// counted: they cannot report a failure. Calls that the other file system makes to itself (a copy's reads
// and writes) are not counted either.
class FaultInjectingFileSystem final : public FileSystem {
public:
    explicit FaultInjectingFileSystem(FileSystem& base) : base_(base) {}

    // Fails the n-th call of the kind (n from 1) and lets every other call through.
    void failCall(FileCall call, std::uint32_t n);
    // Fails nothing; the counts tell how many calls a run made.
    void countOnly();

    std::uint32_t calls(FileCall call) const { return counts_[index(call)]; }
    // True once the call chosen by failCall has been made and failed.
    bool fired() const { return fired_; }
    // The file named in the failed call (the source of a copy or a replacement).
    const std::string& failedPath() const { return failedPath_; }

    std::unique_ptr<File> open(const std::string& path, const char* mode) override;
    bool copyFile(const std::string& from, const std::string& to, bool overwrite) override;
    bool replaceFile(const std::string& from, const std::string& to) override;
    bool deleteFile(const std::string& path) override;
    bool exists(const std::string& pattern) override { return base_.exists(pattern); }
    bool createFolder(const std::string& path, bool& alreadyExists) override {
        return base_.createFolder(path, alreadyExists);
    }
    bool listFolder(const std::string& path, std::vector<FolderEntry>& entries) override {
        return base_.listFolder(path, entries);
    }

    // Counts the call and tells whether it is the one to fail; used by the open files too.
    bool failsNow(FileCall call, const std::string& path);
    // Cuts a file to the first half of its bytes, behind the counting.
    void keepFirstHalf(const std::string& path);

private:
    static std::size_t index(FileCall call) { return static_cast<std::size_t>(call); }

    FileSystem& base_;
    std::array<std::uint32_t, AllFileCalls.size()> counts_{};
    bool armed_ = false;
    FileCall target_ = FileCall::Open;
    std::uint32_t targetCall_ = 0;
    bool fired_ = false;
    std::string failedPath_;
};

} // namespace orvella::test
