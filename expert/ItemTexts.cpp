#include "expert/ItemTexts.h"

#include "contract/LinkSpeeds.h"

#include <cstring>

namespace nKRVYREX_SYSAPI_EXPERT_18_5 {

namespace {

constexpr char kMakerVendor[] = "Kroneth";
constexpr char kMakerModelPrefix[] = "KR ";

bool startsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

bool isListedWidth(uint32_t width) {
    return width == 1 || width == 2 || width == 4 || width == 8 || width == 16 || width == 32;
}

constexpr char kHexDigits[] = "0123456789ABCDEF";

// The decimal digits of a byte, appended without leading zeros.
void appendDecimal(std::string& text, unsigned value) {
    if (value >= 100) {
        text += char('0' + value / 100);
    }
    if (value >= 10) {
        text += char('0' + value / 10 % 10);
    }
    text += char('0' + value % 10);
}

} // namespace

std::string FieldText(const char (&field)[kVyrexTextSize]) {
    return std::string(field, strnlen(field, kVyrexTextSize));
}

std::string SerialNumberText(uint32_t high, uint32_t low) {
    uint64_t value = (uint64_t(high) << 32) | low;
    char text[16];
    char* first = text + sizeof text;
    do {
        *--first = kHexDigits[value & 0xF];
        value >>= 4;
    } while (value != 0);
    return std::string(first, text + sizeof text);
}

std::string ModelText(const std::string& vendor, const std::string& model) {
    if (!startsWith(vendor, kMakerVendor)) {
        return vendor + " " + model;
    }
    if (!startsWith(model, kMakerModelPrefix)) {
        return kMakerModelPrefix + model;
    }
    return model;
}

std::string AddressText(uint32_t address) {
    std::string text;
    text.reserve(15); // within the short-string buffer: no allocation
    for (int shift = 24; shift >= 0; shift -= 8) {
        appendDecimal(text, (address >> shift) & 0xFF);
        if (shift != 0) {
            text += '.';
        }
    }
    return text;
}

std::string EightDigitText(uint32_t value) {
    char text[8];
    for (int i = 7; i >= 0; --i, value >>= 4) {
        text[i] = kHexDigits[value & 0xF];
    }
    return std::string(text, sizeof text);
}

LinkDescription LinkSpeed(uint32_t code) {
    const char* text = oxSysLinkSpeedText(code);
    // oxSysLinkSpeedText answers an unknown code with kOxSysNotDetected itself.
    return {text, text == kOxSysNotDetected ? -1 : int32_t(code)};
}

std::string LinkWidthText(uint32_t width) {
    if (!isListedWidth(width)) {
        return kOxSysNotDetected;
    }
    std::string text = "X";
    appendDecimal(text, width);
    return text;
}

int32_t LinkWidthNumber(uint32_t width) {
    return isListedWidth(width) ? int32_t(width) : -1;
}

} // namespace nKRVYREX_SYSAPI_EXPERT_18_5
