#pragma once

#include <cstdint>

namespace orvella::bench {

// Bytes of heap the program holds through operator new, counted by this program's own operators: the
// resident size also holds the code, the benchmark's data and what the allocator keeps after a free.
std::uint64_t heapInUse();
// The most held since the last resetHeapPeak.
std::uint64_t heapPeak();
void resetHeapPeak();

} // namespace orvella::bench
