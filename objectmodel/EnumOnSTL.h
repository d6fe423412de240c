// Enumerators: lists of item names and of property tags handed to the host
// as IoxSysEnumStringList and IoxSysEnumPropertyTag objects that walk a
// standard container. IKREnumOnSTLImpl implements Next, Skip, Reset and
// Clone over any container; CKRComEnumOnSTL makes it a component object;
// CoxSysEnumItemNamesSTL and CoxSysEnumPropertyTagsSTL fix the element type
// and own the container they walk.
//
// Enumerators take no lock: a client uses one enumerator from one thread at
// a time. The containers are built for them and never change afterwards.
#pragma once

#include "contract/BStr.h"
#include "contract/oxSysInterfaces.h"
#include "objectmodel/ComObject.h"

#include <cstdint>
#include <memory>

template <class Itf, const _GUID* piid, class T, class Derived, class Coll>
class IKREnumOnSTLImpl : public Itf {
public:
    // Walks collection from its first element. A non-null owner keeps the
    // collection alive and is held with a reference until destruction.
    int32_t Init(IUnknown* newOwner, Coll& newCollection) {
        if (newOwner != nullptr) {
            newOwner->AddRef();
        }
        if (owner != nullptr) {
            owner->Release();
        }
        owner = newOwner;
        collection = &newCollection;
        position = collection->begin();
        return S_OK;
    }

    int32_t Next(uint32_t count, T* items, uint32_t* fetched) override {
        if (items == nullptr || (count != 1 && fetched == nullptr)) {
            return E_POINTER;
        }
        if (collection == nullptr) {
            return E_FAIL;
        }
        // A batch that cannot be copied whole hands out nothing and leaves
        // the position where it was, so the next call sees the same elements.
        const typename Coll::iterator start = position;
        uint32_t copied = 0;
        while (copied < count && position != collection->end()) {
            if (!Derived::copyElement(&items[copied], *position)) {
                for (uint32_t i = 0; i < copied; ++i) {
                    Derived::releaseElement(&items[i]);
                }
                if (fetched != nullptr) {
                    *fetched = 0;
                }
                position = start;
                return E_OUTOFMEMORY;
            }
            ++position;
            ++copied;
        }
        if (fetched != nullptr) {
            *fetched = copied;
        }
        return copied == count ? S_OK : S_FALSE;
    }

    int32_t Skip(uint32_t count) override {
        for (uint32_t step = 0; step < count; ++step) {
            if (collection == nullptr || position == collection->end()) {
                return S_FALSE;
            }
            ++position;
        }
        return S_OK;
    }

    int32_t Reset() override {
        if (collection == nullptr) {
            return E_FAIL;
        }
        position = collection->begin();
        return S_OK;
    }

    int32_t Clone(Itf** copy) override;

    IUnknown* owner = nullptr; // keeps collection alive; null: this enumerator owns it
    Coll* collection = nullptr;
    typename Coll::iterator position{};

protected:
    IKREnumOnSTLImpl() = default;
    ~IKREnumOnSTLImpl() = default;
};

template <class Itf, const _GUID* piid, class T, class Derived, class Coll, class ThreadModel>
class CKRComEnumOnSTL : public IKREnumOnSTLImpl<Itf, piid, T, Derived, Coll>,
                        public CKRComObjectRootEx<ThreadModel> {
public:
    static const KRInterfaceMapEntry* _GetEntries() {
        static const KRInterfaceMapEntry entries[] = {
            {piid, 0, kKRMapPlainOffset},
            {nullptr, 0, kKRMapEnd},
        };
        return entries;
    }

protected:
    CKRComEnumOnSTL() = default;
    virtual ~CKRComEnumOnSTL() {
        if (this->owner != nullptr) {
            this->owner->Release();
        }
    }
};

// A clone continues from where this enumerator stands, independently of it.
// It never owns the container: it holds a reference to whatever keeps the
// container alive (this enumerator's owner, or this enumerator itself), so a
// clone that outlives its source keeps working.
template <class Itf, const _GUID* piid, class T, class Derived, class Coll>
int32_t IKREnumOnSTLImpl<Itf, piid, T, Derived, Coll>::Clone(Itf** copy) {
    if (copy == nullptr) {
        return E_POINTER;
    }
    *copy = nullptr;
    using CloneClass =
        CKRComObject<CKRComEnumOnSTL<Itf, piid, T, Derived, Coll, CKRComMultiThreadModelNoCS>>;
    CloneClass* clone = nullptr;
    const int32_t created = CloneClass::CreateInstance(&clone);
    if (KR_FAILED(created)) {
        return created;
    }
    IUnknown* keeper = owner != nullptr ? owner : static_cast<IUnknown*>(this);
    if (collection != nullptr) {
        clone->Init(keeper, *collection);
        clone->position = position;
    }
    const int32_t status = clone->QueryInterface(*piid, reinterpret_cast<void**>(copy));
    if (KR_FAILED(status)) {
        delete clone;
        return status;
    }
    return S_OK;
}

// Names are handed out as length-prefixed copies the caller frees.
struct KRCopyNameElement {
    template <class Name>
    static bool copyElement(char16_t** item, const Name& name) {
        *item = BStrAlloc(name.c_str());
        return *item != nullptr;
    }
    static void releaseElement(char16_t** item) {
        BStrFree(*item);
        *item = nullptr;
    }
};

// Tags are plain 32-bit values.
struct KRCopyTagElement {
    static bool copyElement(uint32_t* item, uint32_t tag) {
        *item = tag;
        return true;
    }
    static void releaseElement(uint32_t*) {}
};

template <class Coll>
class CoxSysEnumItemNamesSTL
    : public CKRComEnumOnSTL<IoxSysEnumStringList, &IID_IoxSysEnumStringList, char16_t*,
                             CoxSysEnumItemNamesSTL<Coll>, Coll, CKRComMultiThreadModelNoCS>,
      public KRCopyNameElement {
protected:
    ~CoxSysEnumItemNamesSTL() override {
        if (this->owner == nullptr) {
            delete this->collection;
        }
    }
};

template <class Coll>
class CoxSysEnumPropertyTagsSTL
    : public CKRComEnumOnSTL<IoxSysEnumPropertyTag, &IID_IoxSysEnumPropertyTag, uint32_t,
                             CoxSysEnumPropertyTagsSTL<Coll>, Coll, CKRComMultiThreadModelNoCS>,
      public KRCopyTagElement {
protected:
    ~CoxSysEnumPropertyTagsSTL() override {
        if (this->owner == nullptr) {
            delete this->collection;
        }
    }
};

// Creates an enumerator with one reference that owns and walks collection.
// A failed creation is thrown as its status; the collection is freed then.
template <class Enumerator, class Coll>
CKRComObject<Enumerator>* CreateOwningEnumerator(std::unique_ptr<Coll> collection) {
    CKRComObject<Enumerator>* enumerator = CreateComObject<Enumerator>();
    enumerator->Init(nullptr, *collection.release());
    return enumerator;
}
