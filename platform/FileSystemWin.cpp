#include "platform/FileSystem.h"

#include <cstdio>
#include <cstring>
#include <io.h>
#include <windows.h>

namespace orvella {
namespace {

// MAX_PATH counts the terminating NUL.
bool tooLong(const std::string& path) {
    return path.size() >= MAX_PATH;
}

class WinFile final : public File {
public:
    WinFile(std::FILE* stream, bool writable) : stream_(stream), writable_(writable) {}
    ~WinFile() override { close(); }

    std::size_t read(void* buffer, std::size_t size) override {
        return stream_ ? std::fread(buffer, 1, size, stream_) : 0;
    }
    std::size_t write(const void* buffer, std::size_t size) override {
        return stream_ ? std::fwrite(buffer, 1, size, stream_) : 0;
    }
    bool seek(std::int64_t offset, SeekOrigin origin) override {
        int whence = origin == SeekOrigin::Begin     ? SEEK_SET
                     : origin == SeekOrigin::Current ? SEEK_CUR
                                                     : SEEK_END;
        return stream_ && _fseeki64(stream_, offset, whence) == 0;
    }
    std::int64_t tell() override { return stream_ ? _ftelli64(stream_) : -1; }
    bool flush() override { return stream_ && std::fflush(stream_) == 0; }
    bool close() override {
        if (!stream_)
            return true;
        bool ok = std::fflush(stream_) == 0;
        // A written file goes to the disk before it can replace a save.
        if (writable_ && ok)
            ok = _commit(_fileno(stream_)) == 0;
        ok = std::fclose(stream_) == 0 && ok;
        stream_ = nullptr;
        return ok;
    }

private:
    std::FILE* stream_;
    bool writable_;
};

class WinFileSystem final : public FileSystem {
public:
    std::unique_ptr<File> open(const std::string& path, const char* mode) override {
        if (tooLong(path))
            return nullptr;
        std::FILE* stream = std::fopen(path.c_str(), mode);
        if (!stream)
            return nullptr;
        return std::make_unique<WinFile>(stream, std::strpbrk(mode, "wa+") != nullptr);
    }
    bool copyFile(const std::string& from, const std::string& to, bool overwrite) override {
        return !tooLong(from) && !tooLong(to) &&
               CopyFileA(from.c_str(), to.c_str(), overwrite ? FALSE : TRUE);
    }
    bool replaceFile(const std::string& from, const std::string& to) override {
        return !tooLong(from) && !tooLong(to) &&
               MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    }
    bool deleteFile(const std::string& path) override { return !tooLong(path) && DeleteFileA(path.c_str()); }
    bool exists(const std::string& pattern) override {
        if (tooLong(pattern))
            return false;
        WIN32_FIND_DATAA data;
        HANDLE found = FindFirstFileA(pattern.c_str(), &data);
        if (found == INVALID_HANDLE_VALUE)
            return false;
        FindClose(found);
        return true;
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
};

} // namespace

FileSystem& nativeFileSystem() {
    static WinFileSystem fileSystem;
    return fileSystem;
}

} // namespace orvella
