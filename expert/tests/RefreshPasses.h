// Counting the refresh passes of experts over the simulated driver, from
// the driver's side: the passes give no other sign when nothing changes.
#pragma once

#include "Waiting.h"

#include "simdriver/SimDriver.h"

#include <cstdint>

// Waits until at least `passes` whole refresh passes, deliveries included,
// have run since the call. A pass enumerates the cameras once, or twice when
// there are any; the pass in progress may add one call, and the first call
// of the pass after the last one tells that it is over.
inline bool waitForPasses(uint32_t passes) {
    const uint32_t before = vyrexsim::CallCount(vyrexsim::Function::EnumerateCameras);
    return waitUntil([&] {
        return vyrexsim::CallCount(vyrexsim::Function::EnumerateCameras) >= before + 2 * passes + 2;
    });
}
