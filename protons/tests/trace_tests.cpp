#include "protons/trace/tConsoleTraceDestination.h"
#include "protons/trace/tTrace.h"

#include "quarks/trace/debugPrint.h"

#include <gtest/gtest.h>

#include <string>

using nKRZEPH000::iTraceDestination;
using nKRZEPH000::tConsoleTraceDestination;
using nKRZEPH000::tTrace;

namespace {

std::string printed;

void capturePrint(const char* text) {
    printed += text;
}

class ConsoleDestination : public ::testing::Test {
protected:
    void SetUp() override {
        printed.clear();
        krsdbg_debugPrint = capturePrint;
    }
    void TearDown() override { krsdbg_debugPrint = krsdbg_debugPrint_default; }

    tConsoleTraceDestination& console = tConsoleTraceDestination::getInstance();
};

} // namespace

TEST_F(ConsoleDestination, PutsWholeTextsAndAtMostNCharacters) {
    iTraceDestination& same = console.put("abc");
    EXPECT_EQ(&same, &console);
    console.put("abcdef", 3);
    console.put("|");
    console.put("xy", 10);
    console.put("zz", 0);
    console.put(nullptr);
    console.put(nullptr, 4);
    EXPECT_EQ(printed, "abcabc|xy");
}

TEST_F(ConsoleDestination, LongTextsAreCutAtTheLineLength) {
    const std::string longText(300, 'T');
    console.put(longText.c_str());
    EXPECT_EQ(printed.size(), 255u);
    printed.clear();
    console.put(longText.c_str(), 0xFFFFFFFFu);
    EXPECT_EQ(printed.size(), 255u) << "a huge count is no invalid format";
}

TEST_F(ConsoleDestination, InquireReportsItsOptions) {
    char small[5] = {'#', '#', '#', '#', '#'};
    uint32_t needed = 0;
    console.inquire(small, sizeof small, &needed);
    EXPECT_STREQ(small, " --d");
    EXPECT_EQ(needed, 20u);

    char large[32];
    console.inquire(large, sizeof large, nullptr);
    EXPECT_STREQ(large, " --destination zeph");

    char untouched = '#';
    needed = 0;
    console.inquire(&untouched, 0, &needed);
    console.inquire(nullptr, 8, nullptr);
    EXPECT_EQ(untouched, '#');
    EXPECT_EQ(needed, 20u);
}

TEST_F(ConsoleDestination, DescribesItselfAndOpensAlways) {
    EXPECT_STREQ(console.getDescription(), "krsdbg_printf");
    EXPECT_TRUE(console.open());
    char* options[] = {nullptr};
    console.configure(1, options);
    console.close();
    EXPECT_EQ(printed, "");
}

TEST(Trace, SingletonStartsOnTheConsoleWithItsInitialOptions) {
    tTrace& trace = tTrace::singleton;
    EXPECT_EQ(trace.getDestination(), &tConsoleTraceDestination::getInstance());
    EXPECT_EQ(trace.getLevel(), 50);
    EXPECT_EQ(trace.getWord(), 0);
    EXPECT_EQ(trace.getPendingLength(), 0u);
    const bool expected[] = {true, true, false, true, true, false, false, false, true, true};
    for (unsigned i = 0; i < 10; ++i) {
        EXPECT_EQ(trace.getOption(i), expected[i]) << "option " << i;
    }
    EXPECT_FALSE(trace.getOption(10));
}

TEST(Trace, AnotherInstanceKeepsItsOwnDestination) {
    tConsoleTraceDestination console;
    tTrace trace(console);
    EXPECT_EQ(trace.getDestination(), &console);
}
