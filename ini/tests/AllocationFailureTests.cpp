// Memory running out at every single allocation of a read: each read
// reports -12 or succeeds, and nothing is ever leaked.
#include "IniTestSupport.h"

#include <gtest/gtest.h>

namespace {

std::string richFile() {
    std::string text = "\xEF\xBB\xBF"
                       "early = before any section\n"
                       "[VYREX]\r\n"
                       "SystemapiExpertCameraListRefreshTimeInSec = 5\r\n"
                       "Quoted = \"a b\"\n"
                       "[Other]\nx=1\n[vyrex]\nQuoted = 'c'\n"
                       "Text Line1 = ab\nText Line2 = cd\nText Line3 = ef\n";
    text += "Long = " + std::string(1500, 'L') + "\n";
    return text;
}

TEST(AllocationFailure, EveryFailedAllocationIsAStatusAndLeaksNothing) {
    const std::string text = richFile();
    size_t failures = 0;
    for (size_t failAt = 0;; ++failAt) {
        CountingAllocator allocator(failAt);
        IniFile* file = IniCreate(0);
        if (!file) {
            EXPECT_EQ(allocator.liveBlocks(), 0) << "IniCreate failing at allocation " << failAt;
            continue;
        }
        IniSetParseFlags(file,
                         kIniStripDoubleQuotes | kIniStripSingleQuotes | kIniColonAndNullSection);
        const int32_t status = readText(file, text);
        const char* value = nullptr;
        IniGetString(file, "VYREX", "Text", &value); // whatever was kept can be looked up
        IniDestroy(file);
        EXPECT_EQ(allocator.liveBlocks(), 0) << "read failing at allocation " << failAt;
        if (!allocator.refusedAny()) {
            EXPECT_EQ(status, 0);
            break;
        }
        EXPECT_EQ(status, kIniStatusNoMemory) << "read failing at allocation " << failAt;
        ++failures;
        ASSERT_LT(failAt, 10000u) << "the read never completes";
    }
    EXPECT_GT(failures, 20u) << "the file should need many allocations";
}

TEST(AllocationFailure, TheWholeReadBalancesItsAllocations) {
    CountingAllocator allocator;
    IniFile* file = IniCreate(0);
    ASSERT_EQ(readText(file, richFile()), 0);
    EXPECT_GT(allocator.liveBlocks(), 0);
    uint32_t seconds = 0;
    EXPECT_EQ(IniGetUnsigned(file, "VYREX", "SystemapiExpertCameraListRefreshTimeInSec", &seconds),
              1);
    EXPECT_EQ(seconds, 5u);
    EXPECT_EQ(valueOf(file, "VYREX", "Text"), "abcdef");
    EXPECT_EQ(valueOf(file, "VYREX", "Quoted"), "'c'") << "single quotes stay by default";
    IniDestroy(file);
    EXPECT_EQ(allocator.liveBlocks(), 0);
}

} // namespace
