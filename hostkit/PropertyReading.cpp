#include "hostkit/PropertyReading.h"

#include "hostkit/Enumerators.h"
#include "hostkit/ExpertTexts.h"

#include "contract/ComRef.h"
#include "contract/Status.h"

namespace {

PropertyValue readTimestamp(IoxSysPropertyBag* bag, uint32_t tag, int32_t& status) {
    oxSysAttrTimestampUTC value{};
    ComRef<IoxSysPropertyBag3> bag3;
    status = bag->QueryInterface(IID_IoxSysPropertyBag3, reinterpret_cast<void**>(bag3.put()));
    if (status >= 0 && bag3) {
        status = bag3->GetTimestampPropertyUTC(tag, &value);
    }
    return value;
}

PropertyValue readValue(IoxSysPropertyBag* bag, uint32_t tag, oxSysAttributeType type,
                        int32_t& status) {
    switch (type) {
    case oxSysAttributeType_Boolean: {
        int32_t value = 0;
        status = bag->GetBooleanProperty(tag, &value);
        return value != 0;
    }
    case oxSysAttributeType_Integer: {
        int32_t value = 0;
        status = bag->GetIntegerProperty(tag, &value);
        return value;
    }
    case oxSysAttributeType_UnsignedInteger: {
        uint32_t value = 0;
        status = bag->GetUnsignedIntegerProperty(tag, &value);
        return value;
    }
    case oxSysAttributeType_Double: {
        double value = 0;
        status = bag->GetDoubleProperty(tag, &value);
        return value;
    }
    case oxSysAttributeType_Guid: {
        _GUID value{};
        status = bag->GetGuidProperty(tag, &value);
        return value;
    }
    case oxSysAttributeType_String: {
        char16_t* value = nullptr;
        status = bag->GetStringProperty(tag, &value);
        return takeUtf8(value);
    }
    case oxSysAttributeType_TimestampUTC:
        return readTimestamp(bag, tag, status);
    }
    status = OX_E_PROPERTY_TYPE_MISMATCH; // a type this host does not know
    return false;
}

} // namespace

std::optional<PropertyList> readProperties(IoxSysPropertyBag* bag) {
    ComRef<IoxSysEnumPropertyTag> tags;
    if (bag->EnumProperties(tags.put()) < 0) {
        return std::nullopt;
    }
    const std::optional<std::vector<uint32_t>> tagList = drainTags(tags.get());
    if (!tagList) {
        return std::nullopt;
    }
    PropertyList properties;
    for (uint32_t tag : *tagList) {
        Property property;
        property.tag = tag;
        property.readStatus = bag->GetPropertyType(tag, &property.type);
        if (property.readStatus >= 0) {
            property.readStatus = 0;
            property.value = readValue(bag, tag, property.type, property.readStatus);
            property.readStatus = property.readStatus < 0 ? property.readStatus : 0;
        } else {
            property.type = oxSysAttributeType(0);
        }
        properties.push_back(std::move(property));
    }
    return properties;
}
