#pragma once

#include "platform/File.h"

#include <cstdio>

namespace orvella {

// A file as a C stream, the same on every platform. A written file is synced to the disk when it is closed,
// so that it is complete before it can replace a save.
class StdioFile final : public File {
public:
    // A stream opened in text mode stores each "\n" as "\r\n" on every platform, as Windows' C library
    // does, so that logs are the same bytes everywhere.
    StdioFile(std::FILE* stream, bool text, bool writable);
    ~StdioFile() override { close(); }
    StdioFile(const StdioFile&) = delete;
    StdioFile& operator=(const StdioFile&) = delete;

    std::size_t read(void* buffer, std::size_t size) override;
    std::size_t write(const void* buffer, std::size_t size) override;
    bool seek(std::int64_t offset, SeekOrigin origin) override;
    std::int64_t tell() override;
    bool flush() override;
    bool close() override;

private:
    void startWritingBack(std::size_t written);

    std::FILE* stream_;
    // Where the next read starts, for a binary stream that is only read, on systems that read at a position
    // in one call; -1 for every other stream, which the C library positions.
    std::int64_t readPosition_ = -1;
    std::int64_t unsyncedBytes_ = 0; // written since the disk last started writing
    bool storeCrLf_;                 // the line feeds that the C library does not turn into CR LF itself
    bool writable_;
};

} // namespace orvella
