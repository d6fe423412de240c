// Where the kernel's calls ask the fault seam (inside the kernel stand-in
// only).
#pragma once

#include "kernel/fault.h"

// True when this call of `point` is the one armed to fail; counts the call.
bool kernelFaultDue(kernelFaultPoint point);
