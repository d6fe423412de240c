// The component-object machinery every object handed to the host is built
// from: a root holding the reference count, a static interface map per
// class, the shared map lookup, and CKRComObject<T>, the class actually
// allocated, which implements IUnknown for a component class T.
#pragma once

#include "contract/IUnknown.h"
#include "contract/Status.h"
#include "objectmodel/InterLocked.h"

#include <atomic>
#include <cstdint>
#include <new>

class CKRComObjectRootBase {
public:
    std::atomic<uint32_t> refCount{0};

    // Called by the release that took the count to 0, while the object is
    // still whole: no destructor has started. A class with a thread of its
    // own hides this with its own version, which stops that thread here, or
    // returns true when it must end on another thread and deletes itself
    // later.
    bool KRDeferFinalRelease() { return false; }
};

// Threading model: counts change atomically; objects hold no lock of their own.
struct CKRComMultiThreadModelNoCS {};

template <class ThreadModel>
class CKRComObjectRootEx : public CKRComObjectRootBase {};

// One entry of a class's interface map. handler is 0 for the entry that ends
// the map, 1 for a plain offset entry, or the address of a function
// (object, iid, ppv, offset) returning a status.
struct KRInterfaceMapEntry {
    const _GUID* interfaceId; // null: a blind entry that matches every identifier
    uintptr_t offset;         // from the object's start to the interface's sub-object
    uintptr_t handler;
};

using KRInterfaceMapFunction = int32_t (*)(void* object, const _GUID& iid, void** ppv,
                                           uintptr_t offset);

constexpr uintptr_t kKRMapEnd = 0;
constexpr uintptr_t kKRMapPlainOffset = 1;

// Byte distance from the start of a Derived object to its Base sub-object,
// for non-virtual bases, whose place is fixed by the class layout.
template <class Base, class Derived>
uintptr_t KROffsetOfBase() {
    alignas(Derived) static unsigned char probe[sizeof(Derived)];
    auto* derived = reinterpret_cast<Derived*>(probe);
    return uintptr_t(reinterpret_cast<unsigned char*>(static_cast<Base*>(derived)) - probe);
}

// Finds iid in the map and hands out the interface with a new reference.
// 0 found; 0x80004003 null ppv; 0x80004002 not implemented (*ppv null).
int32_t InternalQueryInterface(void* object, const KRInterfaceMapEntry* entries, const _GUID& iid,
                               void** ppv);

// True for {00000000-0000-0000-C000-000000000046}, read as four big-endian
// words: 0, 0, 0xC0000000 or 0x00C00000, 0x46.
bool KRIsIUnknown(const _GUID& iid);

template <class T>
class CKRComObject : public T {
public:
    CKRComObject() = default;

    // The count stays pinned for the whole teardown, however it began (the
    // last release pins it already; an object deleted without one is pinned
    // here): an AddRef, a Release or an unbalanced Release made meanwhile
    // changes nothing and cannot start a second destruction.
    ~CKRComObject() override {
        this->refCount.store(kPinnedReferenceCount, std::memory_order_relaxed);
    }

    int32_t QueryInterface(const _GUID& iid, void** ppv) override {
        return InternalQueryInterface(this, T::_GetEntries(), iid, ppv);
    }

    uint32_t AddRef() override { return InterLockedIncrement(&this->refCount); }

    uint32_t Release() override {
        bool releasedLast = false;
        const uint32_t left = InterLockedDecrement(&this->refCount, &releasedLast);
        if (releasedLast && !this->KRDeferFinalRelease()) {
            delete this;
        }
        return left; // never read a member after delete
    }

    virtual int32_t RemoteNext(uint32_t, char16_t**, uint32_t*) { return S_OK; }

    // A new object with no reference yet; null and 0x8007000E if allocation
    // or construction throws anything.
    static int32_t CreateInstance(CKRComObject<T>** pp) {
        *pp = nullptr;
        try {
            *pp = new CKRComObject<T>();
            return S_OK;
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }
};

// A new object holding one reference, owned by the caller. A failed
// creation is thrown as its status.
template <class T>
CKRComObject<T>* CreateComObject() {
    CKRComObject<T>* object = nullptr;
    const int32_t status = CKRComObject<T>::CreateInstance(&object);
    if (KR_FAILED(status)) {
        throw status;
    }
    object->AddRef();
    return object;
}
