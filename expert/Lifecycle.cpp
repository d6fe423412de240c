// Starting and stopping the refresh thread.
//
// Host threads may call Initialize, Finalize and the last Release at the
// same time: m_lifecycleLock makes each start and each stop of the refresh
// thread whole, so there is never more than one thread, and a Finalize that
// returns leaves none running. The refresh thread itself (a handler calling
// back) and a host thread making a pass inside Initialize never take that
// lock: another host thread may hold it while it waits for their pass.
#include "expert/CoxSysVyrex.h"

#include "contract/ComRef.h"

namespace nKRVYREX_SYSAPI_EXPERT_18_5 {

// The driver's version is read before the refresh thread starts, so the
// bags of the first pass (which a handler may read at once) already carry
// it. A running thread is left alone (the controller refuses a second
// start); the version is read again either way.
//
// Initialize undoes a stop that the running thread has not taken yet: one
// asked for from within a pass (a handler calling Finalize on the refresh
// thread), and one a host gave while no thread ran. The thread then goes on.
// A thread that has taken such a stop is leaving its loop: it is joined and
// a new one started. Either way the expert afterwards has a refresh thread
// that reports changes, and Initialize never waits for a pass in progress.
//
// When no thread can be started, Initialize makes the pass itself, so that
// searches answer from a real inventory instead of waiting for a first pass
// that would never come; the next Initialize tries the thread again. The
// expert holds a reference to itself meanwhile: a handler may give back the
// host's last one during that pass.
int32_t CoxSysVyrex::Initialize() {
    uint32_t version = 0;
    if (VyrexGetDriverVersion(&version) == 0) {
        m_driverVersion.store(version, std::memory_order_relaxed);
    }
    if (OnPassThread()) {
        // Called back from a pass: the expert is running; a stop asked for
        // earlier in this pass is withdrawn.
        AfterPass asked = AfterPass::Stop;
        m_afterPass.compare_exchange_strong(asked, AfterPass::Continue);
        return S_OK;
    }
    IoxSysExpert2* const expert = this;
    expert->AddRef();
    const ComRef<IoxSysExpert2> self(expert); // given back after m_lifecycleLock
    nKRZEPH000::tSemaphoreLock hold(m_lifecycleLock);
    if (m_threadController.isRunning() && !TakeBackStops()) {
        JoinRefreshThread();
    }
    nKRZEPH000::tStatus status;
    m_threadController.start(static_cast<nKRZEPH000::iThread*>(this), status);
    if (!m_threadController.isRunning()) {
        m_initializingTask.store(taskIdSelf());
        RefreshAndNotify();
        m_initializingTask.store(0);
        // A stop asked for from that pass has no thread to stop.
        m_afterPass.store(AfterPass::Continue);
    }
    return S_OK;
}

bool CoxSysVyrex::TakeBackStops() {
    AfterPass asked = AfterPass::Stop;
    m_afterPass.compare_exchange_strong(asked, AfterPass::Continue);
    bool leaving = asked == AfterPass::Returned;
    if (m_hostStopPending) {
        nKRZEPH000::tStatus ignored;
        if (m_stopEvent.wait(0, ignored)) {
            m_hostStopPending = false;
        } else {
            leaving = true; // the thread took the signal
        }
    }
    return !leaving;
}

// A stop signal that finds no waiting thread stays pending, so the current
// pass completes (notifications included) and the thread then ends without
// waiting a further period. One given while no thread exists ends the next
// thread after its first pass.
//
// Called back from a pass (a handler on the refresh thread), Finalize cannot
// wait for that pass: it asks the thread to return after it, and an
// Initialize may still withdraw that.
int32_t CoxSysVyrex::Finalize() {
    if (OnPassThread()) {
        AfterPass running = AfterPass::Continue;
        m_afterPass.compare_exchange_strong(running, AfterPass::Stop);
        return S_OK;
    }
    StopRefreshThread();
    return S_OK;
}

void CoxSysVyrex::StopRefreshThread() {
    nKRZEPH000::tSemaphoreLock hold(m_lifecycleLock);
    m_stopEvent.signal();
    if (m_threadController.isRunning()) {
        JoinRefreshThread();
    } else {
        m_hostStopPending = true;
    }
}

void CoxSysVyrex::JoinRefreshThread() {
    m_threadController.join();
    // The thread has returned: a stop signal it did not take (it left on a
    // stop asked for in its pass) must not end the next one.
    nKRZEPH000::tStatus ignored;
    m_stopEvent.wait(0, ignored);
    m_hostStopPending = false;
    m_afterPass.store(AfterPass::Continue);
}

bool CoxSysVyrex::OnPassThread() const {
    const TASK_ID self = taskIdSelf();
    return m_refreshTask.load() == self || m_initializingTask.load() == self;
}

} // namespace nKRVYREX_SYSAPI_EXPERT_18_5
