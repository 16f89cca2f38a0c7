#include "platform/ProcessMemory.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace orvella {

void prepareAllocatorForConversions() {
#if defined(__GLIBC__)
    mallopt(M_MXFAST, 0);
#endif
}

} // namespace orvella
