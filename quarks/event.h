// tEvent: an event over kernel semaphores, in two kinds.
//
//   auto-reset:   each signal lets one wait through; a signal that finds no
//                 waiter stays pending until a wait consumes it, and a second
//                 one before that adds nothing.
//   manual-reset: the first signal lets every present and later wait through
//                 until the event is destroyed.
#pragma once

#include "quarks/status.h"

#include "kernel/sem.h"

#include <cstdint>

namespace nKRZEPH000 {

class tEvent {
public:
    enum tKind { kAutoReset, kManualReset };

    // Not created: both semaphores null, not signalled.
    tEvent() = default;
    ~tEvent() { destroy(); }

    tEvent(const tEvent&) = delete;
    tEvent& operator=(const tEvent&) = delete;

    // Creates the kernel objects, unless `status` already holds a failure.
    // A failure is recorded in `status` (-52008) and leaves both semaphores
    // null. An event created before is destroyed first.
    void create(tKind kind, tStatus& status);

    // Signals the event (see the kinds above).
    void signal();

    // Waits at most timeoutMs milliseconds (-1 without limit, 0 only tests);
    // true when the event was obtained. A timeout records -52007, any other
    // failure -52015, except that a test (0) of an unsignalled manual-reset
    // event records nothing. With a failure already in `status` it returns
    // false at once.
    bool wait(int32_t timeoutMs, tStatus& status);

    // Deletes the semaphores that exist; afterwards as after construction.
    void destroy();

    bool isCreated() const { return semaphore != nullptr; }
    bool isManualReset() const { return mutex != nullptr; }

private:
    bool waitAutoReset(int32_t timeoutMs, tStatus& status);
    bool waitManualReset(int32_t timeoutMs, tStatus& status);

    SEM_ID semaphore = nullptr; // binary; waiters block on it
    SEM_ID mutex = nullptr;     // guards `signalled`; null in the auto-reset kind
    bool signalled = false;     // manual-reset kind: set once, for good
};

} // namespace nKRZEPH000
