#include "expert/CoxSysVyrex.h"
#include "expert/ModuleExports.h"

#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <climits>

using namespace nKRVYREX_SYSAPI_EXPERT_18_5;

namespace {

class RefreshPeriod : public testing::Test {
protected:
    void TearDown() override { KRRTINIFilePath = "/c/kr-rt.ini"; }
    uint32_t periodWith(const std::string& contents) {
        path = files.write("kr-rt.ini", contents);
        KRRTINIFilePath = path.c_str();
        return CoxSysVyrex::GetCameraListRefreshTimeInSec();
    }
    TempDirectory files;
    std::string path;
};

TEST_F(RefreshPeriod, ReadFromTheVyrexSection) {
    EXPECT_EQ(periodWith("[vyrex ]\nSystemapiExpertCameraListRefreshTimeInSec = 5\n"), 5u);
    EXPECT_EQ(periodWith("[VYREX]\nSystemapiExpertCameraListRefreshTimeInSec=4294967295\n"),
              4294967295u);
}

TEST_F(RefreshPeriod, TwoSecondsWhenMissingZeroOrMalformed) {
    EXPECT_EQ(periodWith("[VYREX]\nSystemapiExpertCameraListRefreshTimeInSec=0\n"), 2u);
    EXPECT_EQ(periodWith("[VYREX]\nSystemapiExpertCameraListRefreshTimeInSec=5s\n"), 2u);
    EXPECT_EQ(periodWith("[OTHER]\nSystemapiExpertCameraListRefreshTimeInSec=5\n"), 2u);
    EXPECT_EQ(periodWith("\xFF\xFE[VYREX]\n"), 2u);
    KRRTINIFilePath = "/nonexistent/kr-rt.ini";
    EXPECT_EQ(CoxSysVyrex::GetCameraListRefreshTimeInSec(), 2u);
}

TEST(RefreshWait, PeriodsTooLongForTheWaitAreLimitedToTheLongestThatFits) {
    EXPECT_EQ(CoxSysVyrex::RefreshWaitMs(2), 2000);
    EXPECT_EQ(CoxSysVyrex::RefreshWaitMs(2147483), 2147483000);
    EXPECT_EQ(CoxSysVyrex::RefreshWaitMs(2147484), INT32_MAX);
    EXPECT_EQ(CoxSysVyrex::RefreshWaitMs(4294968), INT32_MAX) << "1000 times it wraps 32 bits";
    EXPECT_EQ(CoxSysVyrex::RefreshWaitMs(UINT32_MAX), INT32_MAX);
}

} // namespace
