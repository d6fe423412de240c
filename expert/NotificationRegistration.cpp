// Registration of the host's change listener.
#include "expert/CoxSysVyrex.h"

namespace nKRVYREX_SYSAPI_EXPERT_18_5 {

int32_t CoxSysVyrex::RegisterNotificationCallback(IoxSysFrameworkNotificationHandler* handler) {
    // The new handler's reference is taken before the old one is given up, so
    // registering the handler already held never drops it to zero.
    if (handler != nullptr) {
        handler->AddRef();
    }
    m_handlerLock.Lock();
    IoxSysFrameworkNotificationHandler* old = m_notificationHandler;
    m_notificationHandler = handler;
    m_handlerLock.Unlock();
    // Released outside the lock: the host's Release may call back into us.
    if (old != nullptr) {
        old->Release();
    }
    return S_OK;
}

} // namespace nKRVYREX_SYSAPI_EXPERT_18_5
