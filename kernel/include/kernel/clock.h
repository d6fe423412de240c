// The kernel's system clock: the tick that semTake's timeouts count.
#pragma once

#include "kernel/types.h"

// Ticks per second; 60 until changed.
int sysClkRateGet();

// Sets the ticks per second, from 1 to 100000; ERROR outside that range.
STATUS sysClkRateSet(int ticksPerSecond);
