#include "platform/FileSystem.h"
#include "platform/StdioFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

namespace orvella {
namespace {

std::string toNativePath(const std::string& path) {
    std::string native = path;
    for (char& c : native)
        if (c == '\\')
            c = '/';
    return native;
}

bool tooLong(const std::string& path) {
    return pathTooLong(path);
}

// Makes a rename in the folder of the path durable. It is done after the rename, which cannot be undone,
// so a failure here is not reported: the move itself has happened.
void syncFolderOf(const std::string& native) {
    std::size_t slash = native.rfind('/');
    std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : native.substr(0, slash);
    int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return;
    fsync(descriptor);
    ::close(descriptor);
}

// Closes the descriptor on a thread of its own. Closing the last descriptor of a file that a move replaced
// frees the file's blocks, which takes milliseconds for a save on a file system that discards them; nothing
// waits for it.
void closeLater(int descriptor) {
    try {
        std::thread([descriptor] { ::close(descriptor); }).detach();
    } catch (const std::system_error&) {
        ::close(descriptor);
    }
}

// Gives the file the owner and the group of the source where this user may; false where it may not.
bool takeOwnerOf(int descriptor, const struct stat& source) {
    return fchown(descriptor, source.st_uid, source.st_gid) == 0 ||
           fchown(descriptor, static_cast<uid_t>(-1), source.st_gid) == 0;
}

// flock belongs to the open file, so a second open in the same process is refused as another process is.
class PosixFileLock final : public FileLock {
public:
    explicit PosixFileLock(int descriptor) : descriptor_(descriptor) {}
    ~PosixFileLock() override { ::close(descriptor_); }
    PosixFileLock(const PosixFileLock&) = delete;
    PosixFileLock& operator=(const PosixFileLock&) = delete;

    // Holds the new descriptor's file instead of the old one's, which a move has just replaced.
    void exchange(int descriptor) {
        closeLater(descriptor_);
        descriptor_ = descriptor;
    }

private:
    int descriptor_;
};

// A locked descriptor of the regular file at the path, or -1. A holder that moves another file over the path
// locks that file first, so a lock taken on the file the path named a moment earlier is tried again on the
// file it names now.
int lockDescriptor(const std::string& native, bool& busy) {
    busy = false;
    for (int attempt = 0; attempt < 3; ++attempt) {
        int descriptor = ::open(native.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (descriptor < 0)
            return -1;
        struct stat held {};
        if (fstat(descriptor, &held) != 0 || !S_ISREG(held.st_mode)) {
            ::close(descriptor);
            return -1;
        }
        if (flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
            busy = errno == EWOULDBLOCK;
            ::close(descriptor);
            return -1;
        }
        struct stat named {};
        if (lstat(native.c_str(), &named) == 0 && named.st_dev == held.st_dev && named.st_ino == held.st_ino)
            return descriptor;
        ::close(descriptor);
    }
    busy = true;
    return -1;
}

class PosixFileSystem final : public FileSystem {
public:
    std::unique_ptr<File> open(const std::string& path, const char* mode) override {
        if (tooLong(path))
            return nullptr;
        std::string native = toNativePath(path);
        struct stat info {};
        if (stat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
            return nullptr;
        bool text = std::strchr(mode, 'b') == nullptr;
        bool writable = std::strpbrk(mode, "wa+") != nullptr;
        std::FILE* stream = std::fopen(native.c_str(), mode);
        if (!stream)
            return nullptr;
        return std::make_unique<StdioFile>(stream, text, writable);
    }

    std::unique_ptr<File> createNew(const std::string& path) override {
        if (tooLong(path))
            return nullptr;
        int descriptor =
            ::open(toNativePath(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (descriptor < 0)
            return nullptr;
        std::FILE* stream = fdopen(descriptor, "wb");
        if (!stream) {
            ::close(descriptor);
            return nullptr;
        }
        return std::make_unique<StdioFile>(stream, false, true);
    }

    bool replaceFile(const std::string& from, const std::string& to) override {
        if (tooLong(from) || tooLong(to))
            return false;
        std::string target = toNativePath(to);
        // The replaced file is held open across the move, so that its blocks are freed when closeLater lets
        // it go rather than during the move.
        const int replaced = ::open(target.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        const bool moved = std::rename(toNativePath(from).c_str(), target.c_str()) == 0;
        if (replaced >= 0)
            closeLater(replaced);
        if (!moved)
            return false;
        syncFolderOf(target);
        return true;
    }

    bool deleteFile(const std::string& path) override {
        return !tooLong(path) && ::unlink(toNativePath(path).c_str()) == 0;
    }

    bool exists(const std::string& path) override {
        struct stat info {};
        return !tooLong(path) && stat(toNativePath(path).c_str(), &info) == 0;
    }

    bool isFolder(const std::string& path) override {
        struct stat info {};
        return !tooLong(path) && stat(toNativePath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    }

    bool createFolder(const std::string& path, bool& alreadyExists) override {
        alreadyExists = false;
        if (tooLong(path))
            return false;
        std::string native = toNativePath(path);
        while (native.size() > 1 && native.back() == '/')
            native.pop_back();
        if (::mkdir(native.c_str(), 0777) == 0)
            return true;
        alreadyExists = errno == EEXIST;
        return false;
    }

    bool listFolder(const std::string& path, std::vector<FolderEntry>& entries) override {
        entries.clear();
        if (tooLong(path))
            return false;
        std::string native = toNativePath(path);
        DIR* folder = ::opendir(native.c_str());
        if (!folder)
            return false;
        while (dirent* entry = ::readdir(folder)) {
            FolderEntry item;
            item.name = entry->d_name;
            struct stat info {};
            std::string full = native + (native.empty() || native.back() == '/' ? "" : "/") + item.name;
            item.isFolder = stat(full.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
            entries.push_back(std::move(item));
        }
        ::closedir(folder);
        return true;
    }

    std::unique_ptr<FileLock> lockFile(const std::string& path, bool& busy) override {
        busy = false;
        if (tooLong(path))
            return nullptr;
        int descriptor = lockDescriptor(toNativePath(path), busy);
        if (descriptor < 0)
            return nullptr;
        return std::make_unique<PosixFileLock>(descriptor);
    }

    bool replaceLockedFile(const std::string& from, const std::string& to, FileLock& lock) override {
        if (tooLong(from) || tooLong(to))
            return false;
        bool busy = false;
        int moved = lockDescriptor(toNativePath(from), busy);
        if (moved < 0)
            return false;
        if (!replaceFile(from, to)) {
            ::close(moved);
            return false;
        }
        static_cast<PosixFileLock&>(lock).exchange(moved);
        return true;
    }

    std::string resolveLink(const std::string& path) override {
        std::string native = toNativePath(path);
        struct stat info {};
        if (tooLong(path) || lstat(native.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        char resolved[PATH_MAX];
        if (!realpath(native.c_str(), resolved))
            return path;
        return resolved;
    }

    bool isWritable(const std::string& path) override {
        return !tooLong(path) && faccessat(AT_FDCWD, toNativePath(path).c_str(), W_OK, AT_EACCESS) == 0;
    }

    bool canWriteIn(const std::string& folder) override {
        std::string native = toNativePath(folder);
        struct stat info {};
        return !tooLong(folder) && stat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
               faccessat(AT_FDCWD, native.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
    }

    // The owner and the group go with the permission bits where this user may give them, so that a save
    // rewritten by another user stays its player's.
    bool copyAttributes(const std::string& from, const std::string& to, bool modificationTime) override {
        if (tooLong(from) || tooLong(to))
            return false;
        struct stat source {};
        if (stat(toNativePath(from).c_str(), &source) != 0)
            return false;
        int descriptor = ::open(toNativePath(to).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (descriptor < 0)
            return false;
        struct stat target {};
        bool done = fstat(descriptor, &target) == 0;
        if (done && (target.st_uid != source.st_uid || target.st_gid != source.st_gid))
            takeOwnerOf(descriptor, source);
        done = done && fchmod(descriptor, source.st_mode & 07777) == 0;
        if (done && modificationTime) {
            const timespec times[2] = {{0, UTIME_OMIT}, source.st_mtim};
            done = futimens(descriptor, times) == 0;
        }
        done = ::close(descriptor) == 0 && done;
        return done;
    }

    std::optional<std::int64_t> modificationTime(const std::string& path) override {
        struct stat info {};
        if (tooLong(path) || stat(toNativePath(path).c_str(), &info) != 0)
            return std::nullopt;
        return static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
    }
};

} // namespace

FileSystem& nativeFileSystem() {
    static PosixFileSystem fileSystem;
    return fileSystem;
}

} // namespace orvella
