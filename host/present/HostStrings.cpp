#include "present/HostStrings.h"

#include "cli/WholeNumber.h"

#include <cctype>
#include <cstdint>
#include <cstdio>

namespace {

// The value of hexadecimal digits that are known to be well-formed.
uint32_t hexValue(std::string_view digits) {
    uint32_t value = 0;
    parseWhole(digits, 16, &value);
    return value;
}

} // namespace

std::string guidText(const _GUID& g) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  unsigned(g.Data1), unsigned(g.Data2), unsigned(g.Data3), g.Data4[0], g.Data4[1],
                  g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return text;
}

bool parseGuid(const std::string& text, _GUID* guid) {
    std::string digits = text;
    if (digits.size() == 38 && digits.front() == '{' && digits.back() == '}') {
        digits = digits.substr(1, 36);
    }
    if (digits.size() != 36) {
        return false;
    }
    std::string hex;
    for (size_t i = 0; i < digits.size(); ++i) {
        const bool hyphenPlace = i == 8 || i == 13 || i == 18 || i == 23;
        if (hyphenPlace != (digits[i] == '-')) {
            return false;
        }
        if (!hyphenPlace) {
            if (!std::isxdigit(static_cast<unsigned char>(digits[i]))) {
                return false;
            }
            hex += digits[i];
        }
    }
    const std::string_view all = hex;
    guid->Data1 = hexValue(all.substr(0, 8));
    guid->Data2 = uint16_t(hexValue(all.substr(8, 4)));
    guid->Data3 = uint16_t(hexValue(all.substr(12, 4)));
    for (size_t i = 0; i < 8; ++i) {
        guid->Data4[i] = uint8_t(hexValue(all.substr(16 + 2 * i, 2)));
    }
    return true;
}
