// Absolute time to the controller's local calendar time.
#pragma once

#include "tarn/AbsTime.h"

#include <ctime>

namespace kr::tarn {

// Fills out with the local calendar time of time (through localtime_r) and
// returns it. The time is rounded to a whole second, to the nearest (ties to
// even) when roundToNearest is set, else toward zero. A time whose rounded
// second count since 1970-01-01 UTC lies outside the 32-bit time_t range, or
// that localtime_r cannot convert, throws OutOfRange and leaves out alone.
std::tm& AbsTimeToLocalTime(const AbsTime& time, bool roundToNearest, std::tm& out);

} // namespace kr::tarn
