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
    ByteChunks() = default;
    // Chunks of that many bytes, for bytes that come in smaller amounts than the usual megabyte.
    explicit ByteChunks(std::size_t chunkBytes) : chunkBytes_(chunkBytes) {}

    // Room for size bytes in one piece, which stays where it is while the chunks are kept.
    char* extend(std::size_t size) {
        if (size > left_) {
            if (!spare_.empty() && spare_.back().size >= size) {
                next_ = spare_.back().bytes;
                left_ = spare_.back().size;
                spare_.pop_back();
            } else {
                const std::size_t chunk = std::max(size, chunkBytes_);
                chunks_.push_back({std::unique_ptr<char[]>(new char[chunk]), chunk});
                next_ = chunks_.back().bytes.get();
                left_ = chunk;
            }
        }
        char* room = next_;
        next_ += size;
        left_ -= size;
        return room;
    }

    // Keeps the other's chunks too, where they are, without writing into them.
    void take(ByteChunks&& other) {
        for (Chunk& chunk : other.chunks_)
            chunks_.push_back(std::move(chunk));
        other.chunks_.clear();
        other.spare_.clear();
        other.next_ = nullptr;
        other.left_ = 0;
    }
    // Starts again from the first chunk, writing over what was kept: memory that the system has already
    // handed over costs far less to write than memory never touched.
    void restart() {
        spare_.clear();
        for (auto chunk = chunks_.rbegin(); chunk != chunks_.rend(); ++chunk)
            spare_.push_back({chunk->bytes.get(), chunk->size});
        next_ = nullptr;
        left_ = 0;
    }
    // Gives back the chunks not written into again since the restart.
    void releaseSpare() {
        std::erase_if(chunks_, [&](const Chunk& chunk) {
            return std::any_of(spare_.begin(), spare_.end(),
                               [&](const Spare& spare) { return spare.bytes == chunk.bytes.get(); });
        });
        spare_.clear();
    }

private:
    struct Chunk {
        std::unique_ptr<char[]> bytes;
        std::size_t size = 0;
    };
    struct Spare {
        char* bytes;
        std::size_t size;
    };

    std::vector<Chunk> chunks_;
    std::vector<Spare> spare_; // written into again after a restart, the first last
    char* next_ = nullptr;
    std::size_t left_ = 0;
    std::size_t chunkBytes_ = std::size_t{1} << 20;
};

} // namespace orvella
