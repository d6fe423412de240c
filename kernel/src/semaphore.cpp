// Semaphores over one std::mutex and condition variable each.
//
// A mutual-exclusion semaphore that nobody contends is taken and given with
// one compare-and-swap on its owner word, without the guard: a lock that is
// taken around every call of a property bag must not cost two mutex rounds.
// A task that finds it held marks the word as waited for, under the guard,
// and waits as before. The owner's give then fails its swap and takes the
// guard to free the word and wake a waiter. An uncontended give touches
// nothing after its swap, so whoever takes the semaphore next may delete it
// at once; a contended one holds the guard, which a deletion takes first.
//
// A task that cannot take a semaphore at once registers as a waiter under
// the semaphore's guard before it gives up its preemption lock, and only
// then waits. A give, flush or deletion made by whoever gets the preemption
// lock next therefore always finds it registered: nothing is lost between
// "gave the lock up" and "blocked".
#include "kernel/sem.h"

#include "clock.h"
#include "fault_points.h"
#include "preemption_lock.h"
#include "simulation_points.h"

#include "kernel/int.h"
#include "kernel/simulation.h"
#include "kernel/task.h"

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <new>

enum class SemaphoreKind { mutualExclusion, binary };

struct kernelSemaphore {
    explicit kernelSemaphore(SemaphoreKind k) : kind(k) {}

    const SemaphoreKind kind;
    std::mutex guard;
    std::condition_variable released; // a give, a flush or the deletion
    std::condition_variable drained;  // the last waiter left a deleted semaphore

    // Of a mutual-exclusion semaphore: the holder's task id (0 when free),
    // with kWaitedFor set while a task may be waiting for it.
    std::atomic<uint32_t> ownerWord{0};
    int nesting = 0;   // how often the owner has taken it; the owner's alone
    bool full = false; // state of a binary semaphore
    unsigned flushes = 0;

    int waiters = 0;
    bool deleted = false;
};

namespace {

// Every task in takeBlocking, for kernelTasksBlockedOnSemaphores.
std::atomic<unsigned> g_blockedTasks{0};

constexpr int kQueueOptions = SEM_Q_FIFO | SEM_Q_PRIORITY;
constexpr int kMutexOptions = kQueueOptions | SEM_DELETE_SAFE | SEM_INVERSION_SAFE;

STATUS failWith(int error) {
    errno = error;
    return ERROR;
}

SEM_ID createFailingWith(int error) {
    errno = error;
    return nullptr;
}

bool mutexOptionsValid(int options) {
    if ((options & ~kMutexOptions) != 0) {
        return false;
    }
    return (options & SEM_INVERSION_SAFE) == 0 || (options & SEM_Q_PRIORITY) != 0;
}

constexpr uint32_t kWaitedFor = 0x80000000; // task ids stay below it
constexpr uint32_t kOwnerMask = ~kWaitedFor;

uint32_t ownerWordOf(TASK_ID self) {
    return uint32_t(self) & kOwnerMask;
}

TASK_ID ownerOf(const kernelSemaphore& sem) {
    return TASK_ID(sem.ownerWord.load(std::memory_order_relaxed) & kOwnerMask);
}

// The owner's nested take, or the take of a free mutual-exclusion semaphore
// that nobody waits for. Needs no guard: the owner word decides.
bool takeMutexAtOnce(kernelSemaphore& sem, TASK_ID self) {
    if (ownerOf(sem) == self) {
        ++sem.nesting;
        return true;
    }
    uint32_t expected = 0;
    if (!sem.ownerWord.compare_exchange_strong(
            expected, ownerWordOf(self), std::memory_order_acquire, std::memory_order_relaxed)) {
        return false;
    }
    sem.nesting = 1;
    return true;
}

// Under the guard: takes a free mutual-exclusion semaphore, keeping it
// marked when other tasks wait; otherwise marks it waited for, so that its
// owner's give comes to the guard. othersWaiting: waiters besides self.
bool takeMutexOrMark(kernelSemaphore& sem, TASK_ID self, bool othersWaiting) {
    uint32_t word = sem.ownerWord.load(std::memory_order_relaxed);
    for (;;) {
        if ((word & kOwnerMask) == 0) {
            const uint32_t taken = ownerWordOf(self) | (othersWaiting ? kWaitedFor : 0);
            if (sem.ownerWord.compare_exchange_weak(word, taken, std::memory_order_acquire,
                                                    std::memory_order_relaxed)) {
                sem.nesting = 1;
                return true;
            }
        } else if ((word & kWaitedFor) != 0 ||
                   sem.ownerWord.compare_exchange_weak(word, word | kWaitedFor,
                                                       std::memory_order_relaxed)) {
            return false;
        }
    }
}

// Under the guard: takes the semaphore if a task other than the owner could
// take it now. othersWaiting: waiters besides self.
bool takeIfAvailable(kernelSemaphore& sem, TASK_ID self, bool othersWaiting) {
    if (sem.kind == SemaphoreKind::mutualExclusion) {
        return takeMutexOrMark(sem, self, othersWaiting);
    }
    if (!sem.full) {
        return false;
    }
    sem.full = false;
    return true;
}

// Blocks until the semaphore is taken, flushed or deleted, or the ticks have
// passed. Returns 0 or the errno value of the failure.
int takeBlocking(kernelSemaphore& sem, std::unique_lock<std::mutex>& hold, TASK_ID self,
                 int timeoutTicks) {
    const unsigned flushesBefore = sem.flushes;
    ++sem.waiters;
    g_blockedTasks.fetch_add(1);
    const int lockDepth = preemptionLockSuspend();

    // Taking is part of the test: a mutual-exclusion semaphore can be taken
    // without the guard by a task that never waited.
    const auto ready = [&] {
        return sem.deleted || sem.flushes != flushesBefore ||
               takeIfAvailable(sem, self, sem.waiters > 1);
    };
    bool woken = true;
    if (timeoutTicks < 0) {
        sem.released.wait(hold, ready);
    } else {
        woken = sem.released.wait_for(hold, kernelTicksDuration(timeoutTicks), ready);
    }

    int error = 0;
    if (sem.deleted) {
        error = S_objLib_OBJ_DELETED;
    } else if (sem.flushes != flushesBefore) {
        // released by a flush; the semaphore stays as it is
    } else if (woken) {
        // taken by the test above
    } else {
        error = S_objLib_OBJ_TIMEOUT;
    }
    g_blockedTasks.fetch_sub(1);
    if (--sem.waiters == 0 && sem.deleted) {
        sem.drained.notify_all();
    }
    // The preemption lock is taken back outside the guard: its holder may be
    // about to give or flush this very semaphore.
    hold.unlock();
    preemptionLockResume(lockDepth);
    return error;
}

STATUS giveBinary(kernelSemaphore& sem) {
    std::lock_guard<std::mutex> hold(sem.guard);
    if (!sem.full) {
        sem.full = true;
        sem.released.notify_one();
    }
    return OK;
}

STATUS giveMutex(kernelSemaphore& sem) {
    if (intContext()) {
        return failWith(S_intLib_NOT_ISR_CALLABLE);
    }
    const TASK_ID self = taskIdSelf();
    if (ownerOf(sem) != self) {
        return failWith(S_semLib_INVALID_OPERATION);
    }
    if (--sem.nesting != 0) {
        return OK;
    }
    uint32_t expected = ownerWordOf(self);
    if (sem.ownerWord.compare_exchange_strong(expected, 0, std::memory_order_release,
                                              std::memory_order_relaxed)) {
        return OK; // nobody waits: the semaphore is not touched again
    }
    std::lock_guard<std::mutex> hold(sem.guard);
    sem.ownerWord.store(0, std::memory_order_release); // waiters mark it again
    sem.released.notify_one();
    return OK;
}

} // namespace

SEM_ID semMCreate(int options) {
    if (intContext()) {
        return createFailingWith(S_intLib_NOT_ISR_CALLABLE);
    }
    if (kernelFaultDue(kernelFaultPoint::semMCreate)) {
        return createFailingWith(S_memLib_NOT_ENOUGH_MEMORY);
    }
    if (!mutexOptionsValid(options)) {
        return createFailingWith(S_semLib_INVALID_OPTION);
    }
    SEM_ID sem = new (std::nothrow) kernelSemaphore(SemaphoreKind::mutualExclusion);
    return sem != nullptr ? sem : createFailingWith(S_memLib_NOT_ENOUGH_MEMORY);
}

SEM_ID semBCreate(int options, SEM_B_STATE initialState) {
    if (intContext()) {
        return createFailingWith(S_intLib_NOT_ISR_CALLABLE);
    }
    if (kernelFaultDue(kernelFaultPoint::semBCreate)) {
        return createFailingWith(S_memLib_NOT_ENOUGH_MEMORY);
    }
    if ((options & ~kQueueOptions) != 0 ||
        (initialState != SEM_EMPTY && initialState != SEM_FULL)) {
        return createFailingWith(S_semLib_INVALID_OPTION);
    }
    SEM_ID sem = new (std::nothrow) kernelSemaphore(SemaphoreKind::binary);
    if (sem == nullptr) {
        return createFailingWith(S_memLib_NOT_ENOUGH_MEMORY);
    }
    sem->full = initialState == SEM_FULL;
    return sem;
}

STATUS semTake(SEM_ID sem, int timeoutTicks) {
    if (sem == nullptr) {
        return failWith(S_objLib_OBJ_ID_ERROR);
    }
    if (intContext()) {
        return failWith(S_intLib_NOT_ISR_CALLABLE);
    }
    const TASK_ID self = taskIdSelf();
    if (sem->kind == SemaphoreKind::mutualExclusion && takeMutexAtOnce(*sem, self)) {
        return OK;
    }
    std::unique_lock<std::mutex> hold(sem->guard);
    if (takeIfAvailable(*sem, self, sem->waiters > 0)) {
        return OK;
    }
    if (timeoutTicks == NO_WAIT) {
        return failWith(S_objLib_OBJ_UNAVAILABLE);
    }
    const int error = takeBlocking(*sem, hold, self, timeoutTicks);
    return error == 0 ? OK : failWith(error);
}

STATUS semGive(SEM_ID sem) {
    if (sem == nullptr) {
        return failWith(S_objLib_OBJ_ID_ERROR);
    }
    const STATUS result = sem->kind == SemaphoreKind::binary ? giveBinary(*sem) : giveMutex(*sem);
    kernelPauseAfterGive();
    return result;
}

STATUS semFlush(SEM_ID sem) {
    if (sem == nullptr) {
        return failWith(S_objLib_OBJ_ID_ERROR);
    }
    if (sem->kind != SemaphoreKind::binary) {
        return failWith(S_semLib_INVALID_OPERATION);
    }
    std::lock_guard<std::mutex> hold(sem->guard);
    ++sem->flushes;
    sem->released.notify_all();
    return OK;
}

STATUS semDelete(SEM_ID sem) {
    if (sem == nullptr) {
        return failWith(S_objLib_OBJ_ID_ERROR);
    }
    if (intContext()) {
        return failWith(S_intLib_NOT_ISR_CALLABLE);
    }
    {
        std::unique_lock<std::mutex> hold(sem->guard);
        sem->deleted = true;
        sem->released.notify_all();
        sem->drained.wait(hold, [sem] { return sem->waiters == 0; });
    }
    delete sem;
    return OK;
}

unsigned kernelTasksBlockedOnSemaphores() {
    return g_blockedTasks.load();
}
