// The manual-reset kind keeps its state in `signalled`, guarded by `mutex`,
// and lets waiters block on `semaphore`, which a signal flushes. A waiter
// that finds the flag clear must be blocked on the semaphore before the
// signaller can flush it, or it would sleep through the only signal. Both
// sides therefore hold the preemption lock: the waiter from before it gives
// the mutex back until it blocks (the kernel hands the lock on only once it
// is blocked), the signaller around setting the flag and flushing. The flush
// always finds every waiter that saw the flag clear blocked, and a waiter
// that comes later sees the flag set.
#include "quarks/event.h"

#include "quarks/clockTicks.h"

#include "kernel/task.h"

#include <cerrno>

namespace nKRZEPH000 {

namespace {

constexpr const char* kRecordedFile = "quarks/synchronization";
constexpr uint32_t kLineAutoResetNotCreated = 1660;
constexpr uint32_t kLineSemaphoreNotCreated = 1667;
constexpr uint32_t kLineMutexNotCreated = 1674;
constexpr uint32_t kLineAutoResetTimedOut = 2057;
constexpr uint32_t kLineAutoResetFailed = 2062;
constexpr uint32_t kLineManualResetTimedOut = 2116;
constexpr uint32_t kLineManualResetFailed = 2121;
constexpr uint32_t kLineNoPreemptionLock = 2129;

constexpr int kEventSemaphoreOptions = SEM_Q_PRIORITY;
constexpr int kEventMutexOptions = SEM_Q_PRIORITY | SEM_INVERSION_SAFE;

void recordFailure(tStatus& status, int32_t code, uint32_t line) {
    status.record(code, kStatusComponent, kRecordedFile, line);
}

bool timedOut(int error, int32_t timeoutMs) {
    return error == S_objLib_OBJ_TIMEOUT || (error == S_objLib_OBJ_UNAVAILABLE && timeoutMs == 0);
}

void deleteSemaphore(SEM_ID& sem) {
    if (sem != nullptr) {
        semDelete(sem);
        sem = nullptr;
    }
}

} // namespace

void tEvent::create(tKind kind, tStatus& status) {
    destroy();
    if (status.isFailure()) {
        return;
    }
    semaphore = semBCreate(kEventSemaphoreOptions, SEM_EMPTY);
    if (semaphore == nullptr) {
        recordFailure(status, kStatusKernelObjectNotCreated,
                      kind == kAutoReset ? kLineAutoResetNotCreated : kLineSemaphoreNotCreated);
        return;
    }
    if (kind == kAutoReset) {
        return;
    }
    mutex = semMCreate(kEventMutexOptions);
    if (mutex == nullptr) {
        recordFailure(status, kStatusKernelObjectNotCreated, kLineMutexNotCreated);
        deleteSemaphore(semaphore);
    }
}

void tEvent::signal() {
    if (mutex == nullptr) {
        semGive(semaphore);
        return;
    }
    const bool preemptionLocked = taskLock() == OK;
    const bool mutexHeld = semTake(mutex, WAIT_FOREVER) == OK;
    signalled = true;
    semFlush(semaphore);
    if (mutexHeld) {
        semGive(mutex);
    }
    if (preemptionLocked) {
        taskUnlock();
    }
}

bool tEvent::wait(int32_t timeoutMs, tStatus& status) {
    if (status.isFailure()) {
        return false;
    }
    return mutex == nullptr ? waitAutoReset(timeoutMs, status) : waitManualReset(timeoutMs, status);
}

bool tEvent::waitAutoReset(int32_t timeoutMs, tStatus& status) {
    if (semTake(semaphore, timeoutToTicks(timeoutMs)) == OK) {
        return true;
    }
    const int error = errno;
    if (timedOut(error, timeoutMs)) {
        recordFailure(status, kStatusWaitTimedOut, kLineAutoResetTimedOut);
    } else {
        recordFailure(status, kStatusWaitFailed, kLineAutoResetFailed);
    }
    return false;
}

bool tEvent::waitManualReset(int32_t timeoutMs, tStatus& status) {
    // The mutex is taken without limit, which fails only where taskLock
    // fails too (at interrupt level); that failure is reported below.
    const bool mutexHeld = semTake(mutex, WAIT_FOREVER) == OK;
    const auto giveMutex = [this, mutexHeld] {
        if (mutexHeld) {
            semGive(mutex);
        }
    };
    if (signalled) {
        giveMutex();
        return true;
    }
    if (timeoutMs == 0) {
        giveMutex();
        return false;
    }
    if (taskLock() != OK) {
        giveMutex();
        recordFailure(status, kStatusWaitFailed, kLineNoPreemptionLock);
        return false;
    }
    const int ticks = timeoutToTicks(timeoutMs);
    giveMutex();
    const STATUS taken = semTake(semaphore, ticks);
    const int error = errno;
    taskUnlock();
    if (taken == OK) {
        return true;
    }
    if (timedOut(error, timeoutMs)) {
        recordFailure(status, kStatusWaitTimedOut, kLineManualResetTimedOut);
    } else {
        recordFailure(status, kStatusWaitFailed, kLineManualResetFailed);
    }
    return false;
}

void tEvent::destroy() {
    deleteSemaphore(semaphore);
    deleteSemaphore(mutex);
    signalled = false;
}

} // namespace nKRZEPH000
