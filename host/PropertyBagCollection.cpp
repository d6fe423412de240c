#include "PropertyBagCollection.h"

#include <new>

PropertyBagCollection::~PropertyBagCollection() {
    for (IoxSysPropertyBag* bag : m_bags) {
        bag->Release();
    }
}

int32_t PropertyBagCollection::GetCount(uint32_t* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    std::lock_guard<std::mutex> hold(m_lock);
    *count = uint32_t(m_bags.size());
    return S_OK;
}

int32_t PropertyBagCollection::GetPropertyBag(uint32_t index, IoxSysPropertyBag** bag) {
    if (bag == nullptr) {
        return E_POINTER;
    }
    std::lock_guard<std::mutex> hold(m_lock);
    if (index >= m_bags.size()) {
        *bag = nullptr;
        return E_FAIL;
    }
    *bag = m_bags[index];
    (*bag)->AddRef();
    return S_OK;
}

int32_t PropertyBagCollection::AddPropertyBag(IoxSysPropertyBag* bag) {
    if (bag == nullptr) {
        return E_POINTER;
    }
    std::lock_guard<std::mutex> hold(m_lock);
    try {
        m_bags.push_back(bag);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    bag->AddRef();
    return S_OK;
}
