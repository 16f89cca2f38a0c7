#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

namespace orvella {

// Bytes kept in chunks that never move, so that keeping more never copies what is kept: a string that grows
// copies everything it holds each time, into memory never touched before.
class ByteChunks {
public:
    // Room for size bytes in one piece, which stays where it is while the chunks are kept.
    char* extend(std::size_t size) {
        if (size > left_) {
            const std::size_t chunk = std::max(size, ChunkBytes);
            chunks_.push_back(std::unique_ptr<char[]>(new char[chunk]));
            next_ = chunks_.back().get();
            left_ = chunk;
        }
        char* room = next_;
        next_ += size;
        left_ -= size;
        return room;
    }

    // Keeps the other's chunks too, where they are; what is kept goes on in the chunk it had reached.
    void take(ByteChunks&& other) {
        for (auto& chunk : other.chunks_)
            chunks_.push_back(std::move(chunk));
        other = ByteChunks();
    }

private:
    static constexpr std::size_t ChunkBytes = std::size_t{1} << 20;

    std::vector<std::unique_ptr<char[]>> chunks_;
    char* next_ = nullptr;
    std::size_t left_ = 0;
};

} // namespace orvella
