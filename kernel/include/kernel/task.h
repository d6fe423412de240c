// Tasks of the real-time kernel.
#pragma once

#include "kernel/types.h"

typedef int TASK_ID;

// The calling task's id: never 0. Threads that the kernel layer did not
// spawn get an id the first time they ask.
TASK_ID taskIdSelf();
