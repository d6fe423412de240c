// The kernel as the shipped module has it: no call fails on purpose, no
// thread runs at a simulated interrupt level or pauses after a give, the
// clock runs in real time, and nothing is read from the environment.
//
// A program that links the object library krkernel_seams gets the test
// seams instead (fault.cpp, simulation.cpp, clock_speedup.cpp): they define
// each of these functions, so this file is then never taken from the
// archive.
#include "fault_points.h"
#include "simulation_points.h"

#include "kernel/int.h"

bool kernelFaultDue(kernelFaultPoint) {
    return false;
}

BOOL intContext() {
    return 0;
}

void kernelPauseAfterGive() {}

unsigned kernelClockSpeedup() {
    return 1;
}
