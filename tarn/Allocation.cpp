#include "tarn/Allocation.h"

#include <cstdlib>
#include <new>

namespace kr::tarn {

namespace {

HeapFunctions g_heap = {std::malloc, std::realloc, std::free};

} // namespace

void* Allocate(uint32_t bytes) {
    // malloc(0) may legitimately return null; ask for one byte so that only
    // a real refusal reads as one.
    void* block = g_heap.allocate(bytes == 0 ? 1 : bytes);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    return block;
}

void* Reallocate(void* block, uint32_t bytes) {
    void* resized = g_heap.reallocate(block, bytes);
    if (resized == nullptr && bytes != 0) {
        throw std::bad_alloc();
    }
    return resized;
}

void* TryReallocate(void* block, uint32_t bytes) {
    return g_heap.reallocate(block, bytes);
}

void Deallocate(void* block) {
    if (block != nullptr) {
        g_heap.release(block);
    }
}

HeapFunctions ReplaceHeapFunctions(const HeapFunctions& heap) {
    const HeapFunctions previous = g_heap;
    g_heap = heap;
    return previous;
}

} // namespace kr::tarn
