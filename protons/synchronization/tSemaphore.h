// tSemaphore: the platform mutex, one kernel mutual-exclusion semaphore
// taken without limit. It nests for its owner: each lock needs its unlock.
#pragma once

#include "quarks/status.h"

#include "kernel/sem.h"

namespace nKRZEPH000 {

class tSemaphore {
public:
    // Not created.
    tSemaphore() = default;
    ~tSemaphore() { destroy(); }

    tSemaphore(const tSemaphore&) = delete;
    tSemaphore& operator=(const tSemaphore&) = delete;

    // Creates the semaphore; a failure records -52000 in `status`. A
    // semaphore created before is destroyed first.
    void create(tStatus& status);

    // Takes the semaphore, waiting without limit; false when it could not
    // be taken (not created, or at interrupt level).
    bool lock();

    // Gives it back; false when the caller did not hold it.
    bool unlock();

    void destroy();

    bool isCreated() const { return semaphore != nullptr; }

private:
    SEM_ID semaphore = nullptr;
};

// Holds a tSemaphore from construction to the end of the scope, also when
// the scope is left by an exception.
class tSemaphoreLock {
public:
    explicit tSemaphoreLock(tSemaphore& semaphore) : held(semaphore), locked(semaphore.lock()) {}
    ~tSemaphoreLock() {
        if (locked) {
            held.unlock();
        }
    }

    tSemaphoreLock(const tSemaphoreLock&) = delete;
    tSemaphoreLock& operator=(const tSemaphoreLock&) = delete;

    // Whether the semaphore was taken.
    bool isLocked() const { return locked; }

private:
    tSemaphore& held;
    const bool locked;
};

} // namespace nKRZEPH000
