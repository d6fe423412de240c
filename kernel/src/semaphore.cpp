// Semaphores over one std::mutex and condition variable each.
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
#include <mutex>
#include <new>

enum class SemaphoreKind { mutualExclusion, binary };

struct kernelSemaphore {
    explicit kernelSemaphore(SemaphoreKind k) : kind(k) {}

    const SemaphoreKind kind;
    std::mutex guard;
    std::condition_variable released; // a give, a flush or the deletion
    std::condition_variable drained;  // the last waiter left a deleted semaphore

    TASK_ID owner = 0; // holder of a mutual-exclusion semaphore
    int nesting = 0;   // how often the owner has taken it
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

// Whether a task other than the owner could take the semaphore now.
bool available(const kernelSemaphore& sem) {
    return sem.kind == SemaphoreKind::binary ? sem.full : sem.owner == 0;
}

void take(kernelSemaphore& sem, TASK_ID self) {
    if (sem.kind == SemaphoreKind::binary) {
        sem.full = false;
    } else {
        sem.owner = self;
        sem.nesting = 1;
    }
}

bool takeAtOnce(kernelSemaphore& sem, TASK_ID self) {
    if (sem.kind == SemaphoreKind::mutualExclusion && sem.owner == self) {
        ++sem.nesting;
        return true;
    }
    if (!available(sem)) {
        return false;
    }
    take(sem, self);
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

    const auto ready = [&] {
        return sem.deleted || sem.flushes != flushesBefore || available(sem);
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
        take(sem, self);
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
    std::lock_guard<std::mutex> hold(sem.guard);
    if (sem.owner != self) {
        return failWith(S_semLib_INVALID_OPERATION);
    }
    if (--sem.nesting == 0) {
        sem.owner = 0;
        sem.released.notify_one();
    }
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
    std::unique_lock<std::mutex> hold(sem->guard);
    if (takeAtOnce(*sem, self)) {
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
