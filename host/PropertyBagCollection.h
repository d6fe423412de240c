// The host's collection of property bags, which the expert fills during
// SearchForItemsAndProperties. It keeps one reference to every bag it holds.
#pragma once

#include "HostObject.h"

#include "contract/oxSysInterfaces.h"

#include <mutex>
#include <vector>

class PropertyBagCollection final : public HostObject<IoxSysPropertyBagCollection> {
public:
    // A new collection with one reference, for the caller.
    static PropertyBagCollection* create() { return new PropertyBagCollection; }

    int32_t GetCount(uint32_t* count) override;
    int32_t GetPropertyBag(uint32_t index, IoxSysPropertyBag** bag) override;
    int32_t AddPropertyBag(IoxSysPropertyBag* bag) override;

private:
    PropertyBagCollection() = default;
    ~PropertyBagCollection() override;

    std::mutex m_lock;
    std::vector<IoxSysPropertyBag*> m_bags; // one reference each
};
