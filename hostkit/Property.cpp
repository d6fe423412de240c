#include "hostkit/Property.h"

#include <cstring>
#include <type_traits>

const Property* findProperty(const PropertyList& properties, uint32_t tag) {
    for (const Property& property : properties) {
        if (property.tag == tag) {
            return &property;
        }
    }
    return nullptr;
}

bool sameValue(const Property& a, const Property& b) {
    if (a.type != b.type || a.readStatus != b.readStatus) {
        return false;
    }
    if (a.readStatus != 0) {
        return true;
    }
    if (a.value.index() != b.value.index()) {
        return false;
    }
    return std::visit(
        [&](const auto& left) {
            using T = std::decay_t<decltype(left)>;
            const T& right = std::get<T>(b.value);
            if constexpr (std::is_same_v<T, _GUID> || std::is_same_v<T, oxSysAttrTimestampUTC>) {
                return std::memcmp(&left, &right, sizeof left) == 0;
            } else {
                return left == right;
            }
        },
        a.value);
}

Property makeProperty(uint32_t tag, PropertyValue value) {
    Property property;
    property.tag = tag;
    property.type = oxSysAttributeType(value.index() + 1);
    property.value = std::move(value);
    return property;
}
