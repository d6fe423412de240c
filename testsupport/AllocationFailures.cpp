#include "AllocationFailures.h"

#include <atomic>

namespace {

// Plain thread-local values: they are read by every allocation, including
// those made before main and while a thread starts.
thread_local long countdownOnThisThread = 0; // 0: this thread is not armed
thread_local Failing modeOnThisThread = Failing::EveryTimeAfter;
thread_local int pausedOnThisThread = 0;
thread_local bool exemptThread = false;
std::atomic<bool> failOtherThreads{false};
std::atomic<bool> failed{false};

} // namespace

bool allocationShouldFail() {
    if (pausedOnThisThread > 0) {
        return false;
    }
    if (countdownOnThisThread > 0) {
        if (countdownOnThisThread == 1) {
            failed = true;
            if (modeOnThisThread == Failing::Once) {
                countdownOnThisThread = 0;
            }
            return true; // otherwise stays at 1: every later allocation fails too
        }
        --countdownOnThisThread;
        return false;
    }
    if (failOtherThreads.load(std::memory_order_relaxed) && !exemptThread) {
        failed = true;
        return true;
    }
    return false;
}

void failAllocationsOnThisThread(long n, Failing mode) {
    failed = false;
    modeOnThisThread = mode;
    countdownOnThisThread = n;
}

void failAllocationsOnOtherThreads() {
    failed = false;
    exemptThread = true;
    failOtherThreads = true;
}

void stopFailingAllocations() {
    countdownOnThisThread = 0;
    failOtherThreads = false;
    exemptThread = false;
}

bool allocationFailureHappened() {
    return failed;
}

AllocationFailuresPaused::AllocationFailuresPaused() {
    ++pausedOnThisThread;
}

AllocationFailuresPaused::~AllocationFailuresPaused() {
    --pausedOnThisThread;
}
