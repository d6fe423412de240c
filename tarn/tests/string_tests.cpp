// Wide and narrow strings: construction, sizing checks, copying, the
// case-insensitive order, and wide strings from driver text fields.
#include "FailingHeap.h"

#include "tarn/StringBase.h"
#include "tarn/WideStringFromField.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <set>
#include <string>

namespace {

using namespace kr::tarn;
using kr::tarn::testing::FailingHeap;

std::u16string Text(const WideString& string) {
    return std::u16string(string.c_str(), string.length());
}

TEST(WideStringConstruction, NullTextsGiveTheTerminatedEmptyString) {
    const WideString fromWide(static_cast<const char16_t*>(nullptr));
    const WideString fromNarrow(static_cast<const char*>(nullptr));
    const WideString fromDefault;
    for (const WideString* s : {&fromWide, &fromNarrow, &fromDefault}) {
        EXPECT_EQ(0u, s->length());
        EXPECT_TRUE(s->empty());
        ASSERT_NE(nullptr, s->c_str());
        EXPECT_EQ(u'\0', s->c_str()[0]);
    }
    EXPECT_EQ(0u, WideString(static_cast<const char16_t*>(nullptr), 0).length());
    EXPECT_EQ(0u, WideString(static_cast<const char*>(nullptr), 0).length());
}

TEST(WideStringConstruction, CopiesUnitsUpToTheTerminatorOrByCount) {
    const WideString whole(u"Camera");
    EXPECT_EQ(u"Camera", Text(whole));
    EXPECT_EQ(u'\0', whole.c_str()[6]);

    const char16_t withZero[] = {u'a', u'\0', u'b'};
    const WideString counted(withZero, 3);
    EXPECT_EQ(3u, counted.length());
    EXPECT_EQ(std::u16string(withZero, 3), Text(counted));
    EXPECT_EQ(u'\0', counted.c_str()[3]);
}

TEST(WideStringConstruction, ConvertsNarrowTextByteForByte) {
    const WideString accented("caf\xE9");
    EXPECT_EQ(u"caf\u00E9", Text(accented));
    EXPECT_EQ(0u, WideString("").length());

    const char withZero[] = {'x', '\0', 'y'};
    EXPECT_EQ(std::u16string(u"x\0y", 3), Text(WideString(withZero, 3)));
}

TEST(WideStringConstruction, NullTextWithACountIsRejected) {
    EXPECT_THROW(WideString(static_cast<const char16_t*>(nullptr), 1), exception::InvalidArgument);
    EXPECT_THROW(WideString(static_cast<const char*>(nullptr), 1), exception::InvalidArgument);
}

TEST(StringSizing, OversizedLengthsThrowBeforeAnythingIsAllocated) {
    const char16_t wide[] = u"x";
    const char narrow[] = "x";
    // With a heap that refuses everything, reaching the allocation would
    // throw bad_alloc instead: the checks come first.
    FailingHeap heap(0);
    EXPECT_THROW(WideString(wide, 0xFFFFFFFFu), exception::OutOfRange);
    EXPECT_THROW(WideString(wide, 0x80000000u), exception::OutOfRange);
    EXPECT_THROW(NarrowString(narrow, 0xFFFFFFFFu), exception::OutOfRange);
    EXPECT_THROW(WideString(u"x"), std::bad_alloc);
}

TEST(StringCopies, AreIndependentAndAssignmentKeepsTheTargetOnFailure) {
    WideString original(u"grabber");
    WideString copy(original);
    EXPECT_NE(original.c_str(), copy.c_str());
    EXPECT_EQ(u"grabber", Text(copy));

    WideString target(u"old");
    target = original;
    EXPECT_EQ(u"grabber", Text(target));
    WideString& sameString = target;
    target = sameString;
    EXPECT_EQ(u"grabber", Text(target));

    WideString kept(u"kept");
    {
        FailingHeap heap(0);
        EXPECT_THROW(kept = original, std::bad_alloc);
    }
    EXPECT_EQ(u"kept", Text(kept));
}

TEST(StringCopies, MovesHandTheBlockOver) {
    WideString source(u"camera");
    const char16_t* block = source.c_str();
    WideString moved(std::move(source));
    EXPECT_EQ(block, moved.c_str());
    EXPECT_EQ(0u, source.length()); // NOLINT: a moved-from string reads as empty
    EXPECT_EQ(u'\0', source.c_str()[0]);

    WideString target(u"x");
    target = std::move(moved);
    EXPECT_EQ(block, target.c_str());
    source = target; // a moved-from string takes a new value
    EXPECT_EQ(u"camera", Text(source));
}

TEST(StringOrder, IgnoresLetterCase) {
    EXPECT_EQ(0, WideString(u"Camera").compare(WideString(u"CAMERA")));
    EXPECT_TRUE(WideString(u"Camera") == WideString(u"cAMERA"));
    EXPECT_FALSE(WideString(u"Camera") != WideString(u"CAMERA"));
    EXPECT_LT(WideString(u"abc").compare(WideString(u"ABD")), 0);
    EXPECT_GT(WideString(u"b").compare(WideString(u"A")), 0);
    EXPECT_EQ('C' - 'A', WideString(u"c").compare(WideString(u"a")));
}

TEST(StringOrder, ShorterPrefixesAndTheEmptyStringSortFirst) {
    EXPECT_TRUE(WideString(u"cam") < WideString(u"Camera"));
    EXPECT_FALSE(WideString(u"Camera") < WideString(u"cam"));
    EXPECT_EQ(-3, WideString(u"cam").compare(WideString(u"CAMERA")));
    EXPECT_TRUE(WideString(u"") < WideString(u"\x01"));
    EXPECT_TRUE(WideString() < WideString(u"a"));
    EXPECT_FALSE(WideString() < WideString());
}

TEST(StringOrder, FoldsOnlyTheFirst256Units) {
    // Units above 0xFF compare by value: U+0101 and U+0100 are a lower and
    // an upper case letter, but distinct names.
    EXPECT_GT(WideString(u"\u0101").compare(WideString(u"\u0100")), 0);
    EXPECT_LT(WideString(u"Z").compare(WideString(u"\u0100")), 0);
    // The runtime's toupper in the default locale folds only a to z.
    EXPECT_NE(0, WideString(u"\u00E9").compare(WideString(u"\u00C9")));
}

TEST(StringOrder, MakesOneSetElementOfNamesEqualButForCase) {
    std::set<WideString> names;
    names.insert(WideString(u"camB"));
    names.insert(WideString(u"CAMa"));
    EXPECT_FALSE(names.insert(WideString(u"cama")).second);
    ASSERT_EQ(2u, names.size());
    EXPECT_EQ(u"CAMa", Text(*names.begin())); // the first spelling stays
    EXPECT_EQ(u"camB", Text(*names.rbegin()));
}

TEST(NarrowStrings, CopyCountAndCompare) {
    const NarrowString text("Out of range");
    EXPECT_STREQ("Out of range", text.c_str());
    EXPECT_EQ(12u, text.length());
    EXPECT_STREQ("Out", NarrowString("Out of range", 3).c_str());
    EXPECT_EQ(0u, NarrowString(nullptr).length());
    EXPECT_EQ(0, NarrowString("abc").compare(NarrowString("ABC")));
    // Bytes above 0x7F are compared as unsigned values.
    EXPECT_GT(NarrowString("\xE9").compare(NarrowString("z")), 0);
}

TEST(WideStringFromField, StopsAtTheFirstZeroOrTheFieldsEnd) {
    char field[512];
    std::memset(field, 'v', sizeof field);
    EXPECT_EQ(512u, WideStringFromField(field).length());

    std::strcpy(field, "Gig\xE9");
    field[5] = 'z'; // bytes after the terminator do not count
    EXPECT_EQ(u"Gig\u00E9", Text(WideStringFromField(field)));

    field[0] = '\0';
    EXPECT_TRUE(WideStringFromField(field).empty());
    EXPECT_EQ(u"Gi", Text(WideStringFromField("Gig", 2)));
    EXPECT_TRUE(WideStringFromField(nullptr, 0).empty());
    EXPECT_THROW(WideStringFromField(nullptr, 4), exception::InvalidArgument);
}

} // namespace
