#include "quarks/status.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using nKRZEPH000::tStatus;

namespace {

constexpr const char* kComponent = "krvyrexSysapiExpert";

bool isZeroFilledAfter(const char* field, size_t size, size_t used) {
    for (size_t i = used; i < size; ++i) {
        if (field[i] != '\0') {
            return false;
        }
    }
    return true;
}

} // namespace

TEST(Status, StartsAsTheClearedDetailedForm) {
    tStatus status;
    EXPECT_EQ(status.size, 164u);
    EXPECT_EQ(status.code, 0);
    EXPECT_FALSE(status.isFailure());
    EXPECT_TRUE(isZeroFilledAfter(status.component, sizeof status.component, 0));
    EXPECT_TRUE(isZeroFilledAfter(status.file, sizeof status.file, 0));
    EXPECT_EQ(status.line, 0u);
    EXPECT_EQ(status.extra, 0);
}

TEST(Status, FirstFailureWins) {
    tStatus status;
    EXPECT_TRUE(status.record(-52000, kComponent, "quarks/synchronization", 611));
    EXPECT_FALSE(status.record(-52008, kComponent, "quarks/thread", 684));
    EXPECT_EQ(status.code, -52000);
    EXPECT_STREQ(status.file, "quarks/synchronization");
    EXPECT_EQ(status.line, 611u);
    EXPECT_FALSE(status.record(7, kComponent, "elsewhere", 1)) << "a warning never hides a failure";
    EXPECT_EQ(status.code, -52000);
    EXPECT_TRUE(status.isFailure());
}

TEST(Status, FailureOverridesAWarningButWarningsDoNotStack) {
    tStatus status;
    EXPECT_FALSE(status.record(0, kComponent, "nothing", 1)) << "success records nothing";
    EXPECT_EQ(status.line, 0u);
    EXPECT_TRUE(status.record(5, kComponent, "first warning", 10));
    EXPECT_FALSE(status.isFailure());
    EXPECT_FALSE(status.record(6, kComponent, "second warning", 20));
    EXPECT_EQ(status.code, 5);
    status.extra = 99;
    EXPECT_TRUE(status.record(-52008, kComponent, "quarks/thread", 684));
    EXPECT_EQ(status.code, -52008);
    EXPECT_STREQ(status.file, "quarks/thread");
    EXPECT_EQ(status.line, 684u);
    EXPECT_EQ(status.extra, 0);
}

TEST(Status, ComponentIsCutToNineCharactersAndZeroPadded) {
    tStatus status;
    std::memset(status.component, 'x', sizeof status.component);
    status.record(-1, kComponent, "f", 1);
    EXPECT_STREQ(status.component, "krvyrexSy");
    EXPECT_TRUE(isZeroFilledAfter(status.component, sizeof status.component, 9));
}

TEST(Status, LongPathsKeepBothEndsAroundTwoDots) {
    const std::string exactly100(100, 'a');
    tStatus fits;
    fits.record(-1, kComponent, exactly100.c_str(), 1);
    EXPECT_EQ(std::string(fits.file), exactly100);

    const std::string head(49, 'h');
    const std::string tail(49, 't');
    const std::string longPath = head + "MIDDLE" + tail;
    tStatus cut;
    std::memset(cut.file, 'x', sizeof cut.file);
    cut.record(-1, kComponent, longPath.c_str(), 1);
    EXPECT_EQ(std::string(cut.file), head + ".." + tail);
    EXPECT_EQ(cut.file[100], '\0');

    tStatus oneTooMany;
    oneTooMany.record(-1, kComponent, (exactly100 + "z").c_str(), 1);
    EXPECT_EQ(std::string(oneTooMany.file),
              std::string(49, 'a') + ".." + std::string(48, 'a') + "z");
}

TEST(Status, ShortFormCarriesTheCodeOnly) {
    tStatus status;
    status.size = 8;
    EXPECT_TRUE(status.record(-52015, kComponent, "quarks/synchronization", 2062));
    EXPECT_EQ(status.code, -52015);
    EXPECT_STREQ(status.file, "");
    EXPECT_EQ(status.line, 0u);
}

TEST(Status, NullTextsCountAsEmptyAndClearStartsOver) {
    tStatus status;
    EXPECT_TRUE(status.record(-52007, nullptr, nullptr, 2057));
    EXPECT_STREQ(status.component, "");
    EXPECT_STREQ(status.file, "");
    EXPECT_EQ(status.line, 2057u);
    status.clear();
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(status.line, 0u);
    EXPECT_EQ(status.size, 164u);
    EXPECT_TRUE(status.record(-52008, kComponent, "quarks/thread", 684));
}
