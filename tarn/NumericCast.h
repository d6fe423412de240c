// Checked conversion of an integer count to an unsigned size type: a
// negative value, or one that the target type cannot hold, throws OutOfRange
// instead of wrapping around.
//
//     const uint32_t count = NumericCast<uint32_t>(signedCount);
#pragma once

#include "tarn/Exception.h"

#include <limits>
#include <type_traits>

namespace kr::tarn {

namespace detail {
constexpr const char* k_numericCastFile = "tarn/NumericCast.h";
} // namespace detail

template <typename To, typename From>
To NumericCast(From value) {
    static_assert(std::is_unsigned<To>::value, "NumericCast converts to unsigned sizes");
    static_assert(std::is_integral<From>::value, "NumericCast converts integers");
    if constexpr (std::is_signed<From>::value) {
        if (value < 0) {
            throw exception::OutOfRange(detail::k_numericCastFile, __LINE__);
        }
    }
    if constexpr (sizeof(From) > sizeof(To)) {
        if (static_cast<std::make_unsigned_t<From>>(value) > std::numeric_limits<To>::max()) {
            throw exception::OutOfRange(detail::k_numericCastFile, __LINE__);
        }
    }
    return static_cast<To>(value);
}

} // namespace kr::tarn
