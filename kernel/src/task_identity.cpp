#include "kernel/task.h"

#include <atomic>

namespace {

std::atomic<TASK_ID> nextTaskId{1};

} // namespace

TASK_ID taskIdSelf() {
    thread_local const TASK_ID self = nextTaskId.fetch_add(1, std::memory_order_relaxed);
    return self;
}
