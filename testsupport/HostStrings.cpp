#include "HostStrings.h"

#include "hostkit/ExpertTexts.h"

#include <gtest/gtest.h>

std::u16string takeWideString(char16_t* text) {
    if (text == nullptr) {
        return {};
    }
    const std::optional<std::u16string> taken = takeString(text);
    EXPECT_TRUE(taken) << "length prefix";
    return taken.value_or(u"");
}

std::string takeText(char16_t* text) {
    return toUtf8(takeWideString(text));
}

std::u16string wide(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}
