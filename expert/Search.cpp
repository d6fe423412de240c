// The host's searches: item names, one property bag per item, the bag of
// one named item, and a fresh bag for a refresh request.
#include "expert/CoxSysVyrex.h"

#include "contract/ComRef.h"
#include "objectmodel/Boundary.h"
#include "objectmodel/CoxDynamicPropertyBag.h"
#include "objectmodel/EnumOnSTL.h"

#include <memory>

namespace nKRVYREX_SYSAPI_EXPERT_18_5 {

namespace {

using NameListEnumerator = CoxSysEnumItemNamesSTL<ItemNameList>;

// A new bag whose one reference the holder gives back on every way out
// unless it is handed on.
using NewBag = ComRef<IoxSysPropertyBag3>;

NewBag CreateBag() {
    return NewBag(CreateComObject<CoxDynamicPropertyBag>());
}

// A bag nobody else sees yet is filled under its batch lock, so that each
// property it is given takes the bag's lock without a kernel call.
int32_t FillNewBag(CoxSysVyrex& expert, const char16_t* name, const NewBag& bag) {
    bag->AcquireBatchLock();
    const int32_t status = expert.FillItemProperties(name, bag.get());
    bag->ReleaseBatchLock();
    return status;
}

} // namespace

bool CoxSysVyrex::HasItem(const ItemName& name) const {
    return m_cameras.count(name) != 0 || m_frameGrabbers.count(name) != 0;
}

// Waits for the first completed refresh (without m_lock, so the refresh
// thread can finish it), then copies every camera name and then every frame
// grabber name, each in key order.
int32_t CoxSysVyrex::CollectItemNames(ItemNameList& names) {
    nKRZEPH000::tStatus waitStatus;
    m_firstRefreshEvent.wait(-1, waitStatus);
    nKRZEPH000::tSemaphoreLock hold(m_lock);
    for (const auto& entry : m_cameras) {
        names.push_back(entry.first);
    }
    for (const auto& entry : m_frameGrabbers) {
        names.push_back(entry.first);
    }
    return S_OK;
}

int32_t CoxSysVyrex::GetPropertiesOfItem(const char16_t* item, IoxSysPropertyBag** bag) {
    if (bag == nullptr) {
        return E_POINTER;
    }
    *bag = nullptr;
    if (item == nullptr) {
        return E_POINTER;
    }
    return KRStatusOf([&] {
        NewBag created = CreateBag();
        const int32_t status = FillNewBag(*this, item, created);
        if (status == S_OK) {
            *bag = created.release();
        }
        return status;
    });
}

// An item removed between the name snapshot and its filling, or one whose
// properties cannot be built, is left out. A failure of the collection, or
// of the heap, ends the search with that status; bags already added stay in
// the collection.
int32_t CoxSysVyrex::SearchForItemsAndProperties(IoxSysPropertyBagCollection* collection) {
    if (collection == nullptr) {
        return E_POINTER;
    }
    return KRStatusOf([&] {
        ItemNameList names;
        CollectItemNames(names);
        bool added = false;
        for (const ItemName& name : names) {
            NewBag bag = CreateBag();
            const int32_t filled = FillNewBag(*this, name.c_str(), bag);
            if (filled == E_OUTOFMEMORY) {
                return filled; // a search that would silently lose items
            }
            if (KR_FAILED(filled)) {
                continue; // gone since the names were taken, or not describable
            }
            const int32_t status = collection->AddPropertyBag(bag.get());
            if (KR_FAILED(status)) {
                return status;
            }
            added = true;
        }
        return added ? S_OK : S_FALSE;
    });
}

int32_t CoxSysVyrex::SearchForItemNames(IoxSysEnumStringList** names) {
    if (names == nullptr) {
        return E_POINTER;
    }
    return KRStatusOf([&] {
        auto list = std::make_unique<ItemNameList>();
        CollectItemNames(*list);
        if (list->empty()) {
            return S_FALSE;
        }
        *names = CreateOwningEnumerator<NameListEnumerator>(std::move(list));
        return S_OK;
    });
}

// The tag list and the flag are accepted and not used: the bag always
// carries every property of the item.
int32_t CoxSysVyrex::PopulateOrRefreshProperties(const char16_t* item, uint32_t, const uint32_t*,
                                                 int32_t, IoxSysPropertyBag** bag) {
    if (item == nullptr) {
        return E_POINTER;
    }
    nKRZEPH000::tSemaphoreLock hold(m_lock);
    return KRStatusOf([&] {
        if (!HasItem(ItemName(item))) {
            return OX_E_ITEM_NOT_FOUND;
        }
        return static_cast<IoxSysExpert*>(this)->GetPropertiesOfItem(item, bag);
    });
}

} // namespace nKRVYREX_SYSAPI_EXPERT_18_5
