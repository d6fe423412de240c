// The expert's end: its last reference given back on a host thread, or on
// its own refresh thread after a delivery.
#include "expert/CoxSysVyrex.h"

namespace nKRVYREX_SYSAPI_EXPERT_18_5 {

// The final release runs while the expert is still whole. On a host thread
// it stops and joins the refresh thread before anything is destroyed, so
// that thread never meets a half-destroyed expert. On the refresh thread
// itself (the expert's own reference after a delivery) it cannot wait for
// itself: the thread leaves its loop and the expert ends after it.
bool CoxSysVyrex::KRDeferFinalRelease() {
    if (m_refreshTask.load() == taskIdSelf()) {
        m_releasedOnRefreshThread = true;
        return true;
    }
    StopRefreshThread();
    return false;
}

// The expert cannot be freed on its own refresh thread: the thread's frame
// and its controller are still in use until the thread has returned. A
// short task of its own waits for that and then deletes the expert. If no
// task can be made, the expert is left allocated rather than freed in use.
void CoxSysVyrex::DestroyAfterRefreshThread() {
    taskSpawn("krvyrexSysapiExpertEnd", nKRZEPH000::tThreadController::kDefaultPriority,
              nKRZEPH000::kThreadOptions, nKRZEPH000::kThreadStackSize, &DestroyWhenJoined,
              reinterpret_cast<TASK_ARG>(this), 0, 0, 0, 0, 0, 0, 0, 0, 0);
}

int CoxSysVyrex::DestroyWhenJoined(TASK_ARG argument, TASK_ARG, TASK_ARG, TASK_ARG, TASK_ARG,
                                   TASK_ARG, TASK_ARG, TASK_ARG, TASK_ARG, TASK_ARG) {
    auto* expert = reinterpret_cast<CoxSysVyrex*>(argument);
    expert->m_threadController.join();
    delete expert;
    return 0;
}

} // namespace nKRVYREX_SYSAPI_EXPERT_18_5
