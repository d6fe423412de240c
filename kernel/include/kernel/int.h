// Interrupt context of the real-time kernel.
#pragma once

#include "kernel/types.h"

// 1 when the caller runs at interrupt level, 0 otherwise. The stand-in has
// no interrupts; tests simulate them (kernel/simulation.h).
BOOL intContext();
