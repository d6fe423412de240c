#include "hostkit/ExpertTexts.h"

#include "contract/BStr.h"

#include <utf8.h>

#include <memory>

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool isHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The converter refuses a surrogate without its partner; the host shows one
// as U+FFFD instead.
void replaceUnpairedSurrogates(std::u16string& units) {
    for (size_t i = 0; i < units.size(); ++i) {
        if (isHighSurrogate(units[i]) && i + 1 < units.size() && isLowSurrogate(units[i + 1])) {
            ++i;
        } else if (isHighSurrogate(units[i]) || isLowSurrogate(units[i])) {
            units[i] = kReplacement;
        }
    }
}

} // namespace

std::optional<std::u16string> takeString(char16_t* text) {
    if (text == nullptr) {
        return std::nullopt;
    }
    const std::unique_ptr<char16_t, decltype(&BStrFree)> owned(text, &BStrFree);
    std::u16string units(text);
    if (BStrLen(text) != units.size()) {
        return std::nullopt;
    }
    return units;
}

std::string toUtf8(std::u16string_view text) {
    std::u16string units(text);
    replaceUnpairedSurrogates(units);
    return utf8::utf16to8(units);
}

std::string toUtf8(const char16_t* text) {
    return text != nullptr ? toUtf8(std::u16string_view(text)) : std::string();
}

std::u16string toUtf16(std::string_view text) {
    return utf8::utf8to16(utf8::replace_invalid(text, kReplacement));
}

std::string takeUtf8(char16_t* text) {
    return toUtf8(takeString(text).value_or(u""));
}
