// The preemption lock: one process-wide owner with a nesting depth.
//
// On the controller, taskLock stops the scheduler from switching to another
// task until taskUnlock, except when the holder blocks: then other tasks run,
// and the holder's lock is in force again as soon as it runs again. The
// stand-in cannot stop native threads, so it models what callers rely on:
// a second task's taskLock waits while the lock is held, and semTake gives
// the lock up only once the caller is registered as blocked on the
// semaphore (preemptionLockSuspend), taking it back after it wakes
// (preemptionLockResume). A section between taskLock and a blocking semTake
// therefore runs as one piece with respect to every other locked section.
#include "preemption_lock.h"

#include "kernel/int.h"
#include "kernel/simulation.h"
#include "kernel/task.h"

#include <cerrno>
#include <condition_variable>
#include <mutex>

namespace {

struct PreemptionLock {
    std::mutex guard;
    std::condition_variable freed;
    TASK_ID holder = 0; // 0 when free
    int depth = 0;
    unsigned waiting = 0; // tasks in acquire that found it held
};

// Built before the task registry (see preemptionLockPrepare), so it is
// destroyed after the registry has joined every task that might use it.
PreemptionLock& preemption() {
    static PreemptionLock lock;
    return lock;
}

void acquire(PreemptionLock& lock, TASK_ID self, int depth) {
    std::unique_lock<std::mutex> hold(lock.guard);
    if (lock.holder != 0) {
        ++lock.waiting;
        lock.freed.wait(hold, [&lock] { return lock.holder == 0; });
        --lock.waiting;
    }
    lock.holder = self;
    lock.depth = depth;
}

} // namespace

STATUS taskLock() {
    if (intContext()) {
        errno = S_intLib_NOT_ISR_CALLABLE;
        return ERROR;
    }
    PreemptionLock& lock = preemption();
    const TASK_ID self = taskIdSelf();
    {
        std::lock_guard<std::mutex> hold(lock.guard);
        if (lock.holder == self) {
            ++lock.depth;
            return OK;
        }
    }
    acquire(lock, self, 1);
    return OK;
}

STATUS taskUnlock() {
    if (intContext()) {
        errno = S_intLib_NOT_ISR_CALLABLE;
        return ERROR;
    }
    PreemptionLock& lock = preemption();
    std::lock_guard<std::mutex> hold(lock.guard);
    if (lock.holder == taskIdSelf() && --lock.depth == 0) {
        lock.holder = 0;
        lock.freed.notify_one();
    }
    return OK;
}

int preemptionLockSuspend() {
    PreemptionLock& lock = preemption();
    std::lock_guard<std::mutex> hold(lock.guard);
    if (lock.holder != taskIdSelf()) {
        return 0;
    }
    const int depth = lock.depth;
    lock.holder = 0;
    lock.depth = 0;
    lock.freed.notify_one();
    return depth;
}

void preemptionLockResume(int depth) {
    if (depth > 0) {
        acquire(preemption(), taskIdSelf(), depth);
    }
}

void preemptionLockPrepare() {
    preemption();
}

unsigned kernelTasksWaitingForPreemptionLock() {
    PreemptionLock& lock = preemption();
    std::lock_guard<std::mutex> hold(lock.guard);
    return lock.waiting;
}
