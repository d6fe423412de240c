#include "expert/fuzz/HostBagCollection.h"

#include "contract/Status.h"

namespace expertfuzz {

HostBagCollection::~HostBagCollection() {
    for (IoxSysPropertyBag* bag : m_bags) {
        bag->Release();
    }
}

int32_t HostBagCollection::QueryInterface(const _GUID& iid, void** ppv) {
    if (ppv == nullptr) {
        return E_POINTER;
    }
    *ppv = nullptr;
    if (!IsEqualGUID(iid, IID_IUnknown)) {
        return E_NOINTERFACE;
    }
    AddRef();
    *ppv = static_cast<IUnknown*>(this);
    return S_OK;
}

int32_t HostBagCollection::GetCount(uint32_t* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = uint32_t(m_bags.size());
    return S_OK;
}

int32_t HostBagCollection::GetPropertyBag(uint32_t index, IoxSysPropertyBag** bag) {
    if (bag == nullptr) {
        return E_POINTER;
    }
    *bag = nullptr;
    if (index >= m_bags.size()) {
        return E_FAIL;
    }
    m_bags[index]->AddRef();
    *bag = m_bags[index];
    return S_OK;
}

// No exception may reach the expert: the place is made before the bag is kept.
int32_t HostBagCollection::AddPropertyBag(IoxSysPropertyBag* bag) {
    if (bag == nullptr) {
        return E_POINTER;
    }
    try {
        m_bags.reserve(m_bags.size() + 1);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    bag->AddRef();
    m_bags.push_back(bag);
    return S_OK;
}

} // namespace expertfuzz
