// The length of clock ticks in real time (inside the kernel stand-in only).
#pragma once

#include <chrono>

// How long `ticks` ticks last at the present rate and speed-up.
std::chrono::nanoseconds kernelTicksDuration(int ticks);
