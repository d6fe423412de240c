// Resizable heap block with zero-filled growth.
#include "ini/MemBlock.h"

#include "ini/IniAllocator.h"
#include "ini/IniStatus.h"

#include <cstring>

void MemBlockInit(MemBlock* block) {
    block->data = nullptr;
    block->size = 0;
}

int32_t MemBlockResize(MemBlock* block, size_t size) {
    if (size == 0) {
        MemBlockFree(block);
        return kIniStatusOk;
    }
    void* data = IniReallocate(block->data, size);
    if (!data)
        return kIniStatusNoMemory;
    if (size > block->size)
        memset(static_cast<char*>(data) + block->size, 0, size - block->size);
    block->data = data;
    block->size = size;
    return kIniStatusOk;
}

void MemBlockFree(MemBlock* block) {
    IniRelease(block->data);
    MemBlockInit(block);
}
