// The host's own component objects: one reference count per object and a
// QueryInterface that answers IUnknown and the identifiers it is given.
#pragma once

#include "objectmodel/IUnknown.h"
#include "objectmodel/Status.h"

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

// Holds one reference to a component object and gives it back at the end of
// its scope.
template <class T>
class ComRef {
public:
    ComRef() = default;
    explicit ComRef(T* adopted) : m_object(adopted) {}
    ~ComRef() { reset(); }

    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ComRef(ComRef&& other) noexcept : m_object(other.release()) {}
    ComRef& operator=(ComRef&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }

    T* get() const { return m_object; }
    T* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

    // For an out-parameter: gives back what is held and lets the callee fill it.
    T** put() {
        reset();
        return &m_object;
    }

    T* release() {
        T* object = m_object;
        m_object = nullptr;
        return object;
    }

    void reset(T* adopted = nullptr) {
        if (m_object != nullptr) {
            m_object->Release();
        }
        m_object = adopted;
    }

private:
    T* m_object = nullptr;
};
