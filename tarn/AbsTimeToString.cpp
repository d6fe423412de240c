#include "tarn/AbsTimeToString.h"

#include "tarn/Exception.h"

namespace kr::tarn {

namespace {

constexpr const char* k_sourceFile = "tarn/AbsTimeToString.cpp";

} // namespace

std::tm& AbsTimeToLocalTime(const AbsTime& time, bool roundToNearest, std::tm& out) {
    int32_t status = 0;
    AbsTime sinceUnixEpoch = AbsTime::addChecked(time, AbsTime() - k_1970_TO_1904_BIAS, status);
    sinceUnixEpoch.roundToInteger(roundToNearest ? k_roundToNearestEven : k_roundTowardZero,
                                  AbsTime(INT32_MAX), AbsTime(INT32_MIN), status);
    // Converting only the low 32 bits of an out-of-range count would give a
    // plausible but wrong date.
    if (status < 0) {
        throw exception::OutOfRange(k_sourceFile, __LINE__);
    }
    std::tm converted{};
    const std::time_t seconds = std::time_t(int32_t(sinceUnixEpoch.integerLow32()));
    if (localtime_r(&seconds, &converted) == nullptr) {
        throw exception::OutOfRange(k_sourceFile, __LINE__);
    }
    out = converted;
    return out;
}

} // namespace kr::tarn
