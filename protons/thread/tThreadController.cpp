#include "protons/thread/tThreadController.h"

namespace nKRZEPH000 {

namespace {

constexpr const char* kRecordedFile = "tThreadController";
constexpr uint32_t kLineAlreadyRunning = 56;

} // namespace

void tThreadController::start(iThread* body, int priority, const char* taskName, tStatus& status) {
    if (running) {
        status.record(kStatusThreadAlreadyRunning, kStatusComponent, kRecordedFile,
                      kLineAlreadyRunning);
        return;
    }
    if (created) {
        // The previous run was joined; its task signalled `done` and is gone.
        record.done.destroy();
        record.taskId = 0;
    }
    running = false;
    created = false;
    if (status.isFailure()) {
        return;
    }
    record.done.create(tEvent::kManualReset, status);
    if (status.isFailure()) {
        return;
    }
    threadSpawn(record, threadMain, body, priority, taskName, status);
    created = running = !status.isFailure();
}

void tThreadController::start(iThread* body, tStatus& status) {
    start(body, kDefaultPriority, kDefaultTaskName, status);
}

void tThreadController::join() {
    if (created) {
        tStatus ignored;
        record.done.wait(-1, ignored);
    }
    running = false;
}

void tThreadController::threadMain(void* body) {
    if (body == nullptr) {
        return;
    }
    try {
        static_cast<iThread*>(body)->main();
    } catch (...) {
        // Nothing above this frame could handle it; the owner's join must
        // still return.
    }
}

} // namespace nKRZEPH000
