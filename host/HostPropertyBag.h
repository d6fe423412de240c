// The framework's bag of changes, as the host hands it to the expert's
// ValidatePropertyChanges: it remembers, in order, the tags set on it and
// answers EnumChangedTags with them. That is all the expert asks of such a
// bag, so the values are not kept and every other operation is E_NOTIMPL.
#pragma once

#include "HostObject.h"
#include "Property.h"

#include "contract/oxSysInterfaces.h"

#include <mutex>
#include <vector>

class HostPropertyBag final
    : public HostObject<IoxSysPropertyBag2, IID_IoxSysPropertyBag, IID_IoxSysPropertyBag2> {
public:
    // A new bag without changes, with one reference for the caller. May
    // throw std::bad_alloc.
    static HostPropertyBag* create() { return new HostPropertyBag; }

    // Each setter marks its tag changed.
    int32_t SetBooleanProperty(uint32_t tag, int32_t) override { return markChanged(tag); }
    int32_t SetIntegerProperty(uint32_t tag, int32_t) override { return markChanged(tag); }
    int32_t SetUnsignedIntegerProperty(uint32_t tag, uint32_t) override { return markChanged(tag); }
    int32_t SetDoubleProperty(uint32_t tag, double) override { return markChanged(tag); }
    int32_t SetGuidProperty(uint32_t tag, _GUID) override { return markChanged(tag); }
    int32_t SetStringProperty(uint32_t tag, const char16_t* value) override {
        return value != nullptr ? markChanged(tag) : E_POINTER;
    }

    // The changed tags in the order they were first set.
    int32_t EnumChangedTags(IoxSysEnumPropertyTag** tags) override;

    // What a bag of changes is never asked.
    int32_t EnumProperties(IoxSysEnumPropertyTag**) override { return E_NOTIMPL; }
    int32_t HasProperty(uint32_t) override { return E_NOTIMPL; }
    int32_t GetPropertyType(uint32_t, oxSysAttributeType*) override { return E_NOTIMPL; }
    int32_t DeleteProperty(uint32_t) override { return E_NOTIMPL; }
    int32_t DeleteAllProperties() override { return E_NOTIMPL; }
    int32_t _SetTimestampProperty(uint32_t, const oxSysAttrTimestamp*) override {
        return E_NOTIMPL;
    }
    int32_t GetBooleanProperty(uint32_t, int32_t*) override { return E_NOTIMPL; }
    int32_t GetIntegerProperty(uint32_t, int32_t*) override { return E_NOTIMPL; }
    int32_t GetUnsignedIntegerProperty(uint32_t, uint32_t*) override { return E_NOTIMPL; }
    int32_t GetDoubleProperty(uint32_t, double*) override { return E_NOTIMPL; }
    int32_t GetGuidProperty(uint32_t, _GUID*) override { return E_NOTIMPL; }
    int32_t GetStringProperty(uint32_t, char16_t**) override { return E_NOTIMPL; }
    int32_t GetTimestampProperty(uint32_t, oxSysAttrTimestamp*) override { return E_NOTIMPL; }
    int32_t Clone(IoxSysPropertyBag**) override { return E_NOTIMPL; }
    int32_t ClearChangedTags() override { return E_NOTIMPL; }

private:
    HostPropertyBag() = default;
    ~HostPropertyBag() override = default;

    int32_t markChanged(uint32_t tag);

    std::mutex m_lock;
    std::vector<uint32_t> m_changedTags; // in the order they were first set
};

// Sets the property's tag through the bag's typed setter for its type, as
// the framework does. E_NOTIMPL for a timestamp, which the bag has no setter
// for.
int32_t setThroughInterface(IoxSysPropertyBag* bag, const Property& property);
