// Test seam: makes chosen kernel calls fail on purpose, so that the callers'
// creation-failure paths can be exercised. Not part of the kernel's
// interface; the system's code never includes this header.
//
//     kernelFailNthCall(kernelFaultPoint::semBCreate, 2); // the second one from now fails
//     ...
//     kernelClearFaults();
#pragma once

enum class kernelFaultPoint { semMCreate, semBCreate, taskSpawn };

// The n-th call of `point` from now on fails, as the kernel fails it when it
// runs out of memory: semMCreate and semBCreate return null, taskSpawn
// returns ERROR, errno is S_memLib_NOT_ENOUGH_MEMORY. n = 1 is the next call;
// n <= 0 disarms the point. One fault per point is armed at a time.
void kernelFailNthCall(kernelFaultPoint point, int n);

// Whether the failure armed at point is still to come (false once it has
// happened, or when nothing is armed there).
bool kernelFaultArmed(kernelFaultPoint point);

// Disarms every point.
void kernelClearFaults();
