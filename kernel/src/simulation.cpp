// The conditions that tests simulate, per calling thread.
#include "simulation_points.h"

#include "kernel/int.h"
#include "kernel/simulation.h"

#include <chrono>
#include <thread>

namespace {

thread_local bool simulatedInterruptLevel = false;
thread_local unsigned pauseAfterGiveMicroseconds = 0;

} // namespace

BOOL intContext() {
    return simulatedInterruptLevel ? 1 : 0;
}

void kernelSimulateInterruptLevel(bool atInterruptLevel) {
    simulatedInterruptLevel = atInterruptLevel;
}

void kernelSimulatePreemptionAfterGive(unsigned microseconds) {
    pauseAfterGiveMicroseconds = microseconds;
}

void kernelPauseAfterGive() {
    if (pauseAfterGiveMicroseconds != 0) {
        std::this_thread::sleep_for(std::chrono::microseconds(pauseAfterGiveMicroseconds));
    }
}
