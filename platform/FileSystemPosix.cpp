#include "platform/FileSystem.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
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
    return path.size() >= PATH_MAX;
}

// Copies the whole of source, a regular file, to target; the copy is complete only at the source's size,
// since a read that fails part-way would otherwise look like its end. The kernel copies when it can, which
// spares the two copies through a buffer of ours.
bool copyContents(int source, int target) {
    struct stat info {};
    if (fstat(source, &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    off_t left = info.st_size;
#ifdef __linux__
    while (left > 0) {
        ssize_t done = copy_file_range(source, nullptr, target, nullptr, static_cast<std::size_t>(left), 0);
        if (done <= 0)
            break;
        left -= done;
    }
    // Some file systems refuse a copy in the kernel: whatever is left goes through a buffer.
    if (left == 0)
        return true;
#endif
    std::vector<char> buffer(1 << 16);
    while (left > 0) {
        ssize_t got = ::read(source, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        for (ssize_t written = 0; written < got;) {
            ssize_t put = ::write(target, buffer.data() + written, static_cast<std::size_t>(got - written));
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0)
                return false;
            written += put;
        }
        left -= got;
    }
    return true;
}

// A C stream that stores text-mode line feeds as Windows does, so that logs are the same bytes everywhere.
class PosixFile final : public File {
public:
    PosixFile(std::FILE* stream, bool text, bool writable)
        : stream_(stream), text_(text), writable_(writable) {}
    ~PosixFile() override { close(); }

    std::size_t read(void* buffer, std::size_t size) override {
        return stream_ ? std::fread(buffer, 1, size, stream_) : 0;
    }

    std::size_t write(const void* buffer, std::size_t size) override {
        if (!stream_)
            return 0;
        if (!text_)
            return std::fwrite(buffer, 1, size, stream_);
        const char* bytes = static_cast<const char*>(buffer);
        std::size_t done = 0;
        while (done < size) {
            const void* lineFeed = std::memchr(bytes + done, '\n', size - done);
            std::size_t run = lineFeed ? static_cast<const char*>(lineFeed) - (bytes + done) : size - done;
            if (std::fwrite(bytes + done, 1, run, stream_) != run)
                return done;
            done += run;
            if (lineFeed) {
                if (std::fwrite("\r\n", 1, 2, stream_) != 2)
                    return done;
                ++done;
            }
        }
        return done;
    }

    bool seek(std::int64_t offset, SeekOrigin origin) override {
        int whence = origin == SeekOrigin::Begin     ? SEEK_SET
                     : origin == SeekOrigin::Current ? SEEK_CUR
                                                     : SEEK_END;
        return stream_ && fseeko(stream_, static_cast<off_t>(offset), whence) == 0;
    }

    std::int64_t tell() override { return stream_ ? static_cast<std::int64_t>(ftello(stream_)) : -1; }

    bool flush() override { return stream_ && std::fflush(stream_) == 0; }

    bool close() override {
        if (!stream_)
            return true;
        bool ok = std::fflush(stream_) == 0;
        // A written file goes to the disk before it can replace a save.
        if (writable_ && ok)
            ok = fsync(fileno(stream_)) == 0;
        ok = std::fclose(stream_) == 0 && ok;
        stream_ = nullptr;
        return ok;
    }

private:
    std::FILE* stream_;
    bool text_;
    bool writable_;
};

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
        return std::make_unique<PosixFile>(stream, text, writable);
    }

    bool copyFile(const std::string& from, const std::string& to, bool overwrite) override {
        if (tooLong(from) || tooLong(to) || (!overwrite && exists(to)))
            return false;
        const int source = ::open(toNativePath(from).c_str(), O_RDONLY | O_CLOEXEC);
        if (source < 0)
            return false;
        const int target = ::open(toNativePath(to).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        bool copied = target >= 0 && copyContents(source, target);
        // A copy goes to the disk before the job goes on, as a written file does.
        copied = copied && fsync(target) == 0;
        if (target >= 0)
            copied = ::close(target) == 0 && copied;
        ::close(source);
        return copied;
    }

    bool replaceFile(const std::string& from, const std::string& to) override {
        if (tooLong(from) || tooLong(to))
            return false;
        return std::rename(toNativePath(from).c_str(), toNativePath(to).c_str()) == 0;
    }

    bool deleteFile(const std::string& path) override {
        return !tooLong(path) && ::unlink(toNativePath(path).c_str()) == 0;
    }

    bool exists(const std::string& pattern) override {
        if (tooLong(pattern))
            return false;
        std::string native = toNativePath(pattern);
        static const std::string anyFile = "/*.*";
        bool folderPattern = native.size() >= anyFile.size() &&
                             native.compare(native.size() - anyFile.size(), anyFile.size(), anyFile) == 0;
        struct stat info {};
        if (folderPattern) {
            native.resize(native.size() - anyFile.size());
            return stat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        }
        return stat(native.c_str(), &info) == 0;
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
};

} // namespace

FileSystem& nativeFileSystem() {
    static PosixFileSystem fileSystem;
    return fileSystem;
}

} // namespace orvella
