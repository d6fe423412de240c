// Byte-order marks: UTF-8 is skipped, UTF-16 and UTF-32 are refused, and
// files too short for a mark are plain text.
#include "IniTestSupport.h"

#include <gtest/gtest.h>

namespace {

const std::string kBody = "[VYREX]\nPeriod=5\n";

TEST(EncodingMark, Utf8MarkIsSkipped) {
    IniFilePtr file = makeIniFile();
    EXPECT_EQ(readText(file.get(), "\xEF\xBB\xBF" + kBody), 0);
    EXPECT_EQ(valueOf(file.get(), "VYREX", "Period"), "5");
}

TEST(EncodingMark, Utf8MarkBeforeAnEntryOnTheFirstLine) {
    IniFilePtr file = makeIniFile(kIniStripDoubleQuotes | kIniColonAndNullSection);
    EXPECT_EQ(readText(file.get(), "\xEF\xBB\xBFkey=1"), 0);
    EXPECT_EQ(valueOf(file.get(), "(null)", "key"), "1")
        << "the mark must not become part of the key";
}

TEST(EncodingMark, WideMarksAreRefused) {
    const std::string marks[] = {
        std::string("\xFF\xFE", 2) + kBody,         // UTF-16 little-endian
        std::string("\xFE\xFF", 2) + kBody,         // UTF-16 big-endian
        std::string("\xFF\xFE\x00\x00", 4) + kBody, // UTF-32 little-endian
        std::string("\x00\x00\xFE\xFF", 4) + kBody, // UTF-32 big-endian
        std::string("\xFF\xFE", 2),                 // the mark alone
    };
    for (const std::string& text : marks) {
        IniFilePtr file = makeIniFile();
        EXPECT_EQ(readText(file.get(), text), kIniStatusUnsupportedEncoding)
            << "first bytes " << std::hex << int(uint8_t(text[0])) << " " << int(uint8_t(text[1]));
        EXPECT_EQ(IniSectionExists(file.get(), "VYREX"), 0);
    }
}

TEST(EncodingMark, ShortFilesAreText) {
    IniFilePtr file = makeIniFile();
    EXPECT_EQ(readText(file.get(), ""), 0);
    EXPECT_EQ(readText(file.get(), "x"), 0);
    EXPECT_EQ(readText(file.get(), "\xEF\xBB"), 0) << "two bytes of a UTF-8 mark are no mark";
    // Three bytes that begin a UTF-32 mark: too short for it, so plain text.
    EXPECT_EQ(readText(file.get(), std::string("\x00\x00\xFE", 3)), 0);
}

TEST(EncodingMark, Utf8TextInsideIsKeptAsBytes) {
    IniFilePtr file = makeIniFile();
    EXPECT_EQ(readText(file.get(), "\xEF\xBB\xBF[Kamera]\nName = Gr\xC3\xBC\xC3\x9F"
                                   "e\n"),
              0);
    EXPECT_EQ(valueOf(file.get(), "KAMERA", "name"), "Gr\xC3\xBC\xC3\x9F"
                                                     "e");
}

} // namespace
