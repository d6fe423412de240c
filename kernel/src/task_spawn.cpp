// Tasks as native threads. Nobody waits for a task: it ends when its entry
// function returns. Its thread is joined by the registry afterwards, so that
// no thread still runs this layer's code when it is unloaded.
#include "kernel/task.h"

#include "fault_points.h"
#include "preemption_lock.h"
#include "task_identity.h"
#include "task_registry.h"

#include "kernel/int.h"

#include <pthread.h>

#include <cerrno>
#include <climits>
#include <new>

namespace {

constexpr int kLowestPriority = 255;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define KERNEL_SANITIZED_BUILD 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define KERNEL_SANITIZED_BUILD 1
#endif
#endif

// The controller's stack sizes are tight; native code in a debug build, and
// still more under a sanitizer, needs more than the controller would.
#ifdef KERNEL_SANITIZED_BUILD
constexpr size_t kSmallestStack = 256 * 1024;
#else
constexpr size_t kSmallestStack = 64 * 1024;
#endif

struct TaskStart {
    TASK_ID id;
    TASK_ENTRY entry;
    TASK_ARG args[10];
};

size_t nativeStackSize(size_t requested) {
    size_t size = requested < kSmallestStack ? kSmallestStack : requested;
    if (size < size_t(PTHREAD_STACK_MIN)) {
        size = PTHREAD_STACK_MIN;
    }
    return size;
}

void* runTask(void* startRecord) {
    const TaskStart start = *static_cast<TaskStart*>(startRecord);
    delete static_cast<TaskStart*>(startRecord);

    taskIdAssume(start.id);
    const TASK_ARG* a = start.args;
    start.entry(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9]);

    // A task that ends with the preemption lock held would stop every other
    // taskLock for good; the lock ends with the task instead.
    preemptionLockSuspend();
    taskRegistryFinished(pthread_self());
    return nullptr;
}

bool startThread(TaskStart* start, size_t stackSize) {
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) {
        return false;
    }
    taskRegistryStarting();
    pthread_t thread;
    const bool started = pthread_attr_setstacksize(&attributes, nativeStackSize(stackSize)) == 0 &&
                         pthread_create(&thread, &attributes, runTask, start) == 0;
    pthread_attr_destroy(&attributes);
    if (!started) {
        taskRegistryStartFailed();
    }
    return started;
}

TASK_ID spawnFailingWith(int error) {
    errno = error;
    return ERROR;
}

} // namespace

TASK_ID taskSpawn(const char* /*name*/, int priority, int /*options*/, size_t stackSize,
                  TASK_ENTRY entry, TASK_ARG arg1, TASK_ARG arg2, TASK_ARG arg3, TASK_ARG arg4,
                  TASK_ARG arg5, TASK_ARG arg6, TASK_ARG arg7, TASK_ARG arg8, TASK_ARG arg9,
                  TASK_ARG arg10) {
    if (intContext()) {
        return spawnFailingWith(S_intLib_NOT_ISR_CALLABLE);
    }
    if (kernelFaultDue(kernelFaultPoint::taskSpawn)) {
        return spawnFailingWith(S_memLib_NOT_ENOUGH_MEMORY);
    }
    if (priority < 0 || priority > kLowestPriority) {
        return spawnFailingWith(S_taskLib_ILLEGAL_PRIORITY);
    }
    if (entry == nullptr) {
        return spawnFailingWith(S_objLib_OBJ_ID_ERROR);
    }
    TaskStart* start = new (std::nothrow) TaskStart{
        taskIdAllocate(), entry, {arg1, arg2, arg3, arg4, arg5, arg6, arg7, arg8, arg9, arg10}};
    if (start == nullptr) {
        return spawnFailingWith(S_memLib_NOT_ENOUGH_MEMORY);
    }
    const TASK_ID id = start->id;
    if (!startThread(start, stackSize)) {
        delete start;
        return spawnFailingWith(S_memLib_NOT_ENOUGH_MEMORY);
    }
    return id;
}
