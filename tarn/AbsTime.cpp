#include "tarn/AbsTime.h"

#include "tarn/InitOrder.h"

#include "contract/oxSysTypes.h"

namespace kr::tarn {

template <>
const AbsTime AbsTime::min
    __attribute__((init_priority(KR_INIT_ORDER_TIME_CONSTANTS))) = AbsTime(0x80000000u, 0, 0, 0);

template <>
const AbsTime AbsTime::max
    __attribute__((init_priority(KR_INIT_ORDER_TIME_CONSTANTS))) = AbsTime(0x7FFFFFFFu, 0xFFFFFFFFu,
                                                                           0xFFFFFFFFu,
                                                                           0xFFFFFFFFu);

const AbsTime k_1970_TO_1904_BIAS __attribute__((init_priority(KR_INIT_ORDER_TIME_CONSTANTS))) =
    AbsTime(0, kOxSysSecondsFrom1904To1970, 0, 0);

} // namespace kr::tarn
