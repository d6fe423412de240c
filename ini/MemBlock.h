// A block of heap memory that knows its size.
#pragma once

#include <cstddef>
#include <cstdint>

struct MemBlock {
    void* data;  // null while the block is empty
    size_t size; // in bytes
};

// Makes the block empty without freeing anything.
void MemBlockInit(MemBlock* block);

// Resizes the block to size bytes. The contents are kept up to the smaller of
// the two sizes and the bytes added are zero. Size 0 frees the memory.
// Returns 0, or -12 when memory is short; the block is then unchanged.
int32_t MemBlockResize(MemBlock* block, size_t size);

// Frees the memory and leaves the block empty.
void MemBlockFree(MemBlock* block);
