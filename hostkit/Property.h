// One property of an item as the host keeps it: tag, type and value, read
// out of the expert's bag into plain values.
#pragma once

#include "contract/Guid.h"
#include "contract/oxSysTypes.h"

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

// Alternatives in the order of oxSysAttributeType (1 boolean ... 7 timestamp).
using PropertyValue =
    std::variant<bool, int32_t, uint32_t, double, _GUID, std::string, oxSysAttrTimestampUTC>;

struct Property {
    uint32_t tag = 0;
    oxSysAttributeType type = oxSysAttributeType_String;
    PropertyValue value;
    int32_t readStatus = 0; // not 0: the bag refused the value; value is meaningless
};

using PropertyList = std::vector<Property>;

// The property with that tag, or null.
const Property* findProperty(const PropertyList& properties, uint32_t tag);

// True when both hold the same type and value (both unreadable counts as same).
bool sameValue(const Property& a, const Property& b);

// A value together with the type it belongs to.
Property makeProperty(uint32_t tag, PropertyValue value);

// The value under tag when it has the type T, or fallback.
template <class T>
T propertyOr(const PropertyList& properties, uint32_t tag, T fallback) {
    const Property* found = findProperty(properties, tag);
    if (found == nullptr || found->readStatus != 0 || !std::holds_alternative<T>(found->value)) {
        return fallback;
    }
    return std::get<T>(found->value);
}
