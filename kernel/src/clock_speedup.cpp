// The clock speed-up that tests set, and that a process which loads the
// test build of the module takes from its environment.
#include "simulation_points.h"

#include "kernel/simulation.h"

#include <atomic>
#include <cstdlib>

namespace {

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

void kernelSetClockSpeedup(unsigned factor) {
    speedup.store(factor == 0 ? 1 : factor, std::memory_order_relaxed);
}

unsigned kernelClockSpeedup() {
    return speedup.load(std::memory_order_relaxed);
}
