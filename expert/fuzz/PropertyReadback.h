// Reads every property of a bag back through the host's operations.
#pragma once

#include "contract/oxSysInterfaces.h"

#include <string>

namespace expertfuzz {

// Enumerates the bag's tags and reads each with the getter of its type (and
// once with a getter of another type, which must refuse); traps on a bag
// that contradicts itself. Returns the item's name property.
std::u16string readEveryProperty(IoxSysPropertyBag* bag);

// The item's name property alone.
std::u16string itemNameOf(IoxSysPropertyBag* bag);

} // namespace expertfuzz
