// The host's collection for SearchForItemsAndProperties: keeps a reference
// to every bag it is given and gives them all back when destroyed.
#pragma once

#include "contract/oxSysInterfaces.h"

#include <cstdint>
#include <vector>

namespace expertfuzz {

class HostBagCollection final : public IoxSysPropertyBagCollection {
public:
    HostBagCollection() = default;
    ~HostBagCollection();
    HostBagCollection(const HostBagCollection&) = delete;
    HostBagCollection& operator=(const HostBagCollection&) = delete;

    int32_t QueryInterface(const _GUID& iid, void** ppv) override;
    uint32_t AddRef() override { return ++m_references; }
    uint32_t Release() override { return --m_references; }
    int32_t GetCount(uint32_t* count) override;
    int32_t GetPropertyBag(uint32_t index, IoxSysPropertyBag** bag) override;
    int32_t AddPropertyBag(IoxSysPropertyBag* bag) override;

    const std::vector<IoxSysPropertyBag*>& bags() const { return m_bags; }
    // The collection's own reference is one of them.
    uint32_t references() const { return m_references; }

private:
    uint32_t m_references = 1;
    std::vector<IoxSysPropertyBag*> m_bags;
};

} // namespace expertfuzz
