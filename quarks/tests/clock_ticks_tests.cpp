#include "quarks/clockTicks.h"

#include "kernel/clock.h"
#include "kernel/types.h"

#include <gtest/gtest.h>

#include <climits>

using nKRZEPH000::ClockTickPeriod;
using nKRZEPH000::timeoutToTicks;

namespace {

// Each test sets the clock it needs; the kernel's default comes back after.
class ClockTicks : public ::testing::Test {
protected:
    void TearDown() override { sysClkRateSet(60); }
};

} // namespace

TEST_F(ClockTicks, PeriodInEveryUnit) {
    ASSERT_EQ(sysClkRateSet(60), OK);
    EXPECT_EQ(ClockTickPeriod(0), 16666666666ull);
    EXPECT_EQ(ClockTickPeriod(1), 16666666ull);
    EXPECT_EQ(ClockTickPeriod(2), 16666ull);
    EXPECT_EQ(ClockTickPeriod(3), 16ull);
    EXPECT_EQ(ClockTickPeriod(4), 0ull);

    ASSERT_EQ(sysClkRateSet(1), OK);
    EXPECT_EQ(ClockTickPeriod(3), 1000ull);
    EXPECT_EQ(ClockTickPeriod(4), 1ull);
    EXPECT_EQ(ClockTickPeriod(5), 0ull) << "a minute unit divides the seconds by 60";
}

TEST_F(ClockTicks, TimeoutsRoundUpToWholeTicks) {
    ASSERT_EQ(sysClkRateSet(60), OK);
    EXPECT_EQ(timeoutToTicks(2000), 121) << "16666666666 ps does not divide 2 s evenly";
    EXPECT_EQ(timeoutToTicks(1), 1);
    EXPECT_EQ(timeoutToTicks(1000), 61);

    ASSERT_EQ(sysClkRateSet(100), OK);
    EXPECT_EQ(timeoutToTicks(2000), 200);
    EXPECT_EQ(timeoutToTicks(10), 1);
    EXPECT_EQ(timeoutToTicks(11), 2);
}

TEST_F(ClockTicks, SpecialAndExtremeTimeouts) {
    EXPECT_EQ(timeoutToTicks(-1), WAIT_FOREVER);
    EXPECT_EQ(timeoutToTicks(0), NO_WAIT);
    EXPECT_EQ(timeoutToTicks(-5), WAIT_FOREVER) << "no negative timeout turns into a count";
    EXPECT_EQ(timeoutToTicks(INT32_MIN), WAIT_FOREVER);
    ASSERT_EQ(sysClkRateSet(100000), OK);
    EXPECT_EQ(timeoutToTicks(INT32_MAX), INT_MAX) << "cut, not wrapped";
}
