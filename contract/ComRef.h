// ComRef: one reference to a component object, given back at the end of
// its scope. Either side of the contract holds objects of the other side
// with it.
#pragma once

#include <utility>

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
