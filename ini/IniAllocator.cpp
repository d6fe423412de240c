// The allocator seam of the INI reader: malloc, realloc and free unless a
// test installed something else.
#include "ini/IniAllocator.h"

#include <cstdlib>

namespace {

void* heapAllocate(size_t size) {
    return malloc(size);
}
void* heapReallocate(void* block, size_t size) {
    return realloc(block, size);
}
void heapRelease(void* block) {
    free(block);
}

const IniAllocator kHeapAllocator = {heapAllocate, heapReallocate, heapRelease};

IniAllocator g_iniAllocator = kHeapAllocator;

} // namespace

void IniSetAllocator(const IniAllocator* allocator) {
    g_iniAllocator = allocator ? *allocator : kHeapAllocator;
}

void* IniAllocate(size_t size) {
    return g_iniAllocator.allocate(size);
}

void* IniReallocate(void* block, size_t size) {
    return g_iniAllocator.reallocate(block, size);
}

void IniRelease(void* block) {
    if (block)
        g_iniAllocator.release(block);
}
