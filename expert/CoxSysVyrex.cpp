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

CoxSysVyrex::CoxSysVyrex() = default;

CoxSysVyrex::~CoxSysVyrex() {
    if (m_notificationHandler != nullptr) {
        IoxSysFrameworkNotificationHandler* old = m_notificationHandler;
        m_notificationHandler = nullptr;
        old->Release();
    }
}

} // namespace nKRVYREX_SYSAPI_EXPERT_18_5
