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
    return 0;
}

int32_t CollectingCollection::GetPropertyBag(uint32_t index, IoxSysPropertyBag** bag) {
    if (index >= bags.size()) {
        return int32_t(0x80004005);
    }
    bags[index]->AddRef();
    *bag = bags[index];
    return 0;
}

int32_t CollectingCollection::AddPropertyBag(IoxSysPropertyBag* bag) {
    if (bags.size() >= refuseFrom) {
        return refusal;
    }
    try {
        bags.reserve(bags.size() + 1); // no exception may reach the expert
    } catch (...) {
        return int32_t(0x8007000E);
    }
    bag->AddRef();
    bags.push_back(bag);
    return 0;
}
