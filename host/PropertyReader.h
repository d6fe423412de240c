// Reads what the expert hands out (property bags, name and tag enumerators)
// into plain host values, giving back every string it receives.
#pragma once

#include "Property.h"

#include "contract/oxSysInterfaces.h"

#include <string>
#include <vector>

// Every property of the bag, in the order the bag enumerates its tags. A
// value the bag refuses is kept with its status in readStatus. Throws
// HostError when the bag cannot enumerate its tags.
PropertyList readProperties(IoxSysPropertyBag* bag);

// The remaining names of the enumerator, in its order (null gives none).
std::vector<std::string> readNames(IoxSysEnumStringList* names);

// The remaining tags of the enumerator, in its order (null gives none).
std::vector<uint32_t> readTags(IoxSysEnumPropertyTag* tags);
