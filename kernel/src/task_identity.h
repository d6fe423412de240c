// How the task layer hands out task ids (inside the kernel stand-in only).
#pragma once

#include "kernel/task.h"

// A fresh id, never 0 and never handed out before.
TASK_ID taskIdAllocate();

// Makes `id` the calling thread's task id; a spawned task's first step.
void taskIdAssume(TASK_ID id);
