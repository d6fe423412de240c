// The expert: the one object the host creates, reached through the
// IoxSysExpert2 chain (identity, lifecycle, searches, validation) and the
// IoxSysExpertPlugPlay chain (change notification).
#pragma once

#include "contract/ComRef.h"
#include "contract/oxSysInterfaces.h"
#include "expert/Inventory.h"
#include "objectmodel/ComObject.h"
#include "objectmodel/KRMutex.h"
#include "protons/synchronization/tSemaphore.h"
#include "protons/thread/tThreadController.h"
#include "quarks/event.h"
#include "quarks/status.h"
#include "quarks/thread.h"

#include <atomic>
#include <cstdint>

namespace nKRVYREX_SYSAPI_EXPERT_18_5 {

// The key of the refresh period in the "VYREX" section of the INI file.
extern const char* const CameraListRefreshTimeString;

class CoxSysVyrex : public virtual CKRComObjectRootEx<CKRComMultiThreadModelNoCS>,
                    public IoxSysExpert2,
                    public IoxSysExpertPlugPlay,
                    public nKRZEPH000::iThread {
public:
    static const _GUID s_productID;

    static const KRInterfaceMapEntry* _GetEntries();

    // IoxSysExpertInfo
    int32_t GetProductID(_GUID* id) override;
    int32_t GetProductDisplayName(char16_t** name) override;
    int32_t GetProductVersion(char16_t** version) override;
    int32_t GetProgrammaticName(char16_t** name) override;

    // IoxSysExpert
    int32_t Initialize() override;
    int32_t Finalize() override;
    int32_t SearchForItemsAndProperties(IoxSysPropertyBagCollection* collection) override;
    int32_t SearchForItemNames(IoxSysEnumStringList** names) override;
    int32_t GetPropertiesOfItem(const char16_t* item, IoxSysPropertyBag** bag) override;
    int32_t PopulateOrRefreshProperties(const char16_t* item, uint32_t count, const uint32_t* tags,
                                        int32_t flag, IoxSysPropertyBag** bag) override;
    int32_t SetPreferredLocale(oxSysLocale locale) override;
    int32_t RenameAlias(const char16_t* item, const char16_t* newName,
                        oxSysRenameValidationMode mode, int32_t* result, char16_t** text) override;
    int32_t ValidatePropertyChanges(const char16_t* item, IoxSysPropertyBag2* changes,
                                    IoxSysEnumPropertyTag** tags, char16_t** text) override;
    int32_t PersistPropertyChanges(const char16_t* item, IoxSysPropertyBag2* changes,
                                   int32_t* result) override;

protected:
    CoxSysVyrex();
    virtual ~CoxSysVyrex();

public:
    // IoxSysExpertPlugPlay
    int32_t RegisterNotificationCallback(IoxSysFrameworkNotificationHandler* handler) override;

    // The refresh thread's body: a pass at once, then one every period,
    // until Finalize (or the last release) asks it to stop.
    void main() override;

    // One pass: rebuilds the inventory, releases the searches waiting for a
    // first pass, and tells the handler what changed. The refresh thread
    // makes one every period; Initialize makes one when no thread can be
    // started.
    void RefreshAndNotify();

    // The refresh period in seconds from the INI file KRRTINIFilePath names;
    // 2 when the file, the section or the key is missing, or the value is 0.
    static uint32_t GetCameraListRefreshTimeInSec();

    // A refresh period as a wait in milliseconds, limited to the longest
    // wait that fits.
    static int32_t RefreshWaitMs(uint32_t periodSec);

    // Rebuild a map from the driver (called with m_lock held).
    static void RefreshCameras(CameraMap& cameras);
    static void RefreshFrameGrabbers(FrameGrabberMap& frameGrabbers);

    // Insert into the three sets the names that current added, changed or
    // removed against old.
    static void CompareCameras(const CameraMap& old, const CameraMap& current, ItemNameSet& added,
                               ItemNameSet& changed, ItemNameSet& removed);
    static void CompareFrameGrabbers(const FrameGrabberMap& old, const FrameGrabberMap& current,
                                     ItemNameSet& added, ItemNameSet& changed,
                                     ItemNameSet& removed);

    // Writes the properties of the item called name into bag: 0, or
    // 0x80040375 when no camera (or frame grabber) has that name.
    int32_t FillItemProperties(const char16_t* name, IoxSysPropertyBag* bag);
    int32_t FillCameraProperties(const char16_t* name, IoxSysPropertyBag* bag);
    int32_t FillFrameGrabberProperties(const char16_t* name, IoxSysPropertyBag* bag);

    // Whether a camera or a frame grabber has this name (m_lock held).
    bool HasItem(const ItemName& name) const;
    // The same, taking m_lock for the look-up alone.
    bool HasItemNamed(const char16_t* item);

    // Appends every item name once the first refresh is complete: cameras,
    // then frame grabbers, each in key order.
    int32_t CollectItemNames(ItemNameList& names);

private:
    struct ChangeSets;

    // Copies text into *destination as a length-prefixed string.
    static int32_t CopyOutString(const char16_t* text, char16_t** destination);

    // One refresh: rebuilds both maps, finds what changed and makes the
    // enumerators that tell it. The maps are replaced only when all of that
    // succeeded (the old ones go to replaced); false when it failed.
    bool RefreshInventory(ChangeSets& changes, InventoryPicture& replaced);

    // Tells the registered handler, if any: removed, then changed, then
    // added.
    void DeliverChanges(ChangeSets& changes);

    // The registered handler with a reference for the caller, or null.
    IoxSysFrameworkNotificationHandler* AcquireHandler();

    // What the refresh thread does after its current pass. A handler that
    // calls Finalize on the refresh thread asks for Stop; an Initialize (from
    // the handler or a host thread) withdraws a Stop not yet taken; the thread
    // takes it at the end of the pass (Returned) and leaves its loop, as it
    // does after a stop signal. A host thread that finds Returned joins that
    // thread before it starts another.
    enum class AfterPass : uint8_t { Continue, Stop, Returned };

    // On the refresh thread after a pass: whether a stop was asked for from
    // within it (the thread then returns).
    bool TakeStopAskedInPass();

    // Host threads, m_lifecycleLock held, a thread running: takes back the
    // stops that thread has not taken yet; false when it has taken one and
    // is leaving its loop.
    bool TakeBackStops();

    // Host threads, m_lifecycleLock held: joins a refresh thread that has
    // left its loop, and drops a stop signal left for it.
    void JoinRefreshThread();

    // Signals the stop and waits for the refresh thread to return (host
    // threads only).
    void StopRefreshThread();

    // Whether the caller is making a pass: the refresh thread, or a host
    // thread inside Initialize. A handler it calls may call back.
    bool OnPassThread() const;

public:
    // The final release: stops and joins the refresh thread before anything
    // is destroyed; on the refresh thread itself, defers the end until that
    // thread has returned (true).
    bool KRDeferFinalRelease();

private:
    // Deletes the expert on a task of its own once the refresh thread has
    // returned.
    void DestroyAfterRefreshThread();
    static int DestroyWhenJoined(TASK_ARG expert, TASK_ARG, TASK_ARG, TASK_ARG, TASK_ARG, TASK_ARG,
                                 TASK_ARG, TASK_ARG, TASK_ARG, TASK_ARG);

    nKRZEPH000::tStatus m_status; // failures met while creating the kernel objects

    // The handler slot is written by host threads and read by the refresh
    // thread; m_handlerLock makes each replacement and each read whole.
    CKRMutex m_handlerLock;
    ComRef<IoxSysFrameworkNotificationHandler> m_notificationHandler;

    CameraMap m_cameras;             // guarded by m_lock
    FrameGrabberMap m_frameGrabbers; // guarded by m_lock

    nKRZEPH000::tSemaphore m_lock;
    nKRZEPH000::tEvent m_firstRefreshEvent; // manual-reset: set after the first pass
    nKRZEPH000::tEvent m_stopEvent;         // auto-reset: ends the refresh thread
    nKRZEPH000::tSemaphore m_lifecycleLock; // host threads: starts and stops of the thread
    nKRZEPH000::tThreadController m_threadController;
    bool m_firstRefreshDone = false;            // whoever makes a pass
    bool m_releasedOnRefreshThread = false;     // refresh thread only
    std::atomic<TASK_ID> m_refreshTask{0};      // the refresh thread while main() runs
    std::atomic<TASK_ID> m_initializingTask{0}; // a host thread making a pass in Initialize
    std::atomic<AfterPass> m_afterPass{AfterPass::Continue};
    bool m_hostStopPending = false; // m_lifecycleLock: a stop given while no thread ran
    uint32_t m_refreshPeriodSec = 2;
    std::atomic<uint32_t> m_driverVersion{0}; // written by Initialize, read by host threads
};

} // namespace nKRVYREX_SYSAPI_EXPERT_18_5
