#pragma once

#include "platform/File.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

namespace orvella {

// Moves a position within bytes held in memory as a seek of a file does: past the end is allowed, before
// the start is not.
inline bool seekInMemory(std::size_t& position, std::size_t size, std::int64_t offset, SeekOrigin origin) {
    const std::int64_t base = origin == SeekOrigin::Begin     ? 0
                              : origin == SeekOrigin::Current ? static_cast<std::int64_t>(position)
                                                              : static_cast<std::int64_t>(size);
    if (base + offset < 0)
        return false;
    position = static_cast<std::size_t>(base + offset);
    return true;
}

// A file held in memory, for reading bytes that never touch a disk.
class MemoryFile final : public File {
public:
    explicit MemoryFile(std::string bytes = {}) : bytes_(std::move(bytes)) {}

    std::size_t read(void* buffer, std::size_t size) override {
        // An empty read may come with no buffer at all (the data of an empty vector).
        if (size == 0 || position_ >= bytes_.size())
            return 0;
        std::size_t count = std::min(size, bytes_.size() - position_);
        std::memcpy(buffer, bytes_.data() + position_, count);
        position_ += count;
        return count;
    }
    std::size_t write(const void* buffer, std::size_t size) override {
        if (size == 0)
            return 0;
        if (position_ + size > bytes_.size())
            bytes_.resize(position_ + size);
        std::memcpy(bytes_.data() + position_, buffer, size);
        position_ += size;
        return size;
    }
    bool seek(std::int64_t offset, SeekOrigin origin) override {
        return seekInMemory(position_, bytes_.size(), offset, origin);
    }
    std::int64_t tell() override { return static_cast<std::int64_t>(position_); }
    bool flush() override { return true; }
    bool close() override { return true; }

    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
    std::size_t position_ = 0;
};

} // namespace orvella
