// Reads a whole property bag the expert handed out into plain host values,
// giving back every string it receives.
#pragma once

#include "hostkit/Property.h"

#include "contract/oxSysInterfaces.h"

#include <optional>

// Every property of the bag, in the order the bag enumerates its tags. A
// value the bag refuses is kept with its status in readStatus. None when the
// bag cannot enumerate its tags.
std::optional<PropertyList> readProperties(IoxSysPropertyBag* bag);

// The value of one property through the getter of the type the bag gives
// for it; *status is the bag's answer (0 when read).
PropertyValue readValue(IoxSysPropertyBag* bag, uint32_t tag, oxSysAttributeType type,
                        int32_t* status);
