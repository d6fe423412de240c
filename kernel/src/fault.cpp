#include "fault_points.h"

#include <atomic>

namespace {

constexpr int kPointCount = 3;

// Calls left until the armed failure, per point; 0 when disarmed.
std::atomic<int> callsUntilFailure[kPointCount];

std::atomic<int>& countdown(kernelFaultPoint point) {
    return callsUntilFailure[static_cast<int>(point)];
}

} // namespace

void kernelFailNthCall(kernelFaultPoint point, int n) {
    countdown(point).store(n > 0 ? n : 0);
}

bool kernelFaultArmed(kernelFaultPoint point) {
    return countdown(point).load() > 0;
}

void kernelClearFaults() {
    for (std::atomic<int>& left : callsUntilFailure) {
        left.store(0);
    }
}

bool kernelFaultDue(kernelFaultPoint point) {
    std::atomic<int>& left = countdown(point);
    int now = left.load();
    while (now > 0) {
        if (left.compare_exchange_weak(now, now - 1)) {
            return now == 1;
        }
    }
    return false;
}
