// Absolute time: seconds since 1904-01-01 00:00:00 UTC as a signed 64.64
// fixed-point number.
#pragma once

#include "tarn/FixedPoint128.h"

namespace kr::tarn {

using AbsTime = tFixedPoint128<64u, true>;

// Words 0x80000000, 0, 0, 0 and 0x7FFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF.
template <>
const AbsTime AbsTime::min;
template <>
const AbsTime AbsTime::max;

// The seconds from 1904-01-01 to 1970-01-01: 2,082,844,800.
extern const AbsTime k_1970_TO_1904_BIAS;

} // namespace kr::tarn
