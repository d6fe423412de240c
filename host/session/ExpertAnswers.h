// camexpert's way with what the expert hands out, over the kit's readers:
// texts in UTF-8, a broken enumerator read as empty, and a bag
// that cannot enumerate its properties a HostError.
#pragma once

#include "hostkit/Property.h"

#include "contract/oxSysInterfaces.h"

#include <cstdint>
#include <string>
#include <vector>

PropertyList propertiesOf(IoxSysPropertyBag* bag);
std::vector<std::string> namesOf(IoxSysEnumStringList* names);
std::vector<uint32_t> tagsOf(IoxSysEnumPropertyTag* tags);
