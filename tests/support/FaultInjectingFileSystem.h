#pragma once

#include "platform/ForwardingFileSystem.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace orvella::test {

// The file operations a test can make fail, each counted on its own.
enum class FileCall { Open, Create, Read, Write, Flush, Close, Seek, Lock, Attributes, Replace, Delete };
inline constexpr std::array<FileCall, 11> AllFileCalls = {
    FileCall::Open,       FileCall::Create,  FileCall::Read,  FileCall::Write,
    FileCall::Flush,      FileCall::Close,   FileCall::Seek,  FileCall::Lock,
    FileCall::Attributes, FileCall::Replace, FileCall::Delete};
const char* fileCallName(FileCall call);

// Another file system, except that the N-th call of one kind fails, as badly as that call can fail on a
// real machine:
//   open        no file, and nothing created or emptied;
//   create      no file, and nothing created;
//   read        half of the bytes asked for, the count saying so;
//   write       half of the bytes written, the count saying so;
//   flush       false;
//   close       the file is closed, but a file open for writing loses the second half of its bytes, as
//               buffered data is lost on a full disk when it is synced; false;
//   seek        false, the position unchanged;
//   lock        no lock, as for a file that cannot be opened;
//   attributes  false, the file as it was;
//   replace     false, both files as they were (a locked move too);
//   delete      false, the file still there.
// Calls are counted from the last failCall or countOnly. Closes made by a handle's destructor are not
// counted: they cannot report a failure. Questions that change nothing (whether a file exists or may be
// written, where a link leads, a folder's listing) are passed through uncounted.
class FaultInjectingFileSystem final : public ForwardingFileSystem {
public:
    explicit FaultInjectingFileSystem(FileSystem& base) : ForwardingFileSystem(base) {}

    // Fails the n-th call of the kind (n from 1) and lets every other call through.
    void failCall(FileCall call, std::uint32_t n);
    // Fails nothing; the counts tell how many calls a run made.
    void countOnly();

    std::uint32_t calls(FileCall call) const { return counts_[index(call)]; }
    // True once the call chosen by failCall has been made and failed.
    bool fired() const { return fired_; }
    // The file named in the failed call (the source of a move, the target of an attributes copy).
    const std::string& failedPath() const { return failedPath_; }

    std::unique_ptr<File> open(const std::string& path, const char* mode) override;
    std::unique_ptr<File> createNew(const std::string& path) override;
    bool replaceFile(const std::string& from, const std::string& to) override;
    bool deleteFile(const std::string& path) override;
    std::unique_ptr<FileLock> lockFile(const std::string& path, bool& busy) override;
    bool replaceLockedFile(const std::string& from, const std::string& to, FileLock& lock) override;
    bool copyAttributes(const std::string& from, const std::string& to, bool modificationTime) override;

    // Counts the call and tells whether it is the one to fail; used by the open files too.
    bool failsNow(FileCall call, const std::string& path);
    // Cuts a file to the first half of its bytes, behind the counting.
    void keepFirstHalf(const std::string& path);

private:
    static std::size_t index(FileCall call) { return static_cast<std::size_t>(call); }

    std::unique_ptr<File> wrap(std::unique_ptr<File> file, const std::string& path, bool writable);

    std::array<std::uint32_t, AllFileCalls.size()> counts_{};
    bool armed_ = false;
    FileCall target_ = FileCall::Open;
    std::uint32_t targetCall_ = 0;
    bool fired_ = false;
    std::string failedPath_;
};

} // namespace orvella::test
