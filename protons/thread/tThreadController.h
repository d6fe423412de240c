// tThreadController: runs one thread body on a task of its own and lets its
// owner wait until the body has returned.
//
//   state    created  running  entered by              left by
//   idle     false    false    construction, failure   start
//   running  true     true     successful start        join
//   joined   true     false    join                    start, destructor
//
// start, join and the destructor run on the owner's task. The owner joins
// before it destroys the controller: the task signals `done` at its end.
#pragma once

#include "quarks/status.h"
#include "quarks/thread.h"

namespace nKRZEPH000 {

class tThreadController {
public:
    static constexpr int kDefaultPriority = 100;
    static constexpr const char* kDefaultTaskName = "krvyrexSysapiExpert";

    tThreadController() = default;
    // Releases the completion event's semaphores; neither stops nor joins.
    virtual ~tThreadController() = default;

    tThreadController(const tThreadController&) = delete;
    tThreadController& operator=(const tThreadController&) = delete;

    // Starts body->main() on a new task. While running, records -52016 and
    // leaves the running task alone. Does nothing more when `status` already
    // holds a failure; creation and spawn failures are recorded in it
    // (-52008) and leave the controller idle.
    void start(iThread* body, int priority, const char* taskName, tStatus& status);
    void start(iThread* body, tStatus& status);

    // Waits without limit until the body started last has returned; at once
    // when nothing was started, or the body has returned already.
    void join();

    // The task's work: body->main(). An exception the body lets escape ends
    // the body; the task still reports that it is done.
    static void threadMain(void* body);

    bool isRunning() const { return running; }
    bool isCreated() const { return created; }
    // 0 before the first start, ERROR after a failed spawn.
    TASK_ID taskId() const { return record.taskId; }

private:
    tThreadRecord record; // taskId and done
    bool running = false;
    bool created = false;
};

} // namespace nKRZEPH000
