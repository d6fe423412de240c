// An in-process camera driver for benchmarks: it answers the five driver
// functions from records made once, so that a benchmark measures the
// expert and not the driver.
#pragma once

#include "driver/VyrexDriver.h"

#include <cstddef>
#include <string>

namespace benchdriver {

// Network cameras named cam00000, cam00001, ... and frame grabbers named
// fg00000, ...; replaces what was there.
void Populate(size_t cameras, size_t frameGrabbers);

// Changes the model text of every step-th camera (a pass then finds them
// changed).
void ChangeEvery(size_t step);

// The interface name of camera i.
std::string CameraName(size_t i);

} // namespace benchdriver
