// Semaphores over one std::mutex and condition variable each.
#include "kernel/sem.h"
#include "kernel/task.h"

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>

struct kernelSemaphore {
    std::mutex guard;
    std::condition_variable released;
    TASK_ID owner = 0; // holder of a mutual-exclusion semaphore
    int nesting = 0;   // how often the owner has taken it
};

SEM_ID semMCreate(int /*options*/) {
    return new (std::nothrow) kernelSemaphore;
}

STATUS semTake(SEM_ID sem, int timeoutTicks) {
    if (sem == nullptr) {
        errno = S_objLib_OBJ_ID_ERROR;
        return ERROR;
    }
    const TASK_ID self = taskIdSelf();
    std::unique_lock<std::mutex> hold(sem->guard);
    if (sem->owner == self) {
        ++sem->nesting;
        return OK;
    }
    if (sem->owner != 0 && timeoutTicks == NO_WAIT) {
        errno = S_objLib_OBJ_UNAVAILABLE;
        return ERROR;
    }
    sem->released.wait(hold, [sem] { return sem->owner == 0; });
    sem->owner = self;
    sem->nesting = 1;
    return OK;
}

STATUS semGive(SEM_ID sem) {
    if (sem == nullptr) {
        errno = S_objLib_OBJ_ID_ERROR;
        return ERROR;
    }
    std::lock_guard<std::mutex> hold(sem->guard);
    if (sem->owner != taskIdSelf()) {
        return ERROR;
    }
    if (--sem->nesting == 0) {
        sem->owner = 0;
        sem->released.notify_one();
    }
    return OK;
}

STATUS semDelete(SEM_ID sem) {
    if (sem == nullptr) {
        errno = S_objLib_OBJ_ID_ERROR;
        return ERROR;
    }
    delete sem;
    return OK;
}
