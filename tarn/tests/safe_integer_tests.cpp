// Checked size arithmetic and checked integer conversion.
#include "tarn/NumericCast.h"
#include "tarn/SafeInteger.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using kr::tarn::NumericCast;
using kr::tarn::SafeInteger;
using kr::tarn::exception::OutOfRange;

TEST(SafeIntegerAddition, ReachesTheTopAndThrowsPastIt) {
    EXPECT_EQ(0xFFFFFFFFu, (SafeInteger(0xFFFFFFFEu) + 1u).get());
    EXPECT_EQ(0xFFFFFFFFu, (SafeInteger(0xFFFFFFFFu) + 0u).get());
    EXPECT_EQ(0xFFFFFFFFu, (SafeInteger(0u) + 0xFFFFFFFFu).get());
    EXPECT_THROW(SafeInteger(0xFFFFFFFFu) + 1u, OutOfRange);
    EXPECT_THROW(SafeInteger(1u) + 0xFFFFFFFFu, OutOfRange);
    EXPECT_THROW(SafeInteger(0x80000000u) + 0x80000000u, OutOfRange);
}

TEST(SafeIntegerMultiplication, ChecksTheExactProduct) {
    EXPECT_EQ(0xFFFFFFFFu, (SafeInteger(0xFFFFu) * 0x10001u).get());
    EXPECT_EQ(0xFFFFFFFEu, (SafeInteger(0x7FFFFFFFu) * 2u).get());
    EXPECT_EQ(0u, (SafeInteger(0xFFFFFFFFu) * 0u).get());
    EXPECT_EQ(0u, (SafeInteger(0u) * 0xFFFFFFFFu).get());
    EXPECT_THROW(SafeInteger(0x80000000u) * 2u, OutOfRange);
    EXPECT_THROW(SafeInteger(0x10000u) * 0x10000u, OutOfRange);
    // A product that wraps to a small value is still caught.
    EXPECT_THROW(SafeInteger(0x80000001u) * 2u, OutOfRange);
}

TEST(NumericCastToUnsigned, RejectsNegativeAndOversizedValues) {
    EXPECT_EQ(0u, NumericCast<uint32_t>(int32_t(0)));
    EXPECT_EQ(0x7FFFFFFFu, NumericCast<uint32_t>(INT32_MAX));
    EXPECT_THROW(NumericCast<uint32_t>(int32_t(-1)), OutOfRange);
    EXPECT_THROW(NumericCast<uint32_t>(INT32_MIN), OutOfRange);

    EXPECT_EQ(0xFFFFFFFFu, NumericCast<uint32_t>(uint64_t(0xFFFFFFFFu)));
    EXPECT_THROW(NumericCast<uint32_t>(uint64_t(1) << 32), OutOfRange);
    EXPECT_THROW(NumericCast<uint32_t>(int64_t(-1)), OutOfRange);
    EXPECT_EQ(5u, NumericCast<uint32_t>(uint16_t(5)));
}

} // namespace
