// malloc, calloc, realloc and operator new of a whole test program, failing
// as AllocationFailures.h arranges. The program links this with
// -Wl,--wrap=malloc,--wrap=calloc,--wrap=realloc (the kr_test_wrapped_heap
// target brings both), which routes every malloc, calloc and realloc of its
// own and of the static libraries it links here; operator new is replaced
// for the whole process.
#include "AllocationFailures.h"

#include <cstddef>
#include <cstdlib>
#include <new>

extern "C" void* __real_malloc(size_t size);
extern "C" void* __real_calloc(size_t count, size_t size);
extern "C" void* __real_realloc(void* block, size_t size);

namespace {

void* allocate(size_t size) {
    if (allocationShouldFail()) {
        return nullptr;
    }
    return __real_malloc(size == 0 ? 1 : size);
}

} // namespace

extern "C" void* __wrap_malloc(size_t size) {
    return allocationShouldFail() ? nullptr : __real_malloc(size);
}

extern "C" void* __wrap_calloc(size_t count, size_t size) {
    return allocationShouldFail() ? nullptr : __real_calloc(count, size);
}

extern "C" void* __wrap_realloc(void* block, size_t size) {
    return allocationShouldFail() ? nullptr : __real_realloc(block, size);
}

void* operator new(size_t size) {
    void* block = allocate(size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    return block;
}

void* operator new[](size_t size) {
    return operator new(size);
}

void* operator new(size_t size, const std::nothrow_t&) noexcept {
    return allocate(size);
}

void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    return allocate(size);
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete[](void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, size_t) noexcept {
    std::free(block);
}

void operator delete[](void* block, size_t) noexcept {
    std::free(block);
}

void operator delete(void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}

void operator delete[](void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
