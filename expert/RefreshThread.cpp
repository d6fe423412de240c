// The refresh thread: rebuilds the inventory at once and then once every
// period, and tells the host's handler what was added, removed or changed.
// It holds m_lock only while it rebuilds and compares the maps; the handler
// is called without it, so the handler may call back into the expert.
#include "expert/CoxSysVyrex.h"

#include "contract/ComRef.h"
#include "objectmodel/EnumOnSTL.h"

#include <memory>
#include <utility>

namespace nKRVYREX_SYSAPI_EXPERT_18_5 {

namespace {

using ChangedNamesEnumerator = CoxSysEnumItemNamesSTL<ItemNameSet>;

// An enumerator over names, or null when there are none to tell.
ComRef<IoxSysEnumStringList> EnumeratorOver(std::unique_ptr<ItemNameSet> names) {
    if (names->empty()) {
        return {};
    }
    return ComRef<IoxSysEnumStringList>(
        CreateOwningEnumerator<ChangedNamesEnumerator>(std::move(names)));
}

} // namespace

// What one pass tells the handler, in the order it is told: every
// enumerator is made before the pass is committed, so telling it needs no
// memory and cannot lose a change.
struct CoxSysVyrex::ChangeSets {
    static constexpr size_t kKinds = 3;
    static constexpr oxSysItemChangeKind kOrder[kKinds] = {
        oxSysItemChangeKind_Removed, oxSysItemChangeKind_Changed, oxSysItemChangeKind_Added};

    void clear() {
        for (ComRef<IoxSysEnumStringList>& names : inOrder) {
            names.reset();
        }
    }

    bool empty() const { return !inOrder[0] && !inOrder[1] && !inOrder[2]; }

    ComRef<IoxSysEnumStringList> inOrder[kKinds]; // null where nothing is to be told
};

void CoxSysVyrex::main() {
    m_refreshTask.store(taskIdSelf());
    while (!m_releasedOnRefreshThread) {
        RefreshAndNotify();
        nKRZEPH000::tStatus waitStatus;
        if (m_releasedOnRefreshThread || TakeStopAskedInPass() ||
            m_stopEvent.wait(RefreshWaitMs(m_refreshPeriodSec), waitStatus)) {
            break;
        }
    }
    m_refreshTask.store(0);
    if (m_releasedOnRefreshThread) {
        DestroyAfterRefreshThread();
    }
}

bool CoxSysVyrex::TakeStopAskedInPass() {
    AfterPass asked = AfterPass::Stop;
    return m_afterPass.compare_exchange_strong(asked, AfterPass::Returned);
}

void CoxSysVyrex::RefreshAndNotify() {
    ChangeSets changes;
    InventoryPicture replaced; // freed here, after m_lock is given back
    const bool refreshed = RefreshInventory(changes, replaced);
    // Searches wait for the first pass, not for the first that succeeds:
    // a driver that makes every pass fail must not hold them up for good.
    if (!m_firstRefreshDone) {
        m_firstRefreshDone = true;
        m_firstRefreshEvent.signal();
    }
    if (refreshed && !changes.empty()) {
        DeliverChanges(changes);
    }
}

// The new maps are built aside and compared with the current ones; they
// replace them only when the whole pass succeeded, enumerators included. A
// pass that fails (the heap running out, a text that cannot be converted)
// leaves the previous inventory as it was and reports nothing; the next
// pass finds the same differences again. The maps replaced go to the
// caller, to be freed without m_lock.
bool CoxSysVyrex::RefreshInventory(ChangeSets& changes, InventoryPicture& replaced) {
    nKRZEPH000::tSemaphoreLock hold(m_lock);
    try {
        CameraMap cameras;
        FrameGrabberMap frameGrabbers;
        RefreshCameras(cameras);
        RefreshFrameGrabbers(frameGrabbers);
        auto added = std::make_unique<ItemNameSet>();
        auto changed = std::make_unique<ItemNameSet>();
        auto removed = std::make_unique<ItemNameSet>();
        CompareCameras(m_cameras, cameras, *added, *changed, *removed);
        CompareFrameGrabbers(m_frameGrabbers, frameGrabbers, *added, *changed, *removed);
        changes.inOrder[0] = EnumeratorOver(std::move(removed));
        changes.inOrder[1] = EnumeratorOver(std::move(changed));
        changes.inOrder[2] = EnumeratorOver(std::move(added));
        m_cameras.swap(cameras);
        m_frameGrabbers.swap(frameGrabbers);
        replaced.cameras.swap(cameras);
        replaced.frameGrabbers.swap(frameGrabbers);
        return true;
    } catch (...) {
        changes.clear();
        return false;
    }
}

// Whoever calls out holds what it passes: the expert keeps a reference to
// itself and one to the handler for each call, so the handler may AddRef,
// call back or Release the expert. Each call goes to the handler registered
// when it is made: a handler that replaces or unregisters itself in its
// call gets no further one, and its successor gets the rest of the pass.
// When the host is letting go of its last reference at this moment, nothing
// is told: that release is stopping this thread. When the expert's own
// reference is the last of all, the expert ends once this thread has
// returned.
void CoxSysVyrex::DeliverChanges(ChangeSets& changes) {
    // Declared first, so released last: once the handler has its reference
    // back, the delivery is over.
    ComRef<IoxSysFrameworkNotificationHandler> handler(AcquireHandler());
    if (!handler || !InterLockedIncrementIfLive(&refCount)) {
        return;
    }
    const ComRef<IoxSysExpert2> self(this); // the reference just taken
    for (size_t i = 0; i < ChangeSets::kKinds && handler; ++i) {
        if (changes.inOrder[i]) {
            handler->OnItemsChanged(self.get(), ChangeSets::kOrder[i], changes.inOrder[i].get());
            handler = ComRef<IoxSysFrameworkNotificationHandler>(AcquireHandler());
        }
    }
    changes.clear();
}

IoxSysFrameworkNotificationHandler* CoxSysVyrex::AcquireHandler() {
    m_handlerLock.Lock();
    IoxSysFrameworkNotificationHandler* handler = m_notificationHandler.get();
    if (handler != nullptr) {
        handler->AddRef();
    }
    m_handlerLock.Unlock();
    return handler;
}

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
