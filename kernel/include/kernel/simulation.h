// Test seam: conditions of the controller that tests simulate. Not part of
// the kernel's interface; the system's code never includes this header.
#pragma once

// From now on the calling thread runs "at interrupt level": intContext()
// reports TRUE and the calls that are not callable there fail. false ends it.
void kernelSimulateInterruptLevel(bool atInterruptLevel);

// From now on every semGive of the calling thread is followed by a pause of
// this many microseconds, as if the task lost the processor right after the
// give, as it does on the controller when the give readies a task of higher
// priority. Native threads seldom switch there; the pause makes the window
// after a give wide enough for tests to reach. 0 ends it.
void kernelSimulatePreemptionAfterGive(unsigned microseconds);

// Makes the clock run `factor` times faster than real time (1, the default,
// is real time): a tick then lasts 1 / (sysClkRateGet() * factor) seconds.
// Tick counts and the rate stay as they are, so code that converts its
// timeouts to ticks behaves as before, only sooner. 0 counts as 1.
// The environment variable KRKERNEL_CLOCK_SPEEDUP, when set, gives the
// factor a process starts with.
void kernelSetClockSpeedup(unsigned factor);

// The current factor.
unsigned kernelClockSpeedup();

// How many tasks are blocked in semTake now, on any semaphore. Tests wait for
// another task to block here instead of sleeping a while.
unsigned kernelTasksBlockedOnSemaphores();

// How many tasks wait for the preemption lock now (in taskLock, or taking it
// back after a semTake).
unsigned kernelTasksWaitingForPreemptionLock();
