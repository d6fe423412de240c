// Semaphores of the real-time kernel: mutual-exclusion semaphores that nest
// for their owner, and binary semaphores.
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

// A mutual-exclusion semaphore; null when it cannot be created.
SEM_ID semMCreate(int options);

// Takes the semaphore, waiting at most timeoutTicks (WAIT_FOREVER, NO_WAIT or
// a tick count). The owner of a mutual-exclusion semaphore may take it again;
// each take needs its give. On failure returns ERROR with errno set to
// S_objLib_OBJ_TIMEOUT, S_objLib_OBJ_UNAVAILABLE (NO_WAIT) or
// S_objLib_OBJ_ID_ERROR (null semaphore).
STATUS semTake(SEM_ID sem, int timeoutTicks);

// Gives the semaphore back. Only the owner may give a mutual-exclusion
// semaphore (ERROR otherwise).
STATUS semGive(SEM_ID sem);

// Destroys the semaphore. ERROR for a null semaphore.
STATUS semDelete(SEM_ID sem);
