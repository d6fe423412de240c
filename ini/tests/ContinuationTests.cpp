// Continuation entries: "name Line1", "name Line2", ... read back as one
// entry "name" holding the values one after the other.
#include "IniTestSupport.h"

#include <gtest/gtest.h>

namespace {

IniFilePtr parsed(const std::string& body) {
    IniFilePtr file = makeIniFile();
    EXPECT_EQ(readText(file.get(), "[A]\n" + body), 0);
    return file;
}

TEST(Continuations, PartsAreJoinedUnderTheBaseName) {
    IniFilePtr file = parsed("Text Line1 = ab\nText Line2 = cd\n");
    EXPECT_EQ(valueOf(file.get(), "A", "Text"), "abcd");
    EXPECT_EQ(IniEntryExists(file.get(), "A", "Text Line1"), 0);
    EXPECT_EQ(IniEntryExists(file.get(), "A", "Text Line2"), 0);
}

TEST(Continuations, ARunEndsAtAKeyWithoutSuffix) {
    IniFilePtr file = parsed("T Line1=a\nT Line2=b\nplain=p\nT Line3=c\n");
    EXPECT_EQ(valueOf(file.get(), "A", "T"), "ab");
    EXPECT_EQ(valueOf(file.get(), "A", "plain"), "p");
    EXPECT_EQ(valueOf(file.get(), "A", "T Line3"), "c") << "a part after the run stays alone";
}

TEST(Continuations, ANewFirstPartStartsANewRun) {
    IniFilePtr file = parsed("P Line1=a\nP Line2=b\nQ Line1=c\nQ Line7=d\nQ Line3=e\n");
    EXPECT_EQ(valueOf(file.get(), "A", "P"), "ab");
    EXPECT_EQ(valueOf(file.get(), "A", "Q"), "cde") << "the order of the numbers plays no part";
}

TEST(Continuations, BaseNamesOfLaterPartsPlayNoPart) {
    IniFilePtr file = parsed("First Line1=a\nOther Line2=b\nnext=n\n");
    EXPECT_EQ(valueOf(file.get(), "A", "First"), "ab");
    EXPECT_EQ(valueOf(file.get(), "A", "next"), "n");
}

TEST(Continuations, ALoneFirstPartIsRenamed) {
    IniFilePtr file = parsed("Alone Line1 = only\n");
    EXPECT_EQ(valueOf(file.get(), "A", "Alone"), "only");
}

TEST(Continuations, WhatIsNoSuffix) {
    IniFilePtr file = parsed("a Line=1\nb Line1x=2\nc Line 1=3\nd LineA1=4\ncLine1=5\n"
                             "e Line1 f Line2=6\n");
    for (const char* key :
         {"a Line", "b Line1x", "c Line 1", "d LineA1", "cLine1", "e Line1 f Line2"})
        EXPECT_EQ(IniEntryExists(file.get(), "A", key), 1) << key;
}

TEST(Continuations, ANumberTooLargeForALongIsNoSuffix) {
    IniFilePtr file = parsed("T Line1=a\nT Line2147483647=b\nT Line2147483648=c\n");
    EXPECT_EQ(valueOf(file.get(), "A", "T"), "ab");
    EXPECT_EQ(valueOf(file.get(), "A", "T Line2147483648"), "c");
}

TEST(Continuations, NumberZeroAndLeadingZerosContinue) {
    IniFilePtr file = parsed("T Line01=a\nT Line0=b\nT Line002=c\nU Line1=d\n");
    EXPECT_EQ(valueOf(file.get(), "A", "T"), "abc") << "01 is the number 1";
    EXPECT_EQ(valueOf(file.get(), "A", "U"), "d");
}

TEST(Continuations, EveryRunOfEverySectionIsJoined) {
    IniFilePtr file = makeIniFile();
    EXPECT_EQ(readText(file.get(), "[A]\nT Line1=a\nT Line2=b\n[B]\nU Line1=c\nU Line2=d\n"
                                   "V Line1=e\nV Line2=f\n"),
              0);
    EXPECT_EQ(valueOf(file.get(), "A", "T"), "ab");
    EXPECT_EQ(valueOf(file.get(), "B", "U"), "cd");
    EXPECT_EQ(valueOf(file.get(), "B", "V"), "ef");
}

TEST(Continuations, BaseNamesUpTo255BytesAreJoined) {
    const std::string base(255, 'n');
    IniFilePtr file = parsed(base + " Line1=a\n" + base + " Line2=b\n");
    EXPECT_EQ(valueOf(file.get(), "A", base.c_str()), "ab");
}

TEST(Continuations, LongerBaseNamesAreLeftUnjoined) {
    const std::string base(256, 'n');
    const std::string huge(5000, 'h');
    IniFilePtr file = parsed(base + " Line1=a\n" + base + " Line2=b\n" + huge +
                             " Line1=c\nS Line1=d\nS Line2=e\n");
    EXPECT_EQ(valueOf(file.get(), "A", (base + " Line1").c_str()), "a");
    EXPECT_EQ(valueOf(file.get(), "A", (base + " Line2").c_str()), "b");
    EXPECT_EQ(valueOf(file.get(), "A", (huge + " Line1").c_str()), "c");
    EXPECT_EQ(valueOf(file.get(), "A", "S"), "de") << "later runs are still joined";
}

TEST(Continuations, ALongBaseNameStillEndsTheRunBeforeIt) {
    const std::string base(300, 'n');
    IniFilePtr file = parsed("T Line1=a\n" + base + " Line1=b\nT Line2=c\n");
    EXPECT_EQ(valueOf(file.get(), "A", "T"), "a");
    EXPECT_EQ(valueOf(file.get(), "A", (base + " Line1").c_str()), "b");
}

TEST(Continuations, JoiningTwiceChangesNothingMore) {
    IniFilePtr file = parsed("T Line1=a\nT Line2=b\n");
    EXPECT_EQ(IniJoinContinuations(file.get()), 0);
    EXPECT_EQ(valueOf(file.get(), "A", "T"), "ab");
    EXPECT_EQ(IniJoinContinuations(nullptr), kIniStatusInvalid);
}

} // namespace
