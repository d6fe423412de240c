// What semTake and the task layer need of the preemption lock (inside the
// kernel stand-in only).
#pragma once

// Gives up the calling task's hold on the preemption lock, however deeply
// nested, and returns the depth it had (0 when it held none).
int preemptionLockSuspend();

// Takes the lock back at the depth that preemptionLockSuspend returned,
// waiting for the present holder; nothing when the depth is 0.
void preemptionLockResume(int depth);

// Builds the lock now, so that objects built later are destroyed before it.
void preemptionLockPrepare();
