#include "FailingHeap.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

extern "C" void* __real_malloc(size_t size);
extern "C" void* __real_calloc(size_t count, size_t size);
extern "C" void* __real_realloc(void* block, size_t size);

namespace {

thread_local long countdownOnThisThread = 0; // 0: this thread is not armed
thread_local Failing modeOnThisThread = Failing::EveryTimeAfter;
thread_local int pausedOnThisThread = 0;
thread_local bool exemptThread = false;
std::atomic<bool> failOtherThreads{false};
std::atomic<bool> failed{false};

bool shouldFail() {
    if (pausedOnThisThread > 0) {
        return false;
    }
    if (countdownOnThisThread > 0) {
        if (countdownOnThisThread == 1) {
            failed = true;
            if (modeOnThisThread == Failing::Once) {
                countdownOnThisThread = 0;
            }
            return true; // otherwise stays at 1: every later allocation fails too
        }
        --countdownOnThisThread;
        return false;
    }
    if (failOtherThreads.load(std::memory_order_relaxed) && !exemptThread) {
        failed = true;
        return true;
    }
    return false;
}

void* allocate(size_t size) {
    if (shouldFail()) {
        return nullptr;
    }
    return __real_malloc(size == 0 ? 1 : size);
}

} // namespace

void failAllocationsOnThisThread(long n, Failing mode) {
    failed = false;
    modeOnThisThread = mode;
    countdownOnThisThread = n;
}

AllocationFailuresPaused::AllocationFailuresPaused() {
    ++pausedOnThisThread;
}

AllocationFailuresPaused::~AllocationFailuresPaused() {
    --pausedOnThisThread;
}

void failAllocationsOnOtherThreads() {
    failed = false;
    exemptThread = true;
    failOtherThreads = true;
}

void stopFailingAllocations() {
    countdownOnThisThread = 0;
    failOtherThreads = false;
    exemptThread = false;
}

bool allocationFailureHappened() {
    return failed;
}

extern "C" void* __wrap_malloc(size_t size) {
    return shouldFail() ? nullptr : __real_malloc(size);
}

extern "C" void* __wrap_calloc(size_t count, size_t size) {
    return shouldFail() ? nullptr : __real_calloc(count, size);
}

extern "C" void* __wrap_realloc(void* block, size_t size) {
    return shouldFail() ? nullptr : __real_realloc(block, size);
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
