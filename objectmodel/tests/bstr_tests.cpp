#include "contract/BStr.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

uint32_t prefixOf(const char16_t* str) {
    uint32_t count = 0;
    std::memcpy(&count, reinterpret_cast<const char*>(str) - 4, 4);
    return count;
}

TEST(BStr, EmptyTextIsAZeroUnitWithCountZero) {
    char16_t* str = BStrAlloc(u"");
    ASSERT_NE(str, nullptr);
    EXPECT_EQ(str[0], 0);
    EXPECT_EQ(prefixOf(str), 0u);
    BStrFree(str);
}

TEST(BStr, CountThenUnitsThenTerminator) {
    char16_t* str = BStrAlloc(u"a\u00e9Z");
    ASSERT_NE(str, nullptr);
    EXPECT_EQ(prefixOf(str), 3u);
    EXPECT_EQ(BStrLen(str), 3u);
    EXPECT_EQ(str[0], u'a');
    EXPECT_EQ(str[1], u'\u00e9');
    EXPECT_EQ(str[2], u'Z');
    EXPECT_EQ(str[3], 0);
    // The host frees what it receives with free() on the block start.
    std::free(reinterpret_cast<char*>(str) - 4);
}

TEST(BStr, LengthCopyTakesExactlyCountUnits) {
    char16_t* str = BStrAllocLen(u"abcdef", 2);
    ASSERT_NE(str, nullptr);
    EXPECT_EQ(BStrLen(str), 2u);
    EXPECT_EQ(std::u16string(str), u"ab");
    BStrFree(str);
}

TEST(BStr, NullTextGivesNull) {
    EXPECT_EQ(BStrAlloc(nullptr), nullptr);
    BStrFree(nullptr); // does nothing
}

TEST(BStr, BlockSizeThatLeaves32BitsGivesNullWithoutAllocating) {
    const char16_t text[] = u"x";
    // (count + 1) * 2 + 4 overflows for each of these counts.
    EXPECT_EQ(BStrAllocLen(text, 0xFFFFFFFFu), nullptr);
    EXPECT_EQ(BStrAllocLen(text, 0x7FFFFFFFu), nullptr);
    EXPECT_EQ(BStrAllocLen(text, 0x7FFFFFFEu), nullptr);
}

} // namespace
