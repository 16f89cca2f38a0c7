#pragma once

namespace orvella {

// Readies the C library's allocator for a process that runs conversions. A conversion lets tens of thousands
// of small blocks go at its end; glibc keeps recently freed small blocks in bins of their own and, at the
// next large block freed, merges every one of them with its neighbours in one pass, which the player waits
// for. Without those bins each block is merged as it is freed. Other C libraries are left as they are. Call
// once, before the first conversion.
void prepareAllocatorForConversions();

} // namespace orvella
