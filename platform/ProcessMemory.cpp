#include "platform/ProcessMemory.h"

// Any header of the C library tells which library it is.
#include <cstdlib>

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
