// What every host object of the tests shares: a reference count for an
// object on the test's stack, and the QueryInterface of an object that
// offers no interface of its own.
#pragma once

#include "contract/Status.h"
#include "contract/oxSysInterfaces.h"

#include <atomic>
#include <cstdint>

// Release never deletes the object; the test checks the count instead.
class HostCounted {
public:
    uint32_t references() const { return m_references; }

protected:
    uint32_t addRef() { return ++m_references; }
    uint32_t release() { return --m_references; }

private:
    std::atomic<uint32_t> m_references{1};
};

// Hands out object as IUnknown and refuses every other interface.
template <class Object>
int32_t answerUnknownOnly(Object* object, const _GUID& iid, void** ppv) {
    if (ppv == nullptr) {
        return E_POINTER;
    }
    *ppv = nullptr;
    if (!IsEqualGUID(iid, IID_IUnknown)) {
        return E_NOINTERFACE;
    }
    object->AddRef();
    *ppv = static_cast<IUnknown*>(object);
    return S_OK;
}
