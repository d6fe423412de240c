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
