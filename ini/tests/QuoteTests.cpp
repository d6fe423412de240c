// Quote removal: one pair of surrounding quotes goes, the inside stays as
// written.
#include "IniTestSupport.h"

#include <gtest/gtest.h>

namespace {

std::string parsedValue(const std::string& value, uint32_t flags) {
    IniFilePtr file = makeIniFile(flags);
    EXPECT_EQ(readText(file.get(), "[A]\nv = " + value + "\n"), 0);
    return valueOf(file.get(), "A", "v");
}

TEST(Quotes, DoubleQuotesGoByDefault) {
    EXPECT_EQ(parsedValue("\"  inner  spaces \"", kIniStripDoubleQuotes), "  inner  spaces ");
    EXPECT_EQ(parsedValue("\"a \\\"b\\n\"", kIniStripDoubleQuotes), "a \\\"b\\n") << "no escapes";
    EXPECT_EQ(parsedValue("\"\"", kIniStripDoubleQuotes), "");
    EXPECT_EQ(parsedValue("\"\"\"", kIniStripDoubleQuotes), "\"");
}

TEST(Quotes, UnpairedOrPartialQuotesStay) {
    EXPECT_EQ(parsedValue("\"", kIniStripDoubleQuotes), "\"");
    EXPECT_EQ(parsedValue("\"abc", kIniStripDoubleQuotes), "\"abc");
    EXPECT_EQ(parsedValue("\"abc'", kIniStripDoubleQuotes | kIniStripSingleQuotes), "\"abc'");
    EXPECT_EQ(parsedValue("a \"b\"", kIniStripDoubleQuotes), "a \"b\"");
}

TEST(Quotes, SingleQuotesOnlyWithTheirFlag) {
    EXPECT_EQ(parsedValue("'x y'", kIniStripDoubleQuotes), "'x y'");
    EXPECT_EQ(parsedValue("'x y'", kIniStripSingleQuotes), "x y");
    EXPECT_EQ(parsedValue("'\"x\"'", kIniStripDoubleQuotes | kIniStripSingleQuotes), "\"x\"");
    EXPECT_EQ(parsedValue("\"'x'\"", kIniStripDoubleQuotes | kIniStripSingleQuotes), "'x'");
}

TEST(Quotes, NoFlagsKeepEveryQuote) {
    EXPECT_EQ(parsedValue("\"x\"", 0), "\"x\"");
}

} // namespace
