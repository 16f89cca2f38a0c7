#include "platform/FileSystem.h"
#include "platform/StdioFile.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace orvella {
namespace {

static_assert(PathLimit == MAX_PATH, "the logic's path limit is Windows' own");

bool tooLong(const std::string& path) {
    return pathTooLong(path);
}

// Others may read, write and rename the file while it is held: the hold is the byte-range lock alone.
constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// True when the path still names the file that the handle has open.
bool stillNamedBy(HANDLE file, const std::string& path) {
    HANDLE named = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, ShareAll, nullptr, OPEN_EXISTING,
                               FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (named == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION held, now;
    bool same = GetFileInformationByHandle(file, &held) && GetFileInformationByHandle(named, &now) &&
                held.dwVolumeSerialNumber == now.dwVolumeSerialNumber &&
                held.nFileIndexHigh == now.nFileIndexHigh && held.nFileIndexLow == now.nFileIndexLow;
    CloseHandle(named);
    return same;
}

// The byte-range lock lies far beyond any save's end, so that it keeps other holders out without keeping
// anybody from reading the file, this process's own streams included. A holder that moves another file over
// the path locks that file first, so a lock taken on the file the path named a moment earlier is tried again
// on the file it names now.
HANDLE lockHandle(const std::string& path, bool& busy) {
    busy = false;
    for (int attempt = 0; attempt < 3; ++attempt) {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, ShareAll, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            busy = GetLastError() == ERROR_SHARING_VIOLATION;
            return nullptr;
        }
        OVERLAPPED range{};
        range.OffsetHigh = 0x7FFFFFFF;
        if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &range)) {
            busy = GetLastError() == ERROR_LOCK_VIOLATION;
            CloseHandle(file);
            return nullptr;
        }
        if (stillNamedBy(file, path))
            return file;
        CloseHandle(file);
    }
    busy = true;
    return nullptr;
}

// MoveFileExA fails while any program, if only to read it, has the target open; such a reader, a save list
// or a second job looking at the save, lets go within moments, so the move is tried again for a while.
bool moveOver(const std::string& from, const std::string& to) {
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        DWORD error = GetLastError();
        if (attempt == 20 || (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION))
            return false;
        Sleep(25);
    }
}

class WinFileLock final : public FileLock {
public:
    explicit WinFileLock(HANDLE file) : file_(file) {}
    ~WinFileLock() override { release(); }
    WinFileLock(const WinFileLock&) = delete;
    WinFileLock& operator=(const WinFileLock&) = delete;

    void release() {
        if (file_)
            CloseHandle(file_);
        file_ = nullptr;
    }
    void hold(HANDLE file) {
        release();
        file_ = file;
    }

private:
    HANDLE file_;
};

// The final path's long forms, "\\?\C:\x" and "\\?\UNC\server\x", as the program writes paths: "C:\x" and
// "\\server\x".
std::string withoutLongPrefix(const std::string& path) {
    if (path.rfind("\\\\?\\UNC\\", 0) == 0)
        return "\\\\" + path.substr(8);
    if (path.rfind("\\\\?\\", 0) == 0)
        return path.substr(4);
    return path;
}

// True when the pattern matches at least one entry.
bool matchesAny(const std::string& pattern) {
    if (tooLong(pattern))
        return false;
    WIN32_FIND_DATAA data;
    HANDLE found = FindFirstFileA(pattern.c_str(), &data);
    if (found == INVALID_HANDLE_VALUE)
        return false;
    FindClose(found);
    return true;
}

class WinFileSystem final : public FileSystem {
public:
    std::unique_ptr<File> open(const std::string& path, const char* mode) override {
        if (tooLong(path))
            return nullptr;
        std::FILE* stream = std::fopen(path.c_str(), mode);
        if (!stream)
            return nullptr;
        return std::make_unique<StdioFile>(stream, std::strchr(mode, 'b') == nullptr,
                                           std::strpbrk(mode, "wa+") != nullptr);
    }
    // CREATE_NEW refuses whatever stands at the path, and a link there is not followed either.
    std::unique_ptr<File> createNew(const std::string& path) override {
        if (tooLong(path))
            return nullptr;
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return nullptr;
        int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY | _O_BINARY);
        if (descriptor < 0) {
            CloseHandle(file);
            return nullptr;
        }
        std::FILE* stream = _fdopen(descriptor, "wb");
        if (!stream) {
            _close(descriptor);
            return nullptr;
        }
        return std::make_unique<StdioFile>(stream, false, true);
    }
    bool replaceFile(const std::string& from, const std::string& to) override {
        return !tooLong(from) && !tooLong(to) && moveOver(from, to);
    }
    bool deleteFile(const std::string& path) override { return !tooLong(path) && DeleteFileA(path.c_str()); }
    bool exists(const std::string& path) override { return matchesAny(path); }
    // A folder is told by the entries its pattern matches, "." at least, as the program has always told it.
    bool isFolder(const std::string& path) override {
        return matchesAny(path + (!path.empty() && path.back() == '\\' ? "*.*" : "\\*.*"));
    }
    bool createFolder(const std::string& path, bool& alreadyExists) override {
        alreadyExists = false;
        if (tooLong(path))
            return false;
        if (CreateDirectoryA(path.c_str(), nullptr))
            return true;
        alreadyExists = GetLastError() == ERROR_ALREADY_EXISTS;
        return false;
    }
    bool listFolder(const std::string& path, std::vector<FolderEntry>& entries) override {
        bool interrupted = false;
        return listFolderChecked(path, entries, interrupted);
    }
    // Only ERROR_NO_MORE_FILES ends a listing normally; any other error of FindNextFileA breaks it off
    // where it is, so that no entry is listed twice and the error is reported once.
    bool listFolderChecked(const std::string& path, std::vector<FolderEntry>& entries,
                           bool& interrupted) override {
        entries.clear();
        interrupted = false;
        std::string pattern = path;
        if (!pattern.empty() && pattern.back() != '\\')
            pattern += '\\';
        pattern += "*.*";
        if (tooLong(pattern))
            return false;
        WIN32_FIND_DATAA data;
        HANDLE found = FindFirstFileA(pattern.c_str(), &data);
        if (found == INVALID_HANDLE_VALUE)
            return false;
        do {
            entries.push_back({data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
        } while (FindNextFileA(found, &data));
        interrupted = GetLastError() != ERROR_NO_MORE_FILES;
        FindClose(found);
        return true;
    }

    std::unique_ptr<FileLock> lockFile(const std::string& path, bool& busy) override {
        busy = false;
        if (tooLong(path))
            return nullptr;
        HANDLE file = lockHandle(path, busy);
        if (!file)
            return nullptr;
        return std::make_unique<WinFileLock>(file);
    }

    // Windows moves no file over one that is open, the lock's own handle included: the moved file is held
    // first, the target's handle closed just before the move, and the target held again if the move fails.
    bool replaceLockedFile(const std::string& from, const std::string& to, FileLock& lock) override {
        if (tooLong(from) || tooLong(to))
            return false;
        bool busy = false;
        HANDLE moved = lockHandle(from, busy);
        if (!moved)
            return false;
        WinFileLock& held = static_cast<WinFileLock&>(lock);
        held.release();
        if (!moveOver(from, to)) {
            CloseHandle(moved);
            held.hold(lockHandle(to, busy));
            return false;
        }
        held.hold(moved);
        return true;
    }

    std::string resolveLink(const std::string& path) override {
        DWORD attributes = tooLong(path) ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            return path;
        HANDLE file = CreateFileA(path.c_str(), 0, ShareAll, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return path;
        char resolved[MAX_PATH + 8] = {};
        DWORD length = GetFinalPathNameByHandleA(file, resolved, sizeof resolved, FILE_NAME_NORMALIZED);
        CloseHandle(file);
        if (length == 0 || length >= sizeof resolved)
            return path;
        return withoutLongPrefix(resolved);
    }

    bool isWritable(const std::string& path) override {
        DWORD attributes = tooLong(path) ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES &&
               !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
    }

    // What CopyFileA gives its copy: the attributes and the time of the last write.
    bool copyAttributes(const std::string& from, const std::string& to, bool modificationTime) override {
        WIN32_FILE_ATTRIBUTE_DATA source;
        if (tooLong(from) || tooLong(to) ||
            !GetFileAttributesExA(from.c_str(), GetFileExInfoStandard, &source))
            return false;
        if (modificationTime) {
            HANDLE file = CreateFileA(to.c_str(), FILE_WRITE_ATTRIBUTES, ShareAll, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
            if (file == INVALID_HANDLE_VALUE)
                return false;
            bool set = SetFileTime(file, nullptr, nullptr, &source.ftLastWriteTime);
            if (!CloseHandle(file) || !set)
                return false;
        }
        DWORD kept = source.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                                FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
        return SetFileAttributesA(to.c_str(), kept ? kept : FILE_ATTRIBUTE_NORMAL);
    }

    // A FILETIME counts 100-nanosecond steps from 1601-01-01 00:00 UTC.
    std::optional<std::int64_t> modificationTime(const std::string& path) override {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (tooLong(path) || !GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
            return std::nullopt;
        const std::int64_t steps = static_cast<std::int64_t>(data.ftLastWriteTime.dwHighDateTime) << 32 |
                                   data.ftLastWriteTime.dwLowDateTime;
        constexpr std::int64_t StepsFrom1601To1970 = 116444736000000000;
        return (steps - StepsFrom1601To1970) * 100;
    }
};

} // namespace

FileSystem& nativeFileSystem() {
    static WinFileSystem fileSystem;
    return fileSystem;
}

} // namespace orvella
