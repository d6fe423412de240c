// Line input: every line end convention, empty lines, the zero byte, lines
// longer than any buffer, and the line input function on its own.
#include "IniTestSupport.h"

#include "ini/LineFile.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Every line that IniLineFileInputFunction delivers for text, read with a
// buffer of bufferSize bytes and joined across pieces.
std::vector<std::string> linesOf(const std::string& text, size_t bufferSize = 64) {
    std::vector<char> bytes(text.begin(), text.end());
    bytes.push_back('\0');
    FILE* stream = fmemopen(bytes.data(), text.size(), "rb");
    LineFile* lineFile = LineFileCreate(stream);
    std::vector<std::string> lines;
    std::string line;
    std::vector<char> buffer(bufferSize, '#');
    for (int guard = 0; guard < 100000; ++guard) {
        int32_t endOfFile = -1;
        int32_t endOfLine = -1;
        EXPECT_EQ(IniLineFileInputFunction(lineFile, buffer.data(), buffer.size(), &endOfFile,
                                           &endOfLine, nullptr),
                  0);
        if (endOfFile) {
            EXPECT_FALSE(endOfLine);
            break;
        }
        line += buffer.data();
        if (endOfLine) {
            lines.push_back(line);
            line.clear();
        }
    }
    LineFileDestroy(lineFile);
    fclose(stream);
    return lines;
}

using Lines = std::vector<std::string>;

TEST(LineEnds, EveryConventionGivesTheSameLines) {
    EXPECT_EQ(linesOf("a\nb\n"), (Lines{"a", "b"}));
    EXPECT_EQ(linesOf("a\rb\r"), (Lines{"a", "b"}));
    EXPECT_EQ(linesOf("a\r\nb\r\n"), (Lines{"a", "b"}));
    EXPECT_EQ(linesOf("a\n\rb\n\r"), (Lines{"a", "b"}));
    EXPECT_EQ(linesOf("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
}

TEST(LineEnds, EmptyLinesBetweenLineEndsAreDelivered) {
    EXPECT_EQ(linesOf("a\n\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(linesOf("a\r\n\r\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(linesOf("a\r\rb"), (Lines{"a", "", "b"}));
}

TEST(LineEnds, ALineEndAsTheFirstByteIsSkipped) {
    EXPECT_EQ(linesOf("\nfirst\nsecond"), (Lines{"first", "second"}));
    EXPECT_EQ(linesOf("\rfirst"), (Lines{"first"}));
    IniFilePtr file = makeIniFile();
    EXPECT_EQ(readText(file.get(), "\n[A]\nx=1\n"), 0);
    EXPECT_EQ(valueOf(file.get(), "A", "x"), "1");
}

TEST(LineEnds, TheZeroByteEndsALine) {
    EXPECT_EQ(linesOf(std::string("a\0b\0", 4)), (Lines{"a", "b"}));
    IniFilePtr file = makeIniFile();
    EXPECT_EQ(readText(file.get(), std::string("[A]\0x=1\0y=2", 11)), 0);
    EXPECT_EQ(valueOf(file.get(), "A", "x"), "1");
    EXPECT_EQ(valueOf(file.get(), "A", "y"), "2");
}

TEST(LineEnds, TheLastLineNeedsNoLineEnd) {
    EXPECT_EQ(linesOf("a\nlast"), (Lines{"a", "last"}));
    EXPECT_EQ(linesOf(""), Lines{});
}

TEST(LineEnds, LongLinesArriveInPiecesThatFitTheBuffer) {
    const std::string longLine(5000, 'x');
    EXPECT_EQ(linesOf(longLine + "\r\nend", 7), (Lines{longLine, "end"}));
    // A line that exactly fills the buffer, then a pair of line end bytes.
    EXPECT_EQ(linesOf("abcdef\r\nnext\r\n", 7), (Lines{"abcdef", "next"}));
    EXPECT_EQ(linesOf("abcdefg\r\nnext", 7), (Lines{"abcdefg", "next"}));
}

TEST(LineEnds, ALinePairSplitAcrossTwoRefillsIsOneLineEnd) {
    // The stream is read in blocks of kLineFileBufferSize bytes.
    const std::string first(kLineFileBufferSize - 1, 'a');
    EXPECT_EQ(linesOf(first + "\r\nsecond\n"), (Lines{first, "second"}));
}

TEST(LineEnds, BufferWritesStayInsideTheGivenSize) {
    std::vector<char> bytes = {'a', 'b', 'c', 'd', '\n'};
    FILE* stream = fmemopen(bytes.data(), bytes.size(), "rb");
    LineFile* lineFile = LineFileCreate(stream);
    char buffer[4] = {'#', '#', '#', '#'};
    int32_t endOfFile = 0;
    int32_t endOfLine = 0;
    uint32_t lineNumber = 0;
    ASSERT_EQ(IniLineFileInputFunction(lineFile, buffer, 3, &endOfFile, &endOfLine, &lineNumber),
              0);
    EXPECT_STREQ(buffer, "ab");
    EXPECT_EQ(buffer[3], '#');
    EXPECT_FALSE(endOfFile || endOfLine) << "a full buffer reports neither flag";
    EXPECT_EQ(lineNumber, 1u);
    ASSERT_EQ(IniLineFileInputFunction(lineFile, buffer, 0, &endOfFile, &endOfLine, &lineNumber),
              0);
    EXPECT_EQ(buffer[0], 'a') << "a buffer of size 0 is not written";
    ASSERT_EQ(IniLineFileInputFunction(lineFile, buffer, 4, &endOfFile, &endOfLine, &lineNumber),
              0);
    EXPECT_STREQ(buffer, "cd");
    EXPECT_TRUE(endOfLine);
    EXPECT_EQ(lineNumber, 1u);
    LineFileDestroy(lineFile);
    fclose(stream);
}

TEST(LineEnds, LineNumbersCountLines) {
    std::vector<char> bytes = {'a', '\r', '\n', '\r', '\n', 'b'};
    FILE* stream = fmemopen(bytes.data(), bytes.size(), "rb");
    LineFile* lineFile = LineFileCreate(stream);
    char buffer[16];
    int32_t endOfFile = 0;
    int32_t endOfLine = 0;
    std::vector<uint32_t> numbers;
    for (int i = 0; i < 3; ++i) {
        uint32_t lineNumber = 0;
        IniLineFileInputFunction(lineFile, buffer, sizeof buffer, &endOfFile, &endOfLine,
                                 &lineNumber);
        numbers.push_back(lineNumber);
    }
    EXPECT_EQ(numbers, (std::vector<uint32_t>{1, 2, 3}));
    LineFileDestroy(lineFile);
    fclose(stream);
}

TEST(LineEnds, ParsingAcrossManyBufferDoublings) {
    IniFilePtr file = makeIniFile();
    const std::string key(3000, 'k');
    const std::string value(9000, 'v');
    EXPECT_EQ(readText(file.get(), "[A]\r\n" + key + " = " + value + "\r\nafter=1\r\n"), 0);
    EXPECT_EQ(valueOf(file.get(), "A", key.c_str()), value);
    EXPECT_EQ(valueOf(file.get(), "A", "after"), "1");
}

} // namespace
