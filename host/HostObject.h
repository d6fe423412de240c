// The host's own component objects: one reference count per object and a
// QueryInterface that answers IUnknown and the identifiers it is given.
#pragma once

#include "contract/ComRef.h"
#include "contract/IUnknown.h"
#include "contract/Status.h"

#include <atomic>
#include <cstdint>

template <class Interface, const _GUID&... kInterfaceIds>
class HostObject : public Interface {
public:
    int32_t QueryInterface(const _GUID& iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (!IsEqualGUID(iid, IID_IUnknown) && !(false || ... || IsEqualGUID(iid, kInterfaceIds))) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        *object = static_cast<Interface*>(this);
        return S_OK;
    }

    uint32_t AddRef() override { return m_references.fetch_add(1, std::memory_order_relaxed) + 1; }

    // Acts only on the value the decrement returned: another thread may
    // release the object the moment this count is given back.
    uint32_t Release() override {
        const uint32_t left = m_references.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0) {
            delete this;
        }
        return left;
    }

protected:
    HostObject() = default; // the creator holds the first reference
    virtual ~HostObject() = default;

private:
    std::atomic<uint32_t> m_references{1};
};
