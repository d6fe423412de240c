// The 64.64 fixed-point arithmetic of absolute times, its rounding, and the
// named time constants.
#include "tarn/AbsTime.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>

namespace kr::tarn {

// Failure messages show all four words.
void PrintTo(const AbsTime& value, std::ostream* out) {
    *out << std::hex << "{" << value.word(0) << ", " << value.word(1) << ", " << value.word(2)
         << ", " << value.word(3) << "}";
}

} // namespace kr::tarn

namespace {

using namespace kr::tarn;

// quarters / 4 seconds, exactly.
AbsTime Quarters(int64_t quarters) {
    const int64_t whole = quarters >= 0 ? quarters / 4 : -((-quarters + 3) / 4);
    const uint64_t rest = uint64_t(quarters - whole * 4);
    return AbsTime::fromParts(whole, rest << 62);
}

TEST(FixedPointLayout, WordsHoldIntegerThenFractionMostSignificantFirst) {
    const AbsTime value(0x01234567u, 0x89ABCDEFu, 0x80000000u, 0x00000001u);
    EXPECT_EQ(int64_t(0x0123456789ABCDEF), value.integerPart());
    EXPECT_EQ(0x8000000000000001u, value.fractionPart());
    EXPECT_EQ(0x89ABCDEFu, value.integerLow32());

    EXPECT_EQ(AbsTime(0xFFFFFFFFu, 0xFFFFFFFFu, 0, 0), AbsTime(-1));
    EXPECT_EQ(AbsTime(0, 0, 0, 0), AbsTime());
    // -0.25 s is integer -1 with fraction 0.75.
    EXPECT_EQ(AbsTime(0xFFFFFFFFu, 0xFFFFFFFFu, 0xC0000000u, 0), Quarters(-1));

    AbsTime changed;
    changed.set(1, 2, 3, 4);
    EXPECT_EQ(AbsTime(1, 2, 3, 4), changed);
    changed.setZero();
    EXPECT_EQ(AbsTime(), changed);
}

TEST(FixedPointArithmetic, CarriesAndBorrowsAcrossAllWords) {
    EXPECT_EQ(AbsTime(0, 1, 0, 0), AbsTime(0, 0, 0xFFFFFFFFu, 0xFFFFFFFFu) + AbsTime(0, 0, 0, 1));
    EXPECT_EQ(AbsTime(1, 0, 0, 0), AbsTime(0, 0xFFFFFFFFu, 0, 0) + AbsTime(0, 1, 0, 0));
    EXPECT_EQ(AbsTime(0, 0, 0xFFFFFFFFu, 0xFFFFFFFFu), AbsTime(0, 1, 0, 0) - AbsTime(0, 0, 0, 1));
    EXPECT_EQ(AbsTime(0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu),
              AbsTime() - AbsTime(0, 0, 0, 1));
    EXPECT_EQ(Quarters(-9), Quarters(-10) + Quarters(1));
    EXPECT_EQ(Quarters(3), AbsTime::oneMinus(Quarters(1)));
    EXPECT_EQ(AbsTime(1), AbsTime::oneMinus(AbsTime()));
}

TEST(FixedPointArithmetic, CheckedAdditionRecordsOverflow) {
    int32_t status = 0;
    EXPECT_EQ(AbsTime(2), AbsTime::addChecked(AbsTime(1), AbsTime(1), status));
    // Operands of opposite signs never overflow.
    EXPECT_EQ(AbsTime() - AbsTime(0, 0, 0, 1),
              AbsTime::addChecked(AbsTime::max, AbsTime::min, status));
    EXPECT_EQ(0, status);

    AbsTime::addChecked(AbsTime::max, AbsTime(0, 0, 0, 1), status);
    EXPECT_EQ(k_statusFixedPointOverflow, status);
    status = 0;
    AbsTime::addChecked(AbsTime::min, AbsTime(-1), status);
    EXPECT_EQ(k_statusFixedPointOverflow, status);

    status = k_statusInvalidRoundingMode;
    AbsTime::addChecked(AbsTime::min, AbsTime(-1), status);
    EXPECT_EQ(k_statusInvalidRoundingMode, status);
}

TEST(FixedPointComparison, OrdersSignedIntegerThenUnsignedFraction) {
    EXPECT_TRUE(Quarters(-1) < AbsTime());
    EXPECT_TRUE(Quarters(-1) < Quarters(1));
    EXPECT_TRUE(AbsTime(-1) < Quarters(-1));
    EXPECT_TRUE(Quarters(3) > Quarters(1)); // a fraction's top bit is not a sign
    EXPECT_TRUE(AbsTime::min < AbsTime::max);
    EXPECT_FALSE(AbsTime(2) < AbsTime(2));
    EXPECT_TRUE(AbsTime(2) != Quarters(9));

    EXPECT_TRUE(Quarters(-1).isNegative());
    EXPECT_FALSE(Quarters(3).isNegative());
    EXPECT_TRUE(Quarters(5).hasFraction());
    EXPECT_FALSE(AbsTime(-7).hasFraction());
    EXPECT_TRUE(AbsTime(-3).isOdd());
    EXPECT_FALSE(AbsTime(-2).isOdd());
    EXPECT_EQ(Quarters(3), Quarters(-1).fraction());
}

TEST(TimeConstants, HoldTheirWords) {
    EXPECT_EQ(AbsTime(0x80000000u, 0, 0, 0), AbsTime::min);
    EXPECT_EQ(AbsTime(0x7FFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu), AbsTime::max);
    EXPECT_EQ(AbsTime(0, 2082844800u, 0, 0), k_1970_TO_1904_BIAS);
    EXPECT_EQ(AbsTime(2082844800), k_1970_TO_1904_BIAS);
}

struct RoundingCase {
    int64_t quarters;
    int32_t mode;
    int64_t expected;
};

void PrintTo(const RoundingCase& c, std::ostream* out) {
    *out << c.quarters << "/4 s in mode " << c.mode;
}

class Rounding : public ::testing::TestWithParam<RoundingCase> {};

TEST_P(Rounding, GivesTheWholeSecondOfItsMode) {
    const RoundingCase c = GetParam();
    AbsTime value = Quarters(c.quarters);
    int32_t status = 0;
    value.roundToInteger(c.mode, AbsTime(INT32_MAX), AbsTime(INT32_MIN), status);
    EXPECT_EQ(AbsTime::fromParts(c.expected, 0), value);
    EXPECT_EQ(0, status);
}

INSTANTIATE_TEST_SUITE_P(AllModes, Rounding,
                         ::testing::Values(
                             // Nearest, ties to even.
                             RoundingCase{10, 1, 2}, RoundingCase{14, 1, 4}, RoundingCase{11, 1, 3},
                             RoundingCase{9, 1, 2}, RoundingCase{-10, 1, -2},
                             RoundingCase{-14, 1, -4}, RoundingCase{-11, 1, -3},
                             RoundingCase{-3, 1, -1}, RoundingCase{-2, 1, 0}, RoundingCase{2, 1, 0},
                             RoundingCase{8, 1, 2},
                             // Toward zero.
                             RoundingCase{-11, 2, -2}, RoundingCase{11, 2, 2},
                             RoundingCase{-1, 2, 0},
                             // Toward +infinity.
                             RoundingCase{-9, 3, -2}, RoundingCase{9, 3, 3}, RoundingCase{8, 3, 2},
                             RoundingCase{-1, 3, 0},
                             // Toward -infinity.
                             RoundingCase{-9, 4, -3}, RoundingCase{11, 4, 2},
                             RoundingCase{-1, 4, -1}, RoundingCase{-8, 4, -2}));

TEST(RoundingFailures, UnknownModeRecordsItsCodeAndTruncates) {
    AbsTime value = Quarters(-11);
    int32_t status = 0;
    value.roundToInteger(5, AbsTime(INT32_MAX), AbsTime(INT32_MIN), status);
    EXPECT_EQ(k_statusInvalidRoundingMode, status);
    EXPECT_EQ(-50003, status);
    EXPECT_EQ(AbsTime(-2), value);
}

TEST(RoundingFailures, OutOfBoundsIsRecordedButNotClamped) {
    AbsTime value = AbsTime::fromParts(int64_t(1) << 31, 0);
    int32_t status = 0;
    value.roundToInteger(1, AbsTime(INT32_MAX), AbsTime(INT32_MIN), status);
    EXPECT_EQ(-50175, status);
    EXPECT_EQ(AbsTime::fromParts(int64_t(1) << 31, 0), value);

    AbsTime below = AbsTime::fromParts(int64_t(INT32_MIN) - 1, 0);
    status = 0;
    below.roundToInteger(2, AbsTime(INT32_MAX), AbsTime(INT32_MIN), status);
    EXPECT_EQ(k_statusFixedPointOverflow, status);

    AbsTime edge = AbsTime(INT32_MAX);
    status = 0;
    edge.roundToInteger(1, AbsTime(INT32_MAX), AbsTime(INT32_MIN), status);
    EXPECT_EQ(0, status);
}

TEST(RoundingFailures, RoundingPastTheLargestValueIsAnOverflow) {
    AbsTime value = AbsTime::max;
    int32_t status = 0;
    value.roundToInteger(1, AbsTime::max, AbsTime::min, status);
    EXPECT_EQ(k_statusFixedPointOverflow, status);

    AbsTime up = AbsTime::max;
    status = 0;
    up.roundToInteger(3, AbsTime::max, AbsTime::min, status);
    EXPECT_EQ(k_statusFixedPointOverflow, status);

    // The most negative value rounds toward -infinity without wrapping.
    AbsTime down = AbsTime::min + AbsTime(0, 0, 0x40000000u, 0);
    status = 0;
    down.roundToInteger(4, AbsTime::max, AbsTime::min, status);
    EXPECT_EQ(0, status);
    EXPECT_EQ(AbsTime::min, down);
}

TEST(RoundingFailures, TheFirstFailureStaysInTheStatusWord) {
    AbsTime value = Quarters(1);
    int32_t status = k_statusInvalidRoundingMode;
    value.roundToInteger(1, AbsTime(-5), AbsTime(-9), status);
    EXPECT_EQ(k_statusInvalidRoundingMode, status);

    int32_t positive = 7; // not a failure: it is overwritten
    value.roundToInteger(9, AbsTime(1), AbsTime(-1), positive);
    EXPECT_EQ(k_statusInvalidRoundingMode, positive);
}

} // namespace
