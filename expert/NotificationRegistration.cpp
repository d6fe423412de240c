// Registration of the host's change listener.
#include "expert/CoxSysVyrex.h"

#include <utility>

namespace nKRVYREX_SYSAPI_EXPERT_18_5 {

int32_t CoxSysVyrex::RegisterNotificationCallback(IoxSysFrameworkNotificationHandler* handler) {
    // The new handler's reference is taken before the old one is given up, so
    // registering the handler already held never drops it to zero.
    if (handler != nullptr) {
        handler->AddRef();
    }
    ComRef<IoxSysFrameworkNotificationHandler> added(handler);
    m_handlerLock.Lock();
    std::swap(m_notificationHandler, added);
    m_handlerLock.Unlock();
    // added now holds the old handler, released outside the lock: the host's
    // Release may call back into us.
    return S_OK;
}

} // namespace nKRVYREX_SYSAPI_EXPERT_18_5
