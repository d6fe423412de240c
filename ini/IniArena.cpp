#include "ini/IniArena.h"

#include "ini/IniAllocator.h"

#include <cstdint>
#include <cstring>

struct IniArenaBlock {
    IniArenaBlock* next;
};

namespace {

constexpr size_t kAlignment = alignof(void*) > alignof(double) ? alignof(void*) : alignof(double);
constexpr size_t kHeaderSize = (sizeof(IniArenaBlock) + kAlignment - 1) / kAlignment * kAlignment;
constexpr size_t kBlockSize = 64 * 1024;
// Larger requests get a block of their own, so that a long value does not
// waste the rest of a shared block.
constexpr size_t kLargestShared = kBlockSize / 4;

// A new block with room for size bytes after its header, linked in first.
char* newBlock(IniArena* arena, size_t size) {
    if (size > SIZE_MAX - kHeaderSize)
        return nullptr;
    auto* block = static_cast<IniArenaBlock*>(IniAllocate(kHeaderSize + size));
    if (!block)
        return nullptr;
    block->next = arena->blocks;
    arena->blocks = block;
    return reinterpret_cast<char*>(block) + kHeaderSize;
}

} // namespace

void IniArenaInit(IniArena* arena) {
    arena->blocks = nullptr;
    arena->next = nullptr;
    arena->left = 0;
}

void* IniArenaAllocate(IniArena* arena, size_t size) {
    if (size > SIZE_MAX - kAlignment)
        return nullptr;
    size = (size + kAlignment - 1) / kAlignment * kAlignment;
    if (size > kLargestShared)
        return newBlock(arena, size); // the shared block keeps its free space

    if (size > arena->left) {
        char* space = newBlock(arena, kBlockSize);
        if (!space)
            return nullptr;
        arena->next = space;
        arena->left = kBlockSize;
    }
    void* result = arena->next;
    arena->next += size;
    arena->left -= size;
    return result;
}

char* IniArenaCopyText(IniArena* arena, const char* text, size_t length) {
    if (length == SIZE_MAX)
        return nullptr;
    char* copy = static_cast<char*>(IniArenaAllocate(arena, length + 1));
    if (!copy)
        return nullptr;
    memcpy(copy, text, length);
    copy[length] = '\0';
    return copy;
}

void IniArenaFree(IniArena* arena) {
    IniArenaBlock* block = arena->blocks;
    while (block) {
        IniArenaBlock* next = block->next;
        IniRelease(block);
        block = next;
    }
    IniArenaInit(arena);
}
