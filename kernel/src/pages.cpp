#include "kernel/pages.h"

#include <sys/mman.h>

void* kernelPagesAllocate(size_t bytes) {
    void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return block == MAP_FAILED ? nullptr : block;
}

void kernelPagesFree(void* block, size_t bytes) {
    if (block != nullptr) {
        munmap(block, bytes);
    }
}
