#include "quarks/clockTicks.h"

#include "kernel/clock.h"
#include "kernel/types.h"

#include <climits>

namespace nKRZEPH000 {

namespace {

constexpr uint64_t kPicosecondsPerSecond = 1000000000000ull;
constexpr uint64_t kPicosecondsPerMillisecond = 1000000000ull;
constexpr uint32_t kSecondsUnit = 4;

} // namespace

uint64_t ClockTickPeriod(uint32_t unit) {
    // The kernel never reports fewer than one tick per second; should it,
    // one per second keeps the division defined.
    const int rate = sysClkRateGet();
    uint64_t period = kPicosecondsPerSecond / uint64_t(rate > 0 ? rate : 1);
    for (uint32_t u = 1; u <= unit; ++u) {
        period /= u <= kSecondsUnit ? 1000 : 60;
    }
    return period;
}

int timeoutToTicks(int32_t timeoutMs) {
    if (timeoutMs < 0) {
        return WAIT_FOREVER;
    }
    if (timeoutMs == 0) {
        return NO_WAIT;
    }
    const uint64_t period = ClockTickPeriod(0);
    const uint64_t ticks = (uint64_t(timeoutMs) * kPicosecondsPerMillisecond + period - 1) / period;
    return ticks > uint64_t(INT_MAX) ? INT_MAX : int(ticks);
}

} // namespace nKRZEPH000
