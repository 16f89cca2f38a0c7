#include "platform/StdioFile.h"

#include <cstdint>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace orvella {

namespace {

int whenceOf(SeekOrigin origin) {
    return origin == SeekOrigin::Begin ? SEEK_SET : origin == SeekOrigin::Current ? SEEK_CUR : SEEK_END;
}

// Makes what the stream has written durable: it goes to the disk before the file can replace a save.
bool syncToDisk(std::FILE* stream) {
#ifdef _WIN32
    return _commit(_fileno(stream)) == 0;
#else
    return fsync(fileno(stream)) == 0;
#endif
}

// A binary stream that is only read is read in the pieces its reader asks for: the record reader keeps a
// buffer of its own, and the C library's read past each of its requests only to drop that at its next seek.
void readAsAsked(std::FILE* stream, bool text, bool writable) {
    if (stream && !text && !writable)
        std::setvbuf(stream, nullptr, _IONBF, 0);
}

} // namespace

#ifdef _WIN32
StdioFile::StdioFile(std::FILE* stream, bool text, bool writable)
    : stream_(stream), storeCrLf_(false), writable_(writable) {
    readAsAsked(stream_, text, writable_);
}
#else
StdioFile::StdioFile(std::FILE* stream, bool text, bool writable)
    : stream_(stream), storeCrLf_(text), writable_(writable) {
    readAsAsked(stream_, text, writable_);
    // Such a stream keeps its position itself and reads there, so that a seek costs no call of its own.
    if (stream_ && !text && !writable_)
        readPosition_ = static_cast<std::int64_t>(ftello(stream_));
}
#endif

std::size_t StdioFile::read(void* buffer, std::size_t size) {
#ifndef _WIN32
    if (stream_ && readPosition_ >= 0) {
        auto* bytes = static_cast<char*>(buffer);
        std::size_t done = 0;
        while (done < size) {
            const ssize_t got = pread(fileno(stream_), bytes + done, size - done,
                                      static_cast<off_t>(readPosition_) + static_cast<off_t>(done));
            if (got > 0)
                done += static_cast<std::size_t>(got);
            else if (got == 0 || errno != EINTR)
                break;
        }
        readPosition_ += static_cast<std::int64_t>(done);
        return done;
    }
#endif
    return stream_ ? std::fread(buffer, 1, size, stream_) : 0;
}

std::size_t StdioFile::write(const void* buffer, std::size_t size) {
    if (!stream_)
        return 0;
    if (!storeCrLf_) {
        const std::size_t done = std::fwrite(buffer, 1, size, stream_);
        startWritingBack(done);
        return done;
    }
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

// The disk starts writing every megabyte as soon as it is written, so that the sync at the end waits for
// the last stretch rather than for the whole file.
void StdioFile::startWritingBack(std::size_t written) {
#ifdef __linux__
    constexpr std::int64_t Stretch = 1 << 20;
    unsyncedBytes_ += static_cast<std::int64_t>(written);
    if (unsyncedBytes_ < Stretch || std::fflush(stream_) != 0)
        return;
    const std::int64_t end = tell();
    if (end >= unsyncedBytes_)
        sync_file_range(fileno(stream_), end - unsyncedBytes_, unsyncedBytes_, SYNC_FILE_RANGE_WRITE);
    unsyncedBytes_ = 0;
#else
    (void)written;
#endif
}

bool StdioFile::seek(std::int64_t offset, SeekOrigin origin) {
#ifdef _WIN32
    return stream_ && _fseeki64(stream_, offset, whenceOf(origin)) == 0;
#else
    if (stream_ && readPosition_ >= 0) {
        std::int64_t from = origin == SeekOrigin::Begin ? 0 : readPosition_;
        struct stat status {};
        if (origin == SeekOrigin::End) {
            if (fstat(fileno(stream_), &status) != 0)
                return false;
            from = static_cast<std::int64_t>(status.st_size);
        }
        // As a C stream would, a seek before the start or past what a position holds fails and leaves the
        // position where it was.
        if (offset < -from || offset > INT64_MAX - from)
            return false;
        readPosition_ = from + offset;
        return true;
    }
    return stream_ && fseeko(stream_, static_cast<off_t>(offset), whenceOf(origin)) == 0;
#endif
}

std::int64_t StdioFile::tell() {
    if (!stream_)
        return -1;
#ifdef _WIN32
    return _ftelli64(stream_);
#else
    if (readPosition_ >= 0)
        return readPosition_;
    return static_cast<std::int64_t>(ftello(stream_));
#endif
}

bool StdioFile::flush() {
    return stream_ && std::fflush(stream_) == 0;
}

bool StdioFile::close() {
    if (!stream_)
        return true;
    bool ok = std::fflush(stream_) == 0;
    if (writable_ && ok)
        ok = syncToDisk(stream_);
    ok = std::fclose(stream_) == 0 && ok;
    stream_ = nullptr;
    return ok;
}

} // namespace orvella
