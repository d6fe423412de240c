// Tasks of the real-time kernel, over native threads.
#pragma once

#include "kernel/types.h"

#include <cstddef>
#include <cstdint>

typedef int TASK_ID;

// An argument of a task's entry function: wide enough for a pointer.
typedef intptr_t TASK_ARG;

// A task's entry function; it receives the ten arguments of taskSpawn.
typedef int (*TASK_ENTRY)(TASK_ARG, TASK_ARG, TASK_ARG, TASK_ARG, TASK_ARG, TASK_ARG, TASK_ARG,
                          TASK_ARG, TASK_ARG, TASK_ARG);

// Task options.
constexpr int VX_FP_TASK = 0x01000000; // the task may use floating point

// Starts a task that runs entry(arg1, ..., arg10) and ends when entry
// returns. The task gets a stack of at least stackSize bytes. Priorities go
// from 0 (highest) to 255; the stand-in does not schedule by them. Returns
// the new task's id, or ERROR with errno S_taskLib_ILLEGAL_PRIORITY,
// S_objLib_OBJ_ID_ERROR (null entry), S_memLib_NOT_ENOUGH_MEMORY, or
// S_intLib_NOT_ISR_CALLABLE at interrupt level. The name may be null.
TASK_ID taskSpawn(const char* name, int priority, int options, size_t stackSize, TASK_ENTRY entry,
                  TASK_ARG arg1, TASK_ARG arg2, TASK_ARG arg3, TASK_ARG arg4, TASK_ARG arg5,
                  TASK_ARG arg6, TASK_ARG arg7, TASK_ARG arg8, TASK_ARG arg9, TASK_ARG arg10);

// The calling task's id: never 0. Threads that the kernel layer did not
// spawn get an id the first time they ask.
TASK_ID taskIdSelf();

// The preemption lock. While a task holds it, no other task gets past its
// own taskLock; the lock nests, each taskLock needs its taskUnlock. A holder
// that blocks in semTake gives the lock up for as long as it is blocked and
// has it again before semTake returns, so the holder's section runs as one
// piece up to the point where it blocks. Tasks that never call taskLock are
// not held up by it (the stand-in cannot stop native threads).
// ERROR (S_intLib_NOT_ISR_CALLABLE) at interrupt level. A task that ends
// while holding the lock gives it up.
STATUS taskLock();

// Undoes one taskLock of the calling task; OK and nothing else when the
// caller holds no lock. ERROR at interrupt level.
STATUS taskUnlock();
