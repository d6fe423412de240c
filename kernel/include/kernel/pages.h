// Blocks of whole memory pages straight from the system, for large arrays
// that live for a moment: freeing one gives its memory back at once, where
// the heap would keep it resident for the next allocation.
#pragma once

#include <cstddef>

// A zero-filled block of at least bytes bytes (bytes > 0); null when the
// system has no memory for it.
void* kernelPagesAllocate(size_t bytes);

// Gives back a block from kernelPagesAllocate of the same size; null is
// ignored.
void kernelPagesFree(void* block, size_t bytes);
