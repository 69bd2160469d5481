// Replaces the global allocation functions of the test program by counting
// ones; the blocks themselves still come from malloc, so the sanitizers keep
// seeing every allocation.
#include "allocation_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> gLive{0};

void* Allocate(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) throw std::bad_alloc();
    ++gLive;
    return block;
}

void Release(void* block) noexcept {
    if (block == nullptr) return;
    --gLive;
    std::free(block);
}
} // namespace

long LiveAllocations() { return gLive.load(); }

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, std::size_t) noexcept { Release(block); }
void operator delete[](void* block, std::size_t) noexcept { Release(block); }
