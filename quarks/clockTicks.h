// Kernel clock ticks: their length, and timeouts in milliseconds as ticks.
#pragma once

#include <cstdint>

namespace nKRZEPH000 {

// The length of one kernel clock tick (sysClkRateGet ticks per second) in
// the given unit: 0 picoseconds, 1 nanoseconds, 2 microseconds,
// 3 milliseconds, 4 seconds, 5 minutes, 6 hours; each unit from 7 on is
// 60 times the one before. Integer arithmetic throughout.
uint64_t ClockTickPeriod(uint32_t unit);

// A timeout in milliseconds as the tick count semTake expects: -1 is
// WAIT_FOREVER, 0 is NO_WAIT, any other t is ceil(t * 10^9 / P) ticks with P
// the tick length in picoseconds. Negative values other than -1 also wait
// without limit; counts beyond the largest int are cut to it.
int timeoutToTicks(int32_t timeoutMs);

} // namespace nKRZEPH000
