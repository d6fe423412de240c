#include "task_identity.h"

#include <atomic>

namespace {

std::atomic<TASK_ID> nextTaskId{1};

thread_local TASK_ID currentTaskId = 0;

} // namespace

TASK_ID taskIdAllocate() {
    return nextTaskId.fetch_add(1, std::memory_order_relaxed);
}

void taskIdAssume(TASK_ID id) {
    currentTaskId = id;
}

TASK_ID taskIdSelf() {
    if (currentTaskId == 0) {
        currentTaskId = taskIdAllocate();
    }
    return currentTaskId;
}
