// Line classification: comments, section headers, entries, and the lines
// that are none of these and are skipped without stopping the parse.
#include "IniTestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(Classification, HeadersAndEntriesWithWhiteSpaceAround) {
    IniFilePtr file = makeIniFile();
    EXPECT_EQ(readText(file.get(), "  [  vyrex \t] trailing text\n"
                                   "\tSystemapiExpertCameraListRefreshTimeInSec   =   5  \n"),
              0);
    uint32_t seconds = 0;
    EXPECT_EQ(
        IniGetUnsigned(file.get(), "VYREX", "SystemapiExpertCameraListRefreshTimeInSec", &seconds),
        1);
    EXPECT_EQ(seconds, 5u);
}

TEST(Classification, CommentsAreIgnored) {
    IniFilePtr file = makeIniFile();
    EXPECT_EQ(readText(file.get(), "; [Hidden]\n[A]\n   ; x=1\nx=2\n"), 0);
    EXPECT_EQ(IniSectionExists(file.get(), "Hidden"), 0);
    EXPECT_EQ(valueOf(file.get(), "A", "x"), "2");
    EXPECT_EQ(IniEntryExists(file.get(), "A", "; x"), 0);
}

TEST(Classification, InvalidLinesAreSkippedAndParsingGoesOn) {
    IniFilePtr file = makeIniFile();
    EXPECT_EQ(readText(file.get(), "[A]\n"
                                   "just a word\n"
                                   "\n"
                                   "   \n"
                                   "= no key\n"
                                   "empty =\n"
                                   "[no bracket\n"
                                   "[  ]\n"
                                   "after = 1\n"),
              0);
    EXPECT_EQ(valueOf(file.get(), "A", "after"), "1");
    EXPECT_EQ(IniEntryExists(file.get(), "A", "empty"), 0);
    EXPECT_EQ(IniSectionExists(file.get(), "no bracket"), 0);
    EXPECT_EQ(IniSectionExists(file.get(), ""), 0);
}

TEST(Classification, AnEmptyValueCountsWithTheFlag) {
    IniFilePtr file = makeIniFile(kIniAcceptEmptyValue);
    EXPECT_EQ(readText(file.get(), "[A]\nempty =   \n"), 0);
    EXPECT_EQ(valueOf(file.get(), "A", "empty"), "");
}

TEST(Classification, OnlyTheFirstSeparatorSplits) {
    IniFilePtr file = makeIniFile();
    EXPECT_EQ(readText(file.get(), "[A]\nurl = a=b ; not a comment\nk:v = w\n"), 0);
    EXPECT_EQ(valueOf(file.get(), "A", "url"), "a=b ; not a comment");
    EXPECT_EQ(valueOf(file.get(), "A", "k:v"), "w") << "':' is a key character without the flag";
}

TEST(Classification, ColonSeparatorsWithTheFlag) {
    IniFilePtr file = makeIniFile(kIniColonAndNullSection);
    EXPECT_EQ(readText(file.get(), "[A]\none: 1\ntwo := 2\nthree = 3:4\nfour := = 4\n"), 0);
    EXPECT_EQ(valueOf(file.get(), "A", "one"), "1");
    EXPECT_EQ(valueOf(file.get(), "A", "two"), "2");
    EXPECT_EQ(valueOf(file.get(), "A", "three"), "3:4");
    EXPECT_EQ(valueOf(file.get(), "A", "four"), "= 4");
}

TEST(Classification, EntriesBeforeTheFirstHeader) {
    IniFilePtr dropping = makeIniFile();
    EXPECT_EQ(readText(dropping.get(), "early=1\n[A]\nx=2\n"), 0);
    EXPECT_EQ(IniSectionExists(dropping.get(), "(null)"), 0);
    EXPECT_EQ(valueOf(dropping.get(), "A", "x"), "2");

    IniFilePtr keeping = makeIniFile(kIniColonAndNullSection);
    EXPECT_EQ(readText(keeping.get(), "early=1\nalso: 2\n[A]\nx=2\n"), 0);
    EXPECT_EQ(valueOf(keeping.get(), "(null)", "early"), "1");
    EXPECT_EQ(valueOf(keeping.get(), "(null)", "also"), "2");
}

TEST(Classification, NamesCompareIgnoringCaseAndOuterSpace) {
    EXPECT_EQ(IniCompareNoCase("vyrex ", "VYREX"), 0);
    EXPECT_EQ(IniCompareNoCase("  Vyrex", "vyrex\t"), 0);
    EXPECT_NE(IniCompareNoCase("vy rex", "vyrex"), 0);
    EXPECT_NE(IniCompareNoCase("vyre", "vyrex"), 0);
    EXPECT_LT(IniCompareNoCase("a", "B"), 0);
    EXPECT_GT(IniCompareNoCase("b", "A "), 0);

    IniFilePtr file = makeIniFile();
    EXPECT_EQ(readText(file.get(), "[Vyrex]\nKey=1\n"), 0);
    EXPECT_EQ(valueOf(file.get(), " vyrex ", "KEY "), "1");
}

TEST(Classification, CaseSensitiveNamesCompareExactly) {
    IniFilePtr file = makeIniFile();
    IniSetCaseSensitive(file.get(), 1);
    EXPECT_EQ(readText(file.get(), "[Vyrex]\nKey=1\n[VYREX]\nKey=2\n"), 0);
    EXPECT_EQ(valueOf(file.get(), "Vyrex", "Key"), "1");
    EXPECT_EQ(valueOf(file.get(), "VYREX", "Key"), "2");
    EXPECT_EQ(valueOf(file.get(), "vyrex", "Key"), "<missing>");
    EXPECT_EQ(valueOf(file.get(), "Vyrex", "key"), "<missing>");
}

TEST(Classification, TheSectionCacheFollowsTheLastLookUp) {
    IniFilePtr file = makeIniFile();
    EXPECT_EQ(readText(file.get(), "[A]\nx=1\n[B]\nx=2\n"), 0);
    EXPECT_EQ(valueOf(file.get(), "A", "x"), "1");
    EXPECT_EQ(valueOf(file.get(), "B", "x"), "2");
    EXPECT_EQ(valueOf(file.get(), "A", "x"), "1");
    EXPECT_EQ(valueOf(file.get(), "C", "x"), "<missing>");
    EXPECT_EQ(valueOf(file.get(), "A", "x"), "1");
}

TEST(Classification, NullArgumentsFindNothing) {
    IniFilePtr file = makeIniFile();
    EXPECT_EQ(readText(file.get(), "[A]\nx=1\n"), 0);
    const char* value = "poison";
    EXPECT_EQ(IniGetString(file.get(), nullptr, "x", &value), 0);
    EXPECT_EQ(value, nullptr);
    EXPECT_EQ(IniGetString(nullptr, "A", "x", &value), 0);
    EXPECT_EQ(IniGetString(file.get(), "A", nullptr, &value), 0);
    EXPECT_EQ(IniSectionExists(nullptr, "A"), 0);
    EXPECT_EQ(IniSectionExists(file.get(), nullptr), 0);
    EXPECT_EQ(IniEntryExists(file.get(), "A", nullptr), 0);
    EXPECT_EQ(IniGetUnsigned(file.get(), "A", "x", nullptr), 0);
    EXPECT_EQ(IniEntryExists(file.get(), "A", "x"), 1);
}

} // namespace
