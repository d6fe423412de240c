// The foundation library's heap for the life of the object, failing as
// AllocationFailures.h arranges: the first allowedAllocations allocations of
// the calling thread succeed, every later one fails.
#pragma once

#include "AllocationFailures.h"

#include "tarn/Allocation.h"

#include <cstdlib>

namespace kr::tarn::testing {

class FailingHeap {
public:
    explicit FailingHeap(int allowedAllocations) {
        failAllocationsOnThisThreadFrom(allowedAllocations + 1);
        m_previous = ReplaceHeapFunctions({&allocate, &reallocate, &std::free});
    }
    ~FailingHeap() {
        ReplaceHeapFunctions(m_previous);
        stopFailingAllocations();
    }
    FailingHeap(const FailingHeap&) = delete;
    FailingHeap& operator=(const FailingHeap&) = delete;

private:
    static void* allocate(size_t bytes) {
        return allocationShouldFail() ? nullptr : std::malloc(bytes);
    }
    static void* reallocate(void* block, size_t bytes) {
        return allocationShouldFail() ? nullptr : std::realloc(block, bytes);
    }

    HeapFunctions m_previous{};
};

} // namespace kr::tarn::testing
