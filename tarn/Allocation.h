// Checked allocation, the storage primitives of every foundation container.
// A refused allocation becomes std::bad_alloc, never a null pointer that a
// caller could forget to test.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kr::tarn {

// n bytes from the runtime heap; throws std::bad_alloc when it has none.
// A request for 0 bytes still returns a distinct block.
void* Allocate(uint32_t bytes);

// Resizes block (null allowed) to n bytes; throws std::bad_alloc on failure,
// leaving block as it was. Resizing to 0 releases block and may return null.
void* Reallocate(void* block, uint32_t bytes);

// As Reallocate, but returns null on failure (block stays valid) instead of
// throwing: for an optimistic first try of a growth.
void* TryReallocate(void* block, uint32_t bytes);

// Releases block; null is accepted and ignored.
void Deallocate(void* block);

// The heap behind the functions above. Tests replace it to make allocations
// fail on purpose; the system itself always runs on malloc, realloc and free.
struct HeapFunctions {
    void* (*allocate)(size_t bytes);
    void* (*reallocate)(void* block, size_t bytes);
    void (*release)(void* block);
};

// Installs heap and returns the functions it replaces.
HeapFunctions ReplaceHeapFunctions(const HeapFunctions& heap);

} // namespace kr::tarn
