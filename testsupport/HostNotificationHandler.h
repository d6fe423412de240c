// What the host's notification handlers of the tests share: a count for an
// object on the test's stack, and IUnknown as their only other interface.
#pragma once

#include "HostCounted.h"

class HostNotificationHandler : public IoxSysFrameworkNotificationHandler, public HostCounted {
public:
    int32_t QueryInterface(const _GUID& iid, void** ppv) override {
        return answerUnknownOnly(this, iid, ppv);
    }
    uint32_t AddRef() override { return addRef(); }
    uint32_t Release() override { return release(); }
};
