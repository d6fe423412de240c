// What changed between two pictures of one item.
#pragma once

#include "hostkit/Property.h"

#include <optional>
#include <vector>

struct PropertyChange {
    uint32_t tag = 0;
    std::optional<Property> before; // none: the property appeared
    std::optional<Property> after;  // none: the property went away
};

// The properties whose type or value differ, that appeared or that went
// away: first in the order of after, then those only before had.
std::vector<PropertyChange> diffProperties(const PropertyList& before, const PropertyList& after);
