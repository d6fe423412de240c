// Where the kernel's calls apply simulated conditions (inside the kernel
// stand-in only).
#pragma once

// Pauses the calling thread if it simulates being preempted after a give.
void kernelPauseAfterGive();

// How many times faster than real time the clock runs (1 without seams).
unsigned kernelClockSpeedup();
