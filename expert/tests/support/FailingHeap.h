// A heap that fails on request, for tests of what the expert does when memory
// runs out. A test executable that links FailingHeap.cpp with
// -Wl,--wrap=malloc,--wrap=calloc,--wrap=realloc routes every malloc,
// calloc and realloc of its own and of the static libraries it links, and
// every operator new of the process, through it.
#pragma once

// The n-th allocation from now on made by the calling thread fails, and every
// one after it too until disarmed (n >= 1).
void failAllocationsOnThisThreadFrom(long n);

// Every allocation of every thread but the calling one fails until disarmed.
void failAllocationsOnOtherThreads();

void stopFailingAllocations();

// Whether an armed failure was reached since the last arming.
bool allocationFailureHappened();
