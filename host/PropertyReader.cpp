#include "PropertyReader.h"

#include "HostError.h"
#include "HostObject.h"
#include "HostStrings.h"
#include "StatusNames.h"

#include "contract/BStr.h"

namespace {

constexpr uint32_t kBatch = 16;

// Strings received in one batch; whatever was not taken is freed on the way
// out, so an exception loses none of them.
struct ReceivedStrings {
    char16_t* items[kBatch] = {};
    ~ReceivedStrings() {
        for (char16_t* item : items) {
            BStrFree(item);
        }
    }
    std::string take(uint32_t i) {
        char16_t* item = items[i];
        items[i] = nullptr;
        return takeExpertString(item);
    }
};

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
        return takeExpertString(value);
    }
    case oxSysAttributeType_TimestampUTC:
        return readTimestamp(bag, tag, status);
    }
    status = OX_E_PROPERTY_TYPE_MISMATCH; // a type this host does not know
    return false;
}

} // namespace

PropertyList readProperties(IoxSysPropertyBag* bag) {
    ComRef<IoxSysEnumPropertyTag> tags;
    const int32_t status = bag->EnumProperties(tags.put());
    if (status < 0) {
        throw HostError("The expert's property bag cannot enumerate its properties: status " +
                        describeStatus(status) + ".");
    }
    PropertyList properties;
    for (uint32_t tag : readTags(tags.get())) {
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

std::vector<std::string> readNames(IoxSysEnumStringList* names) {
    std::vector<std::string> out;
    if (names == nullptr) {
        return out;
    }
    for (;;) {
        ReceivedStrings batch;
        uint32_t fetched = 0;
        const int32_t status = names->Next(kBatch, batch.items, &fetched);
        if (status < 0) {
            break;
        }
        for (uint32_t i = 0; i < fetched && i < kBatch; ++i) {
            out.push_back(batch.take(i));
        }
        if (status != S_OK || fetched < kBatch) {
            break;
        }
    }
    return out;
}

std::vector<uint32_t> readTags(IoxSysEnumPropertyTag* tags) {
    std::vector<uint32_t> out;
    if (tags == nullptr) {
        return out;
    }
    for (;;) {
        uint32_t batch[kBatch] = {};
        uint32_t fetched = 0;
        const int32_t status = tags->Next(kBatch, batch, &fetched);
        if (status < 0) {
            break;
        }
        for (uint32_t i = 0; i < fetched && i < kBatch; ++i) {
            out.push_back(batch[i]);
        }
        if (status != S_OK || fetched < kBatch) {
            break;
        }
    }
    return out;
}
