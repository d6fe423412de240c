#include "clock.h"

#include "kernel/clock.h"
#include "kernel/simulation.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr int kDefaultRate = 60;
constexpr int kMaximumRate = 100000;

std::atomic<int> rate{kDefaultRate};
// A process whose environment sets KRKERNEL_CLOCK_SPEEDUP starts with that
// speed-up: a test that loads the module (whose copy of this layer it cannot
// reach) still gets a fast clock for the module's waits.
unsigned speedupFromEnvironment() {
    const char* text = std::getenv("KRKERNEL_CLOCK_SPEEDUP");
    if (text == nullptr) {
        return 1;
    }
    const unsigned long factor = std::strtoul(text, nullptr, 10);
    return factor == 0 || factor > 1000000 ? 1 : unsigned(factor);
}

std::atomic<unsigned> speedup{speedupFromEnvironment()};

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

void kernelSetClockSpeedup(unsigned factor) {
    speedup.store(factor == 0 ? 1 : factor, std::memory_order_relaxed);
}

unsigned kernelClockSpeedup() {
    return speedup.load(std::memory_order_relaxed);
}

std::chrono::nanoseconds kernelTicksDuration(int ticks) {
    // ticks < 2^31 and 10^9 ns per second keep the product within 63 bits.
    const int64_t ticksPerSecond = int64_t(sysClkRateGet()) * kernelClockSpeedup();
    return std::chrono::nanoseconds(int64_t(ticks) * 1000000000 / ticksPerSecond);
}
