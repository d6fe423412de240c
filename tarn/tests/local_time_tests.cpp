// Absolute times to local calendar time, under time zones set for the test.
#include "tarn/AbsTimeToString.h"
#include "tarn/Exception.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace {

using namespace kr::tarn;

constexpr int64_t k_unixEpoch = 2082844800; // in seconds since 1904

// POSIX zone rules need no zone database, under qemu neither.
class LocalTime : public ::testing::Test {
protected:
    void SetUp() override {
        const char* zone = std::getenv("TZ");
        m_hadZone = zone != nullptr;
        if (m_hadZone) {
            m_savedZone = zone;
        }
        useZone("UTC0");
    }
    void TearDown() override {
        if (m_hadZone) {
            setenv("TZ", m_savedZone.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

    static void useZone(const char* zone) {
        setenv("TZ", zone, 1);
        tzset();
    }

    // YYYY-MM-DD hh:mm:ss of the local time of seconds + quarters / 4.
    static std::string local(int64_t seconds, uint32_t quarters = 0, bool round = true) {
        std::tm out{};
        AbsTimeToLocalTime(AbsTime::fromParts(seconds, uint64_t(quarters) << 62), round, out);
        char text[32];
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &out);
        return text;
    }

private:
    bool m_hadZone = false;
    std::string m_savedZone;
};

TEST_F(LocalTime, TheUnixEpochIsMidnightOfNewYear1970InUtc) {
    EXPECT_EQ("1970-01-01 00:00:00", local(k_unixEpoch));
    EXPECT_EQ("1904-01-01 00:00:00", local(0));
}

TEST_F(LocalTime, FollowsTheLocalZone) {
    useZone("EST5");
    EXPECT_EQ("1969-12-31 19:00:00", local(k_unixEpoch));
    useZone("CET-1");
    EXPECT_EQ("1970-01-01 01:00:00", local(k_unixEpoch));
    std::tm out{};
    AbsTimeToLocalTime(AbsTime(int32_t(k_unixEpoch)), true, out);
    EXPECT_EQ(1, out.tm_hour);
    EXPECT_EQ(70, out.tm_year);
    EXPECT_EQ(4, out.tm_wday); // a Thursday
}

TEST_F(LocalTime, RoundsHalvesToTheEvenSecondWhenAsked) {
    EXPECT_EQ("1970-01-01 00:00:00", local(k_unixEpoch, 2));     // 0.5
    EXPECT_EQ("1970-01-01 00:00:02", local(k_unixEpoch + 1, 2)); // 1.5
    EXPECT_EQ("1970-01-01 00:00:02", local(k_unixEpoch + 2, 2)); // 2.5
    EXPECT_EQ("1970-01-01 00:00:03", local(k_unixEpoch + 2, 3)); // 2.75
    EXPECT_EQ("1969-12-31 23:59:58", local(k_unixEpoch - 2, 2)); // -1.5
    EXPECT_EQ("1970-01-01 00:00:00", local(k_unixEpoch - 1, 2)); // -0.5
}

TEST_F(LocalTime, DropsTheFractionWithoutRounding) {
    EXPECT_EQ("1970-01-01 00:00:02", local(k_unixEpoch + 2, 3, false)); // 2.75
    EXPECT_EQ("1969-12-31 23:59:59", local(k_unixEpoch - 2, 3, false)); // -1.25
}

TEST_F(LocalTime, CoversExactlyTheThirtyTwoBitRange) {
    const int64_t latest = k_unixEpoch + INT32_MAX;
    const int64_t earliest = k_unixEpoch + INT32_MIN;
    EXPECT_EQ("2038-01-19 03:14:07", local(latest));
    EXPECT_EQ("1901-12-13 20:45:52", local(earliest));
    EXPECT_EQ("2038-01-19 03:14:07", local(latest, 2, false));

    std::tm out{};
    out.tm_year = 12345; // left alone by a refused conversion
    for (const AbsTime& outside :
         {AbsTime::fromParts(latest + 1, 0), AbsTime::fromParts(earliest - 1, 0),
          AbsTime::fromParts(latest, uint64_t(2) << 62), // 2^31 - 0.5 rounds up to 2^31
          AbsTime::fromParts(k_unixEpoch + (int64_t(1) << 32), 0), AbsTime::max, AbsTime::min}) {
        EXPECT_THROW(AbsTimeToLocalTime(outside, true, out), exception::OutOfRange);
        EXPECT_EQ(12345, out.tm_year);
    }
}

} // namespace
