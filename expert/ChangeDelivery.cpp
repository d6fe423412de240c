// Telling the host's handler what a pass changed.
#include "expert/ChangeSets.h"
#include "expert/CoxSysVyrex.h"

#include "contract/ComRef.h"

namespace nKRVYREX_SYSAPI_EXPERT_18_5 {

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

} // namespace nKRVYREX_SYSAPI_EXPERT_18_5
