// Duplicate sections and keys: merged by default, kept apart on request,
// and every read starts from nothing.
#include "IniTestSupport.h"

#include <gtest/gtest.h>

namespace {

const char kTwice[] = "[A]\nx=1\ny=1\n[B]\nz=1\n[a]\nx=2\n";

TEST(Merging, ARepeatedHeaderContinuesTheSectionAndKeysReplace) {
    IniFilePtr file = makeIniFile();
    EXPECT_EQ(readText(file.get(), kTwice), 0);
    EXPECT_EQ(valueOf(file.get(), "A", "x"), "2");
    EXPECT_EQ(valueOf(file.get(), "A", "y"), "1");
    EXPECT_EQ(valueOf(file.get(), "B", "z"), "1");
}

TEST(Merging, ARepeatedKeyInOneSectionReplacesTheValue) {
    IniFilePtr file = makeIniFile();
    EXPECT_EQ(readText(file.get(), "[A]\nx=1\nX = \"2\"\n"), 0);
    EXPECT_EQ(valueOf(file.get(), "A", "x"), "2")
        << "the replacing value has its quotes removed too";
}

TEST(Merging, WithoutMergingTheFirstOfEachIsFound) {
    IniFilePtr file = makeIniFile();
    IniSetMergeDuplicates(file.get(), 0);
    EXPECT_EQ(readText(file.get(), kTwice), 0);
    EXPECT_EQ(valueOf(file.get(), "a", "x"), "1") << "right after the read";
    EXPECT_EQ(valueOf(file.get(), "B", "z"), "1");
    EXPECT_EQ(valueOf(file.get(), "A", "x"), "1") << "after another section was looked up";
    EXPECT_EQ(valueOf(file.get(), "A", "y"), "1");
    IniFilePtr keys = makeIniFile();
    IniSetMergeDuplicates(keys.get(), 0);
    EXPECT_EQ(readText(keys.get(), "[A]\nx=1\nx=2\n"), 0);
    EXPECT_EQ(valueOf(keys.get(), "A", "x"), "1");
}

TEST(Merging, EachReadReplacesAllSections) {
    IniFilePtr file = makeIniFile();
    EXPECT_EQ(readText(file.get(), "[Old]\nx=1\n"), 0);
    EXPECT_EQ(valueOf(file.get(), "Old", "x"), "1") << "also caches the section";
    EXPECT_EQ(readText(file.get(), "[New]\nx=2\n"), 0);
    EXPECT_EQ(IniSectionExists(file.get(), "Old"), 0);
    EXPECT_EQ(valueOf(file.get(), "New", "x"), "2");
}

} // namespace
