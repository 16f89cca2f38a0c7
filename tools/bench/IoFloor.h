#pragma once

#include "BenchMeasure.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orvella::bench {

// The least I/O one conversion has to do, done with nothing else: what it read, read again into one buffer,
// and its two files written, synced and moved into place. Only system calls are used, through one buffer
// allocated and touched before any timing, so neither a library's buffering nor fresh memory is measured.
class IoFloor {
public:
    explicit IoFloor(std::size_t bufferBytes);

    // Reads every stretch that was read once more, each open of a file as one open, in reads of at most the
    // buffer's size; false when a file cannot be opened or read to the end of a stretch.
    bool readAgain(const std::vector<FileReads>& reads);
    // Writes that many bytes to a new file beside the target, syncs it, moves it over the target and syncs
    // the target's folder, as a save or a backup is replaced; false when any step fails.
    bool replaceWith(const std::string& target, std::uint64_t size);

private:
    std::vector<std::uint8_t> buffer_;
};

} // namespace orvella::bench
