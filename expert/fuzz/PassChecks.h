// What the host checks after each refresh pass.
#pragma once

#include "expert/fuzz/ItemKey.h"
#include "expert/fuzz/NotifiedInventory.h"
#include "contract/oxSysInterfaces.h"

namespace expertfuzz {

struct PassExpectations {
    ItemKeySet expectedKeys; // from what the driver handed over (ExpectedNames.h)
    bool everyTextConverts;  // no byte refused: every item's bag can be filled
};

// The names a search finds must be the inventory the handler rebuilt and
// the expected names; every name must have a bag that reads back whole, in
// the full search and on its own; a name that is gone has none.
void checkAfterPass(IoxSysExpert2* expert, const NotifiedInventory& handler,
                    const PassExpectations& expectations);

} // namespace expertfuzz
