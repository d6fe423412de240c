// Where the INI reader takes its heap memory from.
//
// Every block the reader allocates, grows or frees goes through these three
// functions. By default they are malloc, realloc and free. Tests install an
// allocator that fails on purpose, to prove that a failed allocation is a
// status and leaks nothing.
#pragma once

#include <cstddef>

struct IniAllocator {
    void* (*allocate)(size_t size);
    void* (*reallocate)(void* block, size_t size);
    void (*release)(void* block);
};

// Installs the allocator for every later call of the reader; null restores
// malloc, realloc and free. Meant for tests: not to be called while another
// thread uses the reader.
void IniSetAllocator(const IniAllocator* allocator);

// The reader's own entry points to the installed allocator.
void* IniAllocate(size_t size);
void* IniReallocate(void* block, size_t size);
void IniRelease(void* block);
