// The host's own component objects, written once: a QueryInterface that
// answers IUnknown and the identifiers given, over one of two ways of
// counting references.
//   Owned    made with new; the creator holds the first reference and the
//            last Release deletes the object.
//   OnStack  lives in its owner's scope; Release never deletes it, and the
//            owner reads references() to see that every reference came back.
#pragma once

#include "contract/ComRef.h"
#include "contract/IUnknown.h"
#include "contract/Status.h"

#include <atomic>
#include <cstdint>

struct Owned {};
struct OnStack {};

template <class Ownership, class Interface, const _GUID&... kInterfaceIds>
class HostObject;

template <class Interface, const _GUID&... kInterfaceIds>
class HostInterfaces : public Interface {
public:
    int32_t QueryInterface(const _GUID& iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (!IsEqualGUID(iid, IID_IUnknown) && !(false || ... || IsEqualGUID(iid, kInterfaceIds))) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        this->AddRef();
        *object = static_cast<Interface*>(this);
        return S_OK;
    }

    // The count as it stands (the creator's first reference included).
    uint32_t references() const { return m_references.load(std::memory_order_acquire); }

protected:
    virtual ~HostInterfaces() = default;

    std::atomic<uint32_t> m_references{1};
};

template <class Interface, const _GUID&... kInterfaceIds>
class HostObject<Owned, Interface, kInterfaceIds...>
    : public HostInterfaces<Interface, kInterfaceIds...> {
public:
    uint32_t AddRef() override {
        return this->m_references.fetch_add(1, std::memory_order_relaxed) + 1;
    }

    // Acts only on the value the decrement returned: another thread may
    // release the object the moment this count is given back.
    uint32_t Release() override {
        const uint32_t left = this->m_references.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0) {
            delete this;
        }
        return left;
    }

protected:
    HostObject() = default; // the creator holds the first reference
};

template <class Interface, const _GUID&... kInterfaceIds>
class HostObject<OnStack, Interface, kInterfaceIds...>
    : public HostInterfaces<Interface, kInterfaceIds...> {
public:
    HostObject() = default;
    HostObject(const HostObject&) = delete;
    HostObject& operator=(const HostObject&) = delete;

    uint32_t AddRef() override {
        return this->m_references.fetch_add(1, std::memory_order_acq_rel) + 1;
    }
    uint32_t Release() override {
        return this->m_references.fetch_sub(1, std::memory_order_acq_rel) - 1;
    }
};
