// The refresh thread: rebuilds the inventory at once and then once every
// period, and tells the host's handler what was added, removed or changed.
// It holds m_lock only while it rebuilds and compares the maps; the handler
// is called without it, so the handler may call back into the expert.
#include "expert/CoxSysVyrex.h"

#include "objectmodel/EnumOnSTL.h"

#include <memory>
#include <utility>

namespace nKRVYREX_SYSAPI_EXPERT_18_5 {

namespace {

using ChangedNamesEnumerator = CoxSysEnumItemNamesSTL<ItemNameSet>;

} // namespace

struct CoxSysVyrex::ChangeSets {
    std::unique_ptr<ItemNameSet> added;
    std::unique_ptr<ItemNameSet> changed;
    std::unique_ptr<ItemNameSet> removed;
};

void CoxSysVyrex::main() {
    m_refreshTask.store(taskIdSelf());
    while (!m_releasedOnRefreshThread) {
        ChangeSets changes;
        const bool refreshed = RefreshInventory(changes);
        // Searches wait for the first pass, not for the first that succeeds:
        // a driver that makes every pass fail must not hold them up for good.
        if (!m_firstRefreshDone) {
            m_firstRefreshDone = true;
            m_firstRefreshEvent.signal();
        }
        if (refreshed) {
            DeliverChanges(changes);
        }
        nKRZEPH000::tStatus waitStatus;
        if (m_releasedOnRefreshThread ||
            m_stopEvent.wait(RefreshWaitMs(m_refreshPeriodSec), waitStatus)) {
            break;
        }
    }
    m_refreshTask.store(0);
    if (m_releasedOnRefreshThread) {
        DestroyAfterRefreshThread();
    }
}

// The new maps are built aside and compared with the current ones; they
// replace them only when the whole pass succeeded. A pass that fails (the
// heap running out, a text that cannot be converted) leaves the previous
// inventory as it was and reports nothing; the next pass tries again.
bool CoxSysVyrex::RefreshInventory(ChangeSets& changes) {
    nKRZEPH000::tSemaphoreLock hold(m_lock);
    try {
        CameraMap cameras;
        FrameGrabberMap frameGrabbers;
        RefreshCameras(cameras);
        RefreshFrameGrabbers(frameGrabbers);
        changes.added = std::make_unique<ItemNameSet>();
        changes.changed = std::make_unique<ItemNameSet>();
        changes.removed = std::make_unique<ItemNameSet>();
        CompareCameras(m_cameras, cameras, *changes.added, *changes.changed, *changes.removed);
        CompareFrameGrabbers(m_frameGrabbers, frameGrabbers, *changes.added, *changes.changed,
                             *changes.removed);
        m_cameras.swap(cameras);
        m_frameGrabbers.swap(frameGrabbers);
        return true;
    } catch (...) {
        changes = ChangeSets{};
        return false;
    }
}

namespace {

void deliver(IoxSysFrameworkNotificationHandler* handler, IoxSysExpert2* expert,
             oxSysItemChangeKind kind, std::unique_ptr<ItemNameSet> names) {
    if (names == nullptr || names->empty()) {
        return;
    }
    try {
        IoxSysEnumStringList* enumerator =
            CreateOwningEnumerator<ChangedNamesEnumerator>(std::move(names));
        handler->OnItemsChanged(expert, kind, enumerator);
        enumerator->Release();
    } catch (...) {
        // No enumerator could be made: this notification is lost, the next
        // change is reported as usual.
    }
}

} // namespace

// The thread holds its own reference to the handler for the calls, so a
// handler replaced or unregistered meanwhile is never called after its
// release. A handler that releases the expert's last reference gets no
// further calls.
void CoxSysVyrex::DeliverChanges(ChangeSets& changes) {
    IoxSysFrameworkNotificationHandler* handler = AcquireHandler();
    if (handler == nullptr) {
        return;
    }
    std::unique_ptr<ItemNameSet>* inOrder[] = {&changes.removed, &changes.changed, &changes.added};
    const oxSysItemChangeKind kinds[] = {oxSysItemChangeKind_Removed, oxSysItemChangeKind_Changed,
                                         oxSysItemChangeKind_Added};
    for (size_t i = 0; i < 3 && !m_releasedOnRefreshThread; ++i) {
        deliver(handler, this, kinds[i], std::move(*inOrder[i]));
    }
    handler->Release();
}

IoxSysFrameworkNotificationHandler* CoxSysVyrex::AcquireHandler() {
    m_handlerLock.Lock();
    IoxSysFrameworkNotificationHandler* handler = m_notificationHandler;
    if (handler != nullptr) {
        handler->AddRef();
    }
    m_handlerLock.Unlock();
    return handler;
}

bool CoxSysVyrex::KRDeferFinalRelease() {
    if (!OnRefreshThread()) {
        return false;
    }
    m_releasedOnRefreshThread = true;
    return true;
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
