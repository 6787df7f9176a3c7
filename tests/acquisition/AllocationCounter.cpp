#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace {
thread_local long allocationCount = 0;
}

void* operator new(std::size_t size) {
    ++allocationCount;
    if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    ++allocationCount;
    return std::malloc(size == 0 ? 1 : size);
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }

namespace kvt::test {

long allocationsOnThisThread() { return allocationCount; }

}  // namespace kvt::test
