#include "platform/ProcessMemory.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace orvella {
namespace {

#if defined(__GLIBC__)
// Once readied, the allocator keeps no freed small block aside for a merge in bulk.
TEST(ProcessMemory, FreedSmallBlocksWaitInNoFastBin) {
    prepareAllocatorForConversions();
    std::vector<void*> blocks(64);
    for (void*& block : blocks)
        block = std::malloc(40);
    for (void* block : blocks)
        std::free(block);
    EXPECT_EQ(mallinfo2().fsmblks, 0u);
}
#endif

} // namespace
} // namespace orvella
