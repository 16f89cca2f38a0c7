#pragma once

#include "platform/File.h"
#include "platform/PathLimit.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orvella {

struct FolderEntry {
    std::string name;
    bool isFolder = false;
};

// An exclusive hold on one file, taken with FileSystem::lockFile and given up when destroyed.
class FileLock {
public:
    virtual ~FileLock() = default;
};

// What the logic needs of the platform's files and folders. Paths are written as on Windows
// ("C:\\Games\\Morrowind\\Saves\\x.ess"); a non-Windows implementation maps the backslashes. A job calls it
// from more than one thread at once, each open file from one thread at a time.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Opens with a C stream mode ("rb", "wb", "w", "rb+"); text modes store "\n" as "\r\n" on every
    // platform. Returns null when the file cannot be opened or the path is too long.
    virtual std::unique_ptr<File> open(const std::string& path, const char* mode) = 0;
    // Creates a new, empty file open for binary writing ("wb"), only when nothing at all stands at the path,
    // not even a link: no existing file, and no file a link points to, is ever written through it.
    virtual std::unique_ptr<File> createNew(const std::string& path) = 0;
    // Moves a complete file over another one in a single step, and makes the move itself durable where the
    // platform allows it, so that after a crash the target is one file or the other.
    virtual bool replaceFile(const std::string& from, const std::string& to) = 0;
    virtual bool deleteFile(const std::string& path) = 0;
    // True when a file or a folder stands at the path.
    virtual bool exists(const std::string& path) = 0;
    // True when a folder stands at the path, written with or without a "\\" at its end.
    virtual bool isFolder(const std::string& path) = 0;
    // False when the folder could not be created; alreadyExists tells that case apart.
    virtual bool createFolder(const std::string& path, bool& alreadyExists) = 0;
    // Lists a folder in the platform's listing order; false when it cannot be listed at all.
    virtual bool listFolder(const std::string& path, std::vector<FolderEntry>& entries) = 0;
    // Like listFolder, and tells whether the listing broke off on a read error after it had begun; the
    // entries then hold what was listed before the error. A platform that cannot tell keeps this default,
    // which reports no such error.
    virtual bool listFolderChecked(const std::string& path, std::vector<FolderEntry>& entries,
                                   bool& interrupted) {
        interrupted = false;
        return listFolder(path, entries);
    }

    // Holds the existing regular file at the path (never a link's target) against every other lockFile of
    // any process, this one included, until the lock is destroyed; reading the file stays open to all.
    // Null when another holder has it (busy is then true) or when it cannot be opened (busy false).
    virtual std::unique_ptr<FileLock> lockFile(const std::string& path, bool& busy) = 0;
    // replaceFile for a target that the lock, taken from this file system, holds: the moved file is held
    // before it takes the target's place and the lock holds it from then on, so that no other holder can
    // find the target free in between. On failure both files stay where they were.
    virtual bool replaceLockedFile(const std::string& from, const std::string& to, FileLock& lock) = 0;
    // The path of the file that a symbolic link at the path leads to, links on the way resolved; the path
    // as given when it is no link or cannot be resolved.
    virtual std::string resolveLink(const std::string& path) = 0;
    // True when the user may write the existing file at the path; false too when there is none.
    virtual bool isWritable(const std::string& path) = 0;
    // True when files may be created, moved and deleted in the existing folder at the path. A platform that
    // cannot tell without trying keeps this default, which says so of every folder that exists.
    virtual bool canWriteIn(const std::string& folder) { return isFolder(folder); }
    // Gives the file `to` the permission bits of the file `from` (on Windows its read-only, hidden, system
    // and archive attributes) and, when asked, its modification time.
    virtual bool copyAttributes(const std::string& from, const std::string& to, bool modificationTime) = 0;
    // When the file or folder at the path was last written, in nanoseconds since 1970-01-01 00:00 UTC;
    // nothing when nothing stands there or the time cannot be read. A file system that keeps no times keeps
    // this default, which knows none.
    virtual std::optional<std::int64_t> modificationTime([[maybe_unused]] const std::string& path) {
        return std::nullopt;
    }
};

// The file system of the machine the program runs on.
FileSystem& nativeFileSystem();

// Reads a whole file; false when it cannot be opened or read completely.
bool readWholeFile(FileSystem& files, const std::string& path, std::vector<std::uint8_t>& bytes);
// Makes the folder and every folder above it that is missing; true when the folder stands afterwards.
bool makeFolders(FileSystem& files, const std::string& path);

} // namespace orvella
