#pragma once

#include <cstddef>
#include <cstdint>

namespace orvella {

enum class SeekOrigin { Begin, Current, End };

// An open file, as a C stream: the job only ever sees this interface.
class File {
public:
    virtual ~File() = default;

    // Returns the number of bytes read; fewer than asked means end of file or an error.
    virtual std::size_t read(void* buffer, std::size_t size) = 0;
    // Returns the number of bytes written; fewer than asked is a failed write.
    virtual std::size_t write(const void* buffer, std::size_t size) = 0;
    virtual bool seek(std::int64_t offset, SeekOrigin origin) = 0;
    virtual std::int64_t tell() = 0;
    virtual bool flush() = 0;
    // Flushes and closes; a false result means the written data may not be complete.
    virtual bool close() = 0;
};

// The length of a file as a seek to its end gives it, the file then standing there; -1 when it cannot be
// measured.
inline std::int64_t fileLength(File& file) {
    return file.seek(0, SeekOrigin::End) ? file.tell() : -1;
}

} // namespace orvella
