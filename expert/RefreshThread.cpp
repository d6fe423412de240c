// The refresh thread: rebuilds the inventory at once and then once every
// period, and tells the host's handler what was added, removed or changed.
// It holds m_lock only while it rebuilds and compares the maps; the handler
// is called without it, so the handler may call back into the expert.
#include "expert/ChangeSets.h"
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

} // namespace nKRVYREX_SYSAPI_EXPERT_18_5
