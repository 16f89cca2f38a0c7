#include "HeapCounter.h"

#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>
#include <utility>

namespace orvella::bench {

namespace {

std::atomic<std::uint64_t> inUse{0};
std::atomic<std::uint64_t> peak{0};

// Each thread gathers its own changes and adds them to the shared count in steps of this many bytes, so
// that threads allocating at once do not fight over one counter; the peak may be missed by at most one step
// per thread.
constexpr std::int64_t Step = 16 * 1024;

void add(std::int64_t change) {
    const std::uint64_t now = inUse.fetch_add(static_cast<std::uint64_t>(change), std::memory_order_relaxed) +
                              static_cast<std::uint64_t>(change);
    std::uint64_t seen = peak.load(std::memory_order_relaxed);
    while (now > seen && !peak.compare_exchange_weak(seen, now, std::memory_order_relaxed)) {
    }
}

struct ThreadCount {
    std::int64_t change = 0;
    ~ThreadCount() { flush(); }
    void flush() {
        if (change != 0)
            add(std::exchange(change, 0));
    }
    void note(std::int64_t bytes) {
        change += bytes;
        if (change >= Step || change <= -Step)
            flush();
    }
};

thread_local ThreadCount threadCount;

void* allocate(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (!block)
        return nullptr;
    threadCount.note(static_cast<std::int64_t>(malloc_usable_size(block)));
    return block;
}

void release(void* block) {
    if (!block)
        return;
    threadCount.note(-static_cast<std::int64_t>(malloc_usable_size(block)));
    std::free(block);
}

} // namespace

std::uint64_t heapInUse() {
    threadCount.flush();
    return inUse.load(std::memory_order_relaxed);
}
std::uint64_t heapPeak() {
    threadCount.flush();
    return peak.load(std::memory_order_relaxed);
}
void resetHeapPeak() {
    threadCount.flush();
    peak.store(inUse.load(std::memory_order_relaxed), std::memory_order_relaxed);
}

} // namespace orvella::bench

void* operator new(std::size_t size) {
    if (void* block = orvella::bench::allocate(size))
        return block;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return ::operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return orvella::bench::allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return orvella::bench::allocate(size);
}
void operator delete(void* block) noexcept {
    orvella::bench::release(block);
}
void operator delete[](void* block) noexcept {
    orvella::bench::release(block);
}
void operator delete(void* block, std::size_t) noexcept {
    orvella::bench::release(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    orvella::bench::release(block);
}
