// When allocations fail, for tests of what code does when memory runs out.
// This only decides; a heap asks it before each allocation: WrappedHeap.cpp
// for malloc and operator new of a whole program, or a library's own
// replaceable heap functions.
#pragma once

enum class Failing {
    Once,          // only the n-th allocation fails
    EveryTimeAfter // the n-th and every later one fail until disarmed
};

// The n-th allocation from now on made by the calling thread fails (n >= 1),
// once or from then on.
void failAllocationsOnThisThread(long n, Failing mode);

// The n-th allocation from now on made by the calling thread fails, and every
// one after it too until disarmed (n >= 1).
inline void failAllocationsOnThisThreadFrom(long n) {
    failAllocationsOnThisThread(n, Failing::EveryTimeAfter);
}

// Every allocation of every thread but the calling one fails until disarmed.
void failAllocationsOnOtherThreads();

void stopFailingAllocations();

// Whether an armed failure was reached since the last arming.
bool allocationFailureHappened();

// Whether the allocation about to be made fails; counts it. For heaps only.
bool allocationShouldFail();

// While one exists, the calling thread's allocations succeed: for test code
// (a handler recording what it is told) that runs inside a failing call.
class AllocationFailuresPaused {
public:
    AllocationFailuresPaused();
    ~AllocationFailuresPaused();
    AllocationFailuresPaused(const AllocationFailuresPaused&) = delete;
    AllocationFailuresPaused& operator=(const AllocationFailuresPaused&) = delete;
};
