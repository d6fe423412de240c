// A host bag collection that keeps every bag it is given; it can be told to
// refuse from the n-th on.
#pragma once

#include "HostCounted.h"

#include <cstdint>
#include <vector>

class CollectingCollection : public IoxSysPropertyBagCollection, public HostCounted {
public:
    ~CollectingCollection();
    int32_t QueryInterface(const _GUID& iid, void** ppv) override;
    uint32_t AddRef() override { return addRef(); }
    uint32_t Release() override { return release(); }
    int32_t GetCount(uint32_t* count) override;
    int32_t GetPropertyBag(uint32_t index, IoxSysPropertyBag** bag) override;
    int32_t AddPropertyBag(IoxSysPropertyBag* bag) override;

    std::vector<IoxSysPropertyBag*> bags;
    size_t refuseFrom = SIZE_MAX; // 0-based index of the first bag refused
    int32_t refusal = E_FAIL;
};
