// The statuses the driver functions return; the same numbers as the
// simulated driver's, so the expert sees one convention whichever is loaded.
#pragma once

#include <cstdint>

namespace vyrexaravis {

constexpr int32_t kStatusOk = 0;
constexpr int32_t kStatusBadArgument = -2; // null pointer, zero size, flag not 1, property not 1..4
constexpr int32_t kStatusNoSuchCamera =
    -3; // no camera of the latest discovery has that name / serial
constexpr int32_t kStatusBufferTooSmall = -4; // the driver name was cut to fit the buffer
constexpr int32_t kStatusInternalError = -5;  // the backend itself failed (out of memory)

} // namespace vyrexaravis
