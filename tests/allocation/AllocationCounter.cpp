#include "AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

thread_local long allocationsByThisThread = 0;
thread_local bool threadCounted = false;
std::atomic<long> sharedCount{0};

void noteAllocation() {
    ++allocationsByThisThread;
    if (threadCounted) sharedCount.fetch_add(1, std::memory_order_relaxed);
}

void* allocate(std::size_t size) {
    noteAllocation();
    if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}

void* allocateAligned(std::size_t size, std::align_val_t alignment) {
    noteAllocation();
    std::size_t align = static_cast<std::size_t>(alignment);
    if (void* block = std::aligned_alloc(align, (size + align - 1) / align * align)) return block;
    throw std::bad_alloc();
}

void* allocateOrNull(std::size_t size) noexcept {
    noteAllocation();
    return std::malloc(size == 0 ? 1 : size);
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocateOrNull(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return allocateOrNull(size);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    return allocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return allocateAligned(size, alignment);
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete(void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept { std::free(block); }

namespace kvt::test {

long allocationsOnThisThread() { return allocationsByThisThread; }
void countAllocationsOnThisThread(bool counted) { threadCounted = counted; }
long countedAllocations() { return sharedCount.load(std::memory_order_relaxed); }
void resetCountedAllocations() { sharedCount.store(0, std::memory_order_relaxed); }

}  // namespace kvt::test
