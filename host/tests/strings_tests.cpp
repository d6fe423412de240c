// Texts across the boundary: UTF-16 and UTF-8, length-prefixed strings, GUIDs.
#include "present/HostStrings.h"

#include "contract/BStr.h"

#include <gtest/gtest.h>

namespace {

TEST(HostStrings, ConvertBothWaysIncludingPairsOfSurrogates) {
    const std::string text = "Kamera \xC3\xA4 \xE2\x82\xAC \xF0\x9F\x93\xB7"; // ä € and a camera
    const std::u16string wide = toUtf16(text);
    EXPECT_EQ(wide, u"Kamera \u00E4 \u20AC \U0001F4F7");
    EXPECT_EQ(toUtf8(wide.c_str()), text);
    EXPECT_EQ(toUtf8(nullptr), "");
}

TEST(HostStrings, IllFormedInputBecomesTheReplacementCharacter) {
    const char16_t loneHigh[] = {u'a', 0xD800, u'b', 0};
    EXPECT_EQ(toUtf8(loneHigh), "a\xEF\xBF\xBD"
                                "b");
    const char16_t loneLow[] = {0xDC00, 0};
    EXPECT_EQ(toUtf8(loneLow), "\xEF\xBF\xBD");

    EXPECT_EQ(toUtf16("a\xFF"
                      "b"),
              u"a\uFFFDb");
    EXPECT_EQ(toUtf16("\xC0\xAF"), u"\uFFFD");       // overlong
    EXPECT_EQ(toUtf16("\xE2\x82"), u"\uFFFD");       // cut short
    EXPECT_EQ(toUtf16("\xED\xA0\x80!"), u"\uFFFD!"); // a surrogate written as UTF-8
}

TEST(HostStrings, ExpertStringsAreTakenAndFreed) {
    EXPECT_EQ(takeUtf8(BStrAlloc(u"abc")), "abc"); // freed by the contract's BStrFree
    EXPECT_EQ(takeUtf8(BStrAlloc(u"")), "");
    EXPECT_EQ(takeUtf8(nullptr), "");
    char16_t* wrongLength = BStrAlloc(u"abc");
    wrongLength[1] = 0; // the prefix still says 3
    EXPECT_EQ(takeString(wrongLength), std::nullopt);
}

TEST(HostStrings, GuidTextRoundTrips) {
    const _GUID id = {0x4FA27960, 0xF165, 0x4292, {0xA0, 0x3E, 0x6D, 0x88, 0xD3, 0x45, 0x63, 0xC9}};
    EXPECT_EQ(guidText(id), "{4FA27960-F165-4292-A03E-6D88D34563C9}");
    _GUID parsed{};
    ASSERT_TRUE(parseGuid("{4fa27960-f165-4292-a03e-6d88d34563c9}", &parsed));
    EXPECT_TRUE(IsEqualGUID(parsed, id));
    ASSERT_TRUE(parseGuid("4FA27960-F165-4292-A03E-6D88D34563C9", &parsed));
    EXPECT_TRUE(IsEqualGUID(parsed, id));
    for (const char* bad :
         {"", "{4FA27960-F165-4292-A03E-6D88D34563C9", "4FA27960F1654292A03E6D88D34563C9",
          "{4FA27960-F165-4292-A03E-6D88D34563CX}", "4FA27960-F165-4292-A03E+6D88D34563C9"}) {
        EXPECT_FALSE(parseGuid(bad, &parsed)) << bad;
    }
}

} // namespace
