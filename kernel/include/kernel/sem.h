// Semaphores of the real-time kernel: mutual-exclusion semaphores that nest
// for their owner, and binary semaphores.
//
// None of these calls may be made at interrupt level (kernel/int.h) except
// semGive and semFlush of a binary semaphore; the others fail there with
// errno S_intLib_NOT_ISR_CALLABLE.
#pragma once

#include "kernel/types.h"

struct kernelSemaphore;
typedef kernelSemaphore* SEM_ID;

// Creation options.
constexpr int SEM_Q_FIFO = 0x0;
constexpr int SEM_Q_PRIORITY = 0x1;
constexpr int SEM_DELETE_SAFE = 0x4;
constexpr int SEM_INVERSION_SAFE = 0x8;

enum SEM_B_STATE { SEM_EMPTY = 0, SEM_FULL = 1 };

// A mutual-exclusion semaphore, free. Options: a queueing option, optionally
// SEM_DELETE_SAFE and SEM_INVERSION_SAFE (the latter only with
// SEM_Q_PRIORITY). Null when it cannot be created (errno
// S_semLib_INVALID_OPTION or S_memLib_NOT_ENOUGH_MEMORY).
SEM_ID semMCreate(int options);

// A binary semaphore, empty or full. Options: a queueing option only. Null
// when it cannot be created (errno as for semMCreate).
SEM_ID semBCreate(int options, SEM_B_STATE initialState);

// Takes the semaphore, waiting at most timeoutTicks (WAIT_FOREVER, NO_WAIT or
// a tick count; other negative counts wait without limit too). The owner of a
// mutual-exclusion semaphore may take it again; each take needs its give.
// A task that holds the preemption lock (taskLock) gives it up while it is
// blocked here and has it back when this returns.
// On failure returns ERROR with errno set to S_objLib_OBJ_TIMEOUT,
// S_objLib_OBJ_UNAVAILABLE (NO_WAIT), S_objLib_OBJ_DELETED (deleted while
// waiting) or S_objLib_OBJ_ID_ERROR (null semaphore).
STATUS semTake(SEM_ID sem, int timeoutTicks);

// Gives the semaphore back. Only the owner may give a mutual-exclusion
// semaphore (ERROR, S_semLib_INVALID_OPERATION otherwise). A binary semaphore
// becomes full and releases one waiting task; giving a full one changes
// nothing.
STATUS semGive(SEM_ID sem);

// Releases every task blocked on a binary semaphore at this moment; the
// semaphore stays empty. ERROR (S_semLib_INVALID_OPERATION) for a
// mutual-exclusion semaphore.
STATUS semFlush(SEM_ID sem);

// Destroys the semaphore. Tasks blocked on it return ERROR with
// S_objLib_OBJ_DELETED before the memory goes. ERROR for a null semaphore.
STATUS semDelete(SEM_ID sem);
