#include "quarks/trace/debugPrint.h"
#include "quarks/trace/prefix.h"

#include "kernel/simulation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

std::string printed;

void capturePrint(const char* text) {
    printed += text;
}

int failingFormatter(char*, size_t, const char*, va_list) {
    return -1;
}

// Catches what krsdbg_printf hands to the print hook.
class DebugPrint : public ::testing::Test {
protected:
    void SetUp() override {
        printed.clear();
        krsdbg_debugPrint = capturePrint;
    }
    void TearDown() override {
        krsdbg_debugPrint = krsdbg_debugPrint_default;
        krsdbg_vsnprintf = krsdbg_vsnprintf_default;
    }
};

// Runs one writer into a buffer poisoned with '#' and returns what it wrote.
std::string written(krsdbg_prefixWriter writer, size_t room, const krsdbg_location* location,
                    size_t* length = nullptr) {
    char buffer[64];
    std::fill(buffer, buffer + sizeof buffer, '#');
    char* end = writer(buffer, room, location);
    if (length != nullptr) {
        *length = size_t(end - buffer);
    }
    EXPECT_EQ(*end, '\0') << "the writer returns the position of its terminator";
    return std::string(buffer, end);
}

} // namespace

TEST_F(DebugPrint, PrintfFormatsAndCutsAt255Characters) {
    krsdbg_printf("%d-%s", 42, "x");
    EXPECT_EQ(printed, "42-x");
    printed.clear();
    const std::string longLine(300, 'L');
    krsdbg_printf("%s", longLine.c_str());
    EXPECT_EQ(printed, std::string(255, 'L'));
}

TEST_F(DebugPrint, PrintfPrintsNothingWhenTheFormatterFails) {
    krsdbg_vsnprintf = failingFormatter;
    krsdbg_printf("%s", "lost");
    EXPECT_EQ(printed, "");
}

TEST_F(DebugPrint, DefaultPrintStaysSilentAtInterruptLevel) {
    testing::internal::CaptureStdout();
    kernelSimulateInterruptLevel(true);
    krsdbg_debugPrint_default("hidden ");
    kernelSimulateInterruptLevel(false);
    krsdbg_debugPrint_default("shown");
    krsdbg_debugPrint_default(nullptr);
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "shown");
}

TEST_F(DebugPrint, BlockHooksDefaultToNothing) {
    const int block = krsdbg_blockBegin();
    EXPECT_EQ(block, 0);
    krsdbg_blockEnd(block);
    EXPECT_EQ(printed, "");
}

TEST(PrefixWriters, WriteTheirFixedPieces) {
    EXPECT_EQ(written(krsdbg_prefixBegin, 64, nullptr), "[");
    EXPECT_EQ(written(krsdbg_prefixSeparator, 64, nullptr), "|");
    EXPECT_EQ(written(krsdbg_prefixEnd, 64, nullptr), "] ");
    EXPECT_EQ(written(krsdbg_prefixComponent, 64, nullptr), "sapiExpert");
}

TEST(PrefixWriters, FitFileNamesToTheirWidth) {
    const krsdbg_location shortName{"quarks/thread.cpp", 1};
    EXPECT_EQ(written(krsdbg_prefixFile, 64, &shortName),
              std::string(15, ' ') + "quarks/thread.cpp");
    const std::string forty = "0123456789abcdefghijklmnopqrstuvwxyzABCD";
    const krsdbg_location longName{forty.c_str(), 1};
    EXPECT_EQ(written(krsdbg_prefixFile, 64, &longName), forty.substr(8));
}

TEST(PrefixWriters, PadLineNumbersWithZeros) {
    const krsdbg_location seven{"f", 7};
    const krsdbg_location zero{"f", 0};
    const krsdbg_location large{"f", 12345};
    EXPECT_EQ(written(krsdbg_prefixLineNumber, 64, &seven), "0007");
    EXPECT_EQ(written(krsdbg_prefixLineNumber, 64, &zero), "0000");
    EXPECT_EQ(written(krsdbg_prefixLineNumber, 64, &large), "2345");
}

TEST(PrefixWriters, NeverWriteMoreThanTheirRoom) {
    size_t length = 99;
    EXPECT_EQ(written(krsdbg_prefixEnd, 2, nullptr, &length), "]");
    EXPECT_EQ(length, 1u) << "the terminator took the place of the last character";
    EXPECT_EQ(written(krsdbg_prefixEnd, 1, nullptr), "");
    char untouched = '#';
    EXPECT_EQ(krsdbg_prefixEnd(&untouched, 0, nullptr), &untouched);
    EXPECT_EQ(untouched, '#') << "no room, no terminator";

    const krsdbg_location seven{"f", 7};
    EXPECT_EQ(written(krsdbg_prefixLineNumber, 3, &seven, &length), "00");
    EXPECT_EQ(length, 2u) << "room ran out while padding";
    EXPECT_EQ(written(krsdbg_prefixLineNumber, 4, &seven), "000");
}

TEST(PrefixWriters, WidthZeroLetsTheTextThrough) {
    krsdbg_prefixComponentWidth = 0;
    const std::string component = written(krsdbg_prefixComponent, 64, nullptr);
    krsdbg_prefixComponentWidth = 10;
    EXPECT_EQ(component, "krvyrexSysapiExpert");
    char buffer[8];
    EXPECT_EQ(krsdbg_fit(buffer, sizeof buffer, nullptr, 3, '-'), buffer + 3);
    EXPECT_STREQ(buffer, "---");
}

TEST(PrefixWriters, ChainIntoAWholePrefix) {
    const krsdbg_location location{"protons/thread/tThreadController.cpp", 56};
    char buffer[128];
    char* end = krsdbg_writePrefix(buffer, sizeof buffer, &location);
    const std::string expected = "[sapiExpert|ons/thread/tThreadController.cpp|0056] ";
    EXPECT_EQ(std::string(buffer), expected);
    EXPECT_EQ(end, buffer + expected.size());

    char small[5];
    end = krsdbg_writePrefix(small, sizeof small, &location);
    EXPECT_STREQ(small, "[sap");
    EXPECT_EQ(end, small + 4);
}
