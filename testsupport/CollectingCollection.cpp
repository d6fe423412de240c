#include "CollectingCollection.h"

CollectingCollection::~CollectingCollection() {
    for (IoxSysPropertyBag* bag : bags) {
        bag->Release();
    }
}

int32_t CollectingCollection::QueryInterface(const _GUID& iid, void** ppv) {
    return answerUnknownOnly(this, iid, ppv);
}

int32_t CollectingCollection::GetCount(uint32_t* count) {
    *count = uint32_t(bags.size());
    return S_OK;
}

int32_t CollectingCollection::GetPropertyBag(uint32_t index, IoxSysPropertyBag** bag) {
    if (index >= bags.size()) {
        return E_FAIL;
    }
    bags[index]->AddRef();
    *bag = bags[index];
    return S_OK;
}

int32_t CollectingCollection::AddPropertyBag(IoxSysPropertyBag* bag) {
    if (bags.size() >= refuseFrom) {
        return refusal;
    }
    try {
        bags.reserve(bags.size() + 1); // no exception may reach the expert
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    bag->AddRef();
    bags.push_back(bag);
    return S_OK;
}
