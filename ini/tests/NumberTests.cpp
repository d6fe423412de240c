// Unsigned values: what converts, what is blank, and what is refused.
#include "IniTestSupport.h"

#include "Poison.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t kPoison = kPoisonWord;

struct Conversion {
    int32_t status;
    uint32_t number;
};

Conversion convert(const std::string& valueLine) {
    IniFilePtr file = makeIniFile(kIniAcceptEmptyValue | kIniStripDoubleQuotes);
    EXPECT_EQ(readText(file.get(), "[A]\nv" + valueLine + "\n"), 0);
    Conversion result = {0, kPoison};
    result.status = IniGetUnsigned(file.get(), "A", "v", &result.number);
    return result;
}

TEST(Numbers, DecimalNumbersConvert) {
    EXPECT_EQ(convert("=5").number, 5u);
    EXPECT_EQ(convert("=  +7  ").number, 7u);
    EXPECT_EQ(convert("=0").number, 0u);
    EXPECT_EQ(convert("=007").number, 7u);
    EXPECT_EQ(convert("=4294967295").number, 4294967295u);
    EXPECT_EQ(convert("=\" 12 \"").number, 12u) << "white space inside quotes is allowed";
    EXPECT_EQ(convert("=5").status, 1);
}

TEST(Numbers, AnythingElseIsRefusedAndLeavesTheOutputAlone) {
    for (const char* text : {"5s", "-1", "-0", "4294967296", "99999999999999999999", "+", "++1",
                             "+ 1", "1 2", "0x10", "1.0", "s5"}) {
        const Conversion result = convert(std::string("=") + text);
        EXPECT_EQ(result.status, kIniStatusNotUnsigned) << text;
        EXPECT_EQ(result.number, kPoison) << text;
    }
}

TEST(Numbers, BlankOrMissingIsNotFound) {
    const Conversion blank = convert("=");
    EXPECT_EQ(blank.status, 0);
    EXPECT_EQ(blank.number, kPoison);
    const Conversion quotedBlank = convert("=\"  \"");
    EXPECT_EQ(quotedBlank.status, 0);

    IniFilePtr file = makeIniFile();
    EXPECT_EQ(readText(file.get(), "[A]\nv=1\n"), 0);
    uint32_t number = kPoison;
    EXPECT_EQ(IniGetUnsigned(file.get(), "A", "w", &number), 0);
    EXPECT_EQ(IniGetUnsigned(file.get(), "B", "v", &number), 0);
    EXPECT_EQ(number, kPoison);
}

} // namespace
