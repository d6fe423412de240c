// The host's own property bag: the bag the framework edits and passes back
// to the expert for validation. It remembers, in order, the tags set since
// its changes were last cleared.
#pragma once

#include "HostObject.h"
#include "Property.h"

#include "contract/oxSysInterfaces.h"

#include <mutex>
#include <vector>

class HostPropertyBag final
    : public HostObject<IoxSysPropertyBag2, IID_IoxSysPropertyBag, IID_IoxSysPropertyBag2> {
public:
    // A new bag with one reference for the caller, holding these properties
    // with none of them marked as changed. May throw std::bad_alloc.
    static HostPropertyBag* create(const PropertyList& properties = {});

    // Stores a value of any type under its tag and marks the tag changed.
    int32_t setProperty(const Property& property);

    PropertyList properties() const;

    // IoxSysPropertyBag
    int32_t EnumProperties(IoxSysEnumPropertyTag** tags) override;
    int32_t HasProperty(uint32_t tag) override;
    int32_t GetPropertyType(uint32_t tag, oxSysAttributeType* type) override;
    int32_t DeleteProperty(uint32_t tag) override;
    int32_t DeleteAllProperties() override;
    int32_t SetBooleanProperty(uint32_t tag, int32_t value) override;
    int32_t SetIntegerProperty(uint32_t tag, int32_t value) override;
    int32_t SetUnsignedIntegerProperty(uint32_t tag, uint32_t value) override;
    int32_t SetDoubleProperty(uint32_t tag, double value) override;
    int32_t SetGuidProperty(uint32_t tag, _GUID value) override;
    int32_t SetStringProperty(uint32_t tag, const char16_t* value) override;
    int32_t _SetTimestampProperty(uint32_t tag, const oxSysAttrTimestamp* value) override;
    int32_t GetBooleanProperty(uint32_t tag, int32_t* value) override;
    int32_t GetIntegerProperty(uint32_t tag, int32_t* value) override;
    int32_t GetUnsignedIntegerProperty(uint32_t tag, uint32_t* value) override;
    int32_t GetDoubleProperty(uint32_t tag, double* value) override;
    int32_t GetGuidProperty(uint32_t tag, _GUID* value) override;
    int32_t GetStringProperty(uint32_t tag, char16_t** value) override;
    int32_t GetTimestampProperty(uint32_t tag, oxSysAttrTimestamp* value) override;

    // IoxSysPropertyBag2
    int32_t Clone(IoxSysPropertyBag** copy) override;
    int32_t ClearChangedTags() override;
    int32_t EnumChangedTags(IoxSysEnumPropertyTag** tags) override;

private:
    HostPropertyBag() = default;
    ~HostPropertyBag() override = default;

    // The stored value of type T under tag, or the failing status.
    template <class T>
    int32_t getTyped(uint32_t tag, T* value);

    static int32_t enumerate(std::vector<uint32_t> tags, IoxSysEnumPropertyTag** enumerator);

    mutable std::mutex m_lock;
    PropertyList m_properties;           // in the order the tags were first set
    std::vector<uint32_t> m_changedTags; // in the order they were first changed
};

// Stores the property through the bag's typed setter for its type.
// E_NOTIMPL for a timestamp, which IoxSysPropertyBag2 has no setter for.
int32_t setThroughInterface(IoxSysPropertyBag* bag, const Property& property);
