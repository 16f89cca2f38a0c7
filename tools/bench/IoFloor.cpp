#include "IoFloor.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace orvella::bench {

namespace {

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

bool readRange(int descriptor, const ByteRange& range, std::vector<std::uint8_t>& buffer) {
    for (std::uint64_t done = 0; done < range.size;) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(range.size - done, buffer.size()));
        const ssize_t got = pread(descriptor, buffer.data(), want, static_cast<off_t>(range.offset + done));
        if (got <= 0)
            return false;
        done += static_cast<std::uint64_t>(got);
    }
    return true;
}

bool writeAll(int descriptor, std::uint64_t size, const std::vector<std::uint8_t>& buffer) {
    for (std::uint64_t done = 0; done < size;) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(size - done, buffer.size()));
        const ssize_t put = write(descriptor, buffer.data(), want);
        if (put <= 0)
            return false;
        done += static_cast<std::uint64_t>(put);
    }
    return true;
}

} // namespace

IoFloor::IoFloor(std::size_t bufferBytes) : buffer_(bufferBytes, 0x5A) {}

bool IoFloor::readAgain(const std::vector<FileReads>& reads) {
    for (const FileReads& file : reads) {
        if (file.ranges.empty())
            continue;
        const int descriptor = open(nativePath(file.path).c_str(), O_RDONLY | O_CLOEXEC);
        if (descriptor < 0)
            return false;
        bool read = true;
        for (const ByteRange& range : file.ranges)
            read = read && readRange(descriptor, range, buffer_);
        read = close(descriptor) == 0 && read;
        if (!read)
            return false;
    }
    return true;
}

bool IoFloor::replaceWith(const std::string& target, std::uint64_t size) {
    const std::string native = nativePath(target);
    const std::string temporary = native + ".tmp";
    unlink(temporary.c_str());
    const int descriptor = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0)
        return false;
    bool written = writeAll(descriptor, size, buffer_) && fsync(descriptor) == 0;
    written = close(descriptor) == 0 && written;
    if (!written || std::rename(temporary.c_str(), native.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    const int folder = open(folderOf(native).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return false;
    const bool synced = fsync(folder) == 0;
    return close(folder) == 0 && synced;
}

} // namespace orvella::bench
