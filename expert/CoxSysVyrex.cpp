// Construction, destruction and the interface map of the expert.
#include "expert/CoxSysVyrex.h"

namespace nKRVYREX_SYSAPI_EXPERT_18_5 {

// {4FA27960-F165-4292-A03E-6D88D34563C9}
const _GUID CoxSysVyrex::s_productID = {
    0x4FA27960, 0xF165, 0x4292, {0xA0, 0x3E, 0x6D, 0x88, 0xD3, 0x45, 0x63, 0xC9}};

const KRInterfaceMapEntry* CoxSysVyrex::_GetEntries() {
    // The first entry answers for IUnknown. The PlugPlay chain is the second
    // interface sub-object; its place is fixed by the class layout.
    static const KRInterfaceMapEntry entries[] = {
        {&IID_IoxSysExpertInfo, 0, kKRMapPlainOffset},
        {&IID_IoxSysExpert, 0, kKRMapPlainOffset},
        {&IID_IoxSysExpert2, 0, kKRMapPlainOffset},
        {&IID_IoxSysExpertPlugPlay, KROffsetOfBase<IoxSysExpertPlugPlay, CoxSysVyrex>(),
         kKRMapPlainOffset},
        {nullptr, 0, kKRMapEnd},
    };
    return entries;
}

// The kernel objects are made in order, each only while nothing has failed
// yet; an expert without all of them is not created.
CoxSysVyrex::CoxSysVyrex() {
    m_lock.create(m_status);
    m_firstRefreshEvent.create(nKRZEPH000::tEvent::kManualReset, m_status);
    m_stopEvent.create(nKRZEPH000::tEvent::kAutoReset, m_status);
    if (!m_status.isFailure()) {
        m_lifecycleLock.create(m_status);
    }
    if (m_status.isFailure()) {
        throw int32_t(E_FAIL);
    }
    m_refreshPeriodSec = GetCameraListRefreshTimeInSec();
}

// The refresh thread has returned by now: the final release stopped and
// joined it before deleting (or, released on that thread, deleted only
// after it had returned).
CoxSysVyrex::~CoxSysVyrex() {
    m_stopEvent.destroy();
    m_firstRefreshEvent.destroy();
    m_lifecycleLock.destroy();
    m_lock.destroy();
    m_frameGrabbers.clear();
    m_cameras.clear();
    m_notificationHandler.reset();
}

} // namespace nKRVYREX_SYSAPI_EXPERT_18_5
