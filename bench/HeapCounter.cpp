// The program's own operator new and delete: each block carries its size in a header in front of
// it, so deletion knows what to count off. The header keeps the alignment malloc gives.
#include "bench/HeapCounter.h"

#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

constexpr size_t kHeader = alignof(std::max_align_t) > sizeof(size_t) ? alignof(std::max_align_t) : sizeof(size_t);

size_t g_inUse = 0;
size_t g_peak = 0;

void* Allocate(size_t size) {
    void* block = std::malloc(size + kHeader);
    if (!block) return nullptr;
    *static_cast<size_t*>(block) = size;
    g_inUse += size;
    if (g_inUse > g_peak) g_peak = g_inUse;
    return static_cast<char*>(block) + kHeader;
}

void Release(void* pointer) {
    if (!pointer) return;
    void* block = static_cast<char*>(pointer) - kHeader;
    g_inUse -= *static_cast<size_t*>(block);
    std::free(block);
}

void* AllocateOrThrow(size_t size) {
    void* pointer = Allocate(size);
    if (!pointer) throw std::bad_alloc();
    return pointer;
}

}  // namespace

namespace bench {

size_t HeapInUse() { return g_inUse; }
size_t HeapPeak() { return g_peak; }
void ResetHeapPeak() { g_peak = g_inUse; }

}  // namespace bench

void* operator new(size_t size) { return AllocateOrThrow(size); }
void* operator new[](size_t size) { return AllocateOrThrow(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* pointer) noexcept { Release(pointer); }
void operator delete[](void* pointer) noexcept { Release(pointer); }
void operator delete(void* pointer, size_t) noexcept { Release(pointer); }
void operator delete[](void* pointer, size_t) noexcept { Release(pointer); }
void operator delete(void* pointer, const std::nothrow_t&) noexcept { Release(pointer); }
void operator delete[](void* pointer, const std::nothrow_t&) noexcept { Release(pointer); }
