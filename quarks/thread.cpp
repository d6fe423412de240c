#include "quarks/thread.h"

namespace nKRZEPH000 {

namespace {

constexpr const char* kRecordedFile = "quarks/thread";
constexpr uint32_t kLineTaskNotSpawned = 684;

} // namespace

void threadSpawn(tThreadRecord& record, tThreadEntry entry, void* argument, int priority,
                 const char* name, tStatus& status) {
    record.taskId =
        taskSpawn(name, priority, kThreadOptions, kThreadStackSize, nKRZEPH200_vxWorksThreadMain,
                  reinterpret_cast<TASK_ARG>(entry), reinterpret_cast<TASK_ARG>(argument),
                  reinterpret_cast<TASK_ARG>(&record), 0, 0, 0, 0, 0, 0, 0);
    if (record.taskId == ERROR) {
        record.done.destroy();
        status.record(kStatusKernelObjectNotCreated, kStatusComponent, kRecordedFile,
                      kLineTaskNotSpawned);
    }
}

} // namespace nKRZEPH000

int nKRZEPH200_vxWorksThreadMain(TASK_ARG entry, TASK_ARG argument, TASK_ARG record, TASK_ARG,
                                 TASK_ARG, TASK_ARG, TASK_ARG, TASK_ARG, TASK_ARG, TASK_ARG) {
    reinterpret_cast<nKRZEPH000::tThreadEntry>(entry)(reinterpret_cast<void*>(argument));
    reinterpret_cast<nKRZEPH000::tThreadRecord*>(record)->done.signal();
    return 0;
}
