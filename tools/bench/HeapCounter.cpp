#include "HeapCounter.h"

#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>

namespace orvella::bench {

namespace {

std::atomic<std::uint64_t> inUse{0};
std::atomic<std::uint64_t> peak{0};

void* allocate(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (!block)
        return nullptr;
    const std::uint64_t now =
        inUse.fetch_add(malloc_usable_size(block), std::memory_order_relaxed) + malloc_usable_size(block);
    std::uint64_t seen = peak.load(std::memory_order_relaxed);
    while (now > seen && !peak.compare_exchange_weak(seen, now, std::memory_order_relaxed)) {
    }
    return block;
}

void release(void* block) {
    if (!block)
        return;
    inUse.fetch_sub(malloc_usable_size(block), std::memory_order_relaxed);
    std::free(block);
}

} // namespace

std::uint64_t heapInUse() {
    return inUse.load(std::memory_order_relaxed);
}
std::uint64_t heapPeak() {
    return peak.load(std::memory_order_relaxed);
}
void resetHeapPeak() {
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
