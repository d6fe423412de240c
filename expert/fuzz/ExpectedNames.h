// The item names the expert should hold after a pass, worked out from what
// the hostile driver handed it in that pass.
#pragma once

#include "expert/fuzz/HostileDriver.h"
#include "expert/fuzz/ItemKey.h"

namespace expertfuzz {

ItemKeySet expectedItemKeys(const HostileDriver& driver);

} // namespace expertfuzz
