// Replaces the foundation library's heap for the life of the object: the
// first allowedAllocations allocations succeed, every later one fails.
#pragma once

#include "tarn/Allocation.h"

#include <cstdlib>

namespace kr::tarn::testing {

class FailingHeap {
public:
    explicit FailingHeap(int allowedAllocations) {
        s_allocationsLeft = allowedAllocations;
        m_previous = ReplaceHeapFunctions({&allocate, &reallocate, &std::free});
    }
    ~FailingHeap() { ReplaceHeapFunctions(m_previous); }
    FailingHeap(const FailingHeap&) = delete;
    FailingHeap& operator=(const FailingHeap&) = delete;

private:
    static bool mayAllocate() {
        if (s_allocationsLeft == 0) {
            return false;
        }
        --s_allocationsLeft;
        return true;
    }
    static void* allocate(size_t bytes) { return mayAllocate() ? std::malloc(bytes) : nullptr; }
    static void* reallocate(void* block, size_t bytes) {
        return mayAllocate() ? std::realloc(block, bytes) : nullptr;
    }

    static inline int s_allocationsLeft = 0;
    HeapFunctions m_previous{};
};

} // namespace kr::tarn::testing
