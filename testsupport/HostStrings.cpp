#include "HostStrings.h"

#include "contract/BStr.h"

#include <gtest/gtest.h>

std::u16string takeWideString(char16_t* text) {
    if (text == nullptr) {
        return {};
    }
    std::u16string taken(text);
    EXPECT_EQ(BStrLen(text), taken.size()) << "length prefix";
    BStrFree(text);
    return taken;
}

std::string takeString(char16_t* text) {
    std::string out;
    for (char16_t unit : takeWideString(text)) {
        out += unit < 0x80 ? char(unit) : '?';
    }
    return out;
}

std::u16string wide(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}
