// Waiting for what a test is not told of, only sees afterwards: another
// thread's progress, a driver's call count, a file or a camera appearing.
#pragma once

#include <chrono>
#include <thread>

// How long a test waits for something that should come: far beyond what it
// takes on a slow, loaded machine, under emulation or a sanitizer.
constexpr std::chrono::seconds kPatience{30};

// Polls condition until it holds; false when it still does not after limit.
template <typename Condition>
bool waitUntil(Condition condition, std::chrono::milliseconds limit = kPatience) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}
