#include "clock.h"

#include "kernel/clock.h"
#include "simulation_points.h"

#include <atomic>
#include <cstdint>

namespace {

constexpr int kDefaultRate = 60;
constexpr int kMaximumRate = 100000;

std::atomic<int> rate{kDefaultRate};
} // namespace

int sysClkRateGet() {
    return rate.load(std::memory_order_relaxed);
}

STATUS sysClkRateSet(int ticksPerSecond) {
    if (ticksPerSecond < 1 || ticksPerSecond > kMaximumRate) {
        return ERROR;
    }
    rate.store(ticksPerSecond, std::memory_order_relaxed);
    return OK;
}

std::chrono::nanoseconds kernelTicksDuration(int ticks) {
    // ticks < 2^31 and 10^9 ns per second keep the product within 63 bits.
    const int64_t ticksPerSecond = int64_t(sysClkRateGet()) * kernelClockSpeedup();
    return std::chrono::nanoseconds(int64_t(ticks) * 1000000000 / ticksPerSecond);
}
