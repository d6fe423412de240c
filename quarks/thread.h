// Thread bodies, and the start of a body on a task of its own.
#pragma once

#include "quarks/event.h"
#include "quarks/status.h"

#include "kernel/task.h"

namespace nKRZEPH000 {

// What runs on a thread: main() is called once on the thread's own task.
class iThread {
public:
    virtual ~iThread() = default;
    virtual void main() = 0;
};

// The function a new task calls with its argument.
typedef void (*tThreadEntry)(void* argument);

// What a started task shares with its owner: the task's id, and the
// manual-reset event the task signals when its entry function has returned.
// The task touches only `done`, and only at its end.
struct tThreadRecord {
    TASK_ID taskId = 0;
    tEvent done;
};

// Task parameters of every thread.
constexpr int kThreadOptions = VX_FP_TASK;
constexpr size_t kThreadStackSize = 32768;

// Spawns a task that runs entry(argument) and then signals record.done,
// which must have been created (manual-reset). record.taskId := the spawn
// result. When the spawn fails, `done` is destroyed and -52008 recorded.
void threadSpawn(tThreadRecord& record, tThreadEntry entry, void* argument, int priority,
                 const char* name, tStatus& status);

} // namespace nKRZEPH000

// The entry function of every thread's task: calls entry(argument), then
// signals the record's `done` and returns 0. The further arguments are the
// kernel's and are not used.
int nKRZEPH200_vxWorksThreadMain(TASK_ARG entry, TASK_ARG argument, TASK_ARG record, TASK_ARG,
                                 TASK_ARG, TASK_ARG, TASK_ARG, TASK_ARG, TASK_ARG, TASK_ARG);
