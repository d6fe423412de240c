#include "HostStrings.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// The conversions are written out here: iconv's UTF-16 converters are
// loadable modules, which the PowerPC runtime we also run under lacks.

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void appendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

void appendUtf16(std::u16string& out, char32_t code) {
    if (code < 0x10000) {
        out += char16_t(code);
    } else {
        out += char16_t(0xD800 + ((code - 0x10000) >> 10));
        out += char16_t(0xDC00 + ((code - 0x10000) & 0x3FF));
    }
}

// Decodes the UTF-8 sequence at text[at] into code and advances past it.
// False for an ill-formed sequence (bad lead byte, missing continuation,
// overlong form, surrogate, beyond U+10FFFF): code is then kReplacement and
// at advances by one byte.
bool decodeUtf8(const char* text, size_t size, size_t& at, char32_t& code) {
    const auto byte = [&](size_t i) { return uint8_t(text[i]); };
    const uint8_t lead = byte(at);
    size_t length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        length = 1, code = lead, minimum = 0;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, code = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, code = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, code = lead & 0x07, minimum = 0x10000;
    }
    bool wellFormed = length != 0 && at + length <= size;
    for (size_t i = 1; wellFormed && i < length; ++i) {
        wellFormed = (byte(at + i) & 0xC0) == 0x80;
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    wellFormed =
        wellFormed && code >= minimum && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
    if (!wellFormed) {
        code = kReplacement;
        length = 1;
    }
    at += length;
    return wellFormed;
}

bool decodeUtf8(const std::string& text, size_t& at, char32_t& code) {
    return decodeUtf8(text.data(), text.size(), at, code);
}

} // namespace

std::string toUtf8(const char16_t* text) {
    std::string out;
    if (text == nullptr) {
        return out;
    }
    for (const char16_t* p = text; *p != 0; ++p) {
        char32_t code = *p;
        if (isHighSurrogate(code) && isLowSurrogate(p[1])) {
            code = 0x10000 + ((code - 0xD800) << 10) + (char32_t(p[1]) - 0xDC00);
            ++p;
        } else if (isHighSurrogate(code) || isLowSurrogate(code)) {
            code = kReplacement;
        }
        appendUtf8(out, code);
    }
    return out;
}

std::u16string toUtf16(const std::string& text) {
    std::u16string out;
    char32_t code = 0;
    for (size_t at = 0; at < text.size();) {
        decodeUtf8(text, at, code);
        appendUtf16(out, code);
    }
    return out;
}

size_t utf8ToUtf16(const char* source, size_t sourceBytes, char16_t* destination,
                   size_t destinationUnits) {
    size_t units = 0;
    char32_t code = 0;
    for (size_t at = 0; at < sourceBytes;) {
        decodeUtf8(source, sourceBytes, at, code);
        const size_t needed = code < 0x10000 ? 1 : 2;
        if (destination != nullptr) {
            if (units + needed > destinationUnits) {
                return SIZE_MAX;
            }
            if (needed == 1) {
                destination[units] = char16_t(code);
            } else {
                destination[units] = char16_t(0xD800 + ((code - 0x10000) >> 10));
                destination[units + 1] = char16_t(0xDC00 + ((code - 0x10000) & 0x3FF));
            }
        }
        units += needed;
    }
    return units;
}

bool isUtf8(const std::string& text) {
    char32_t code = 0;
    for (size_t at = 0; at < text.size();) {
        if (!decodeUtf8(text, at, code)) {
            return false;
        }
    }
    return true;
}

std::string takeExpertString(char16_t* text) {
    if (text == nullptr) {
        return {};
    }
    std::string out;
    try {
        out = toUtf8(text);
    } catch (...) {
        std::free(reinterpret_cast<char*>(text) - 4);
        throw;
    }
    std::free(reinterpret_cast<char*>(text) - 4);
    return out;
}

char16_t* allocHostString(const std::u16string& text) {
    if (text.size() > (UINT32_MAX - 6) / 2) {
        return nullptr;
    }
    const uint32_t count = uint32_t(text.size());
    char* block = static_cast<char*>(std::malloc(4 + (size_t(count) + 1) * 2));
    if (block == nullptr) {
        return nullptr;
    }
    std::memcpy(block, &count, 4);
    char16_t* characters = reinterpret_cast<char16_t*>(block + 4);
    std::memcpy(characters, text.data(), size_t(count) * 2);
    characters[count] = 0;
    return characters;
}

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
    const auto field = [&](size_t from, size_t length) {
        return uint32_t(std::strtoul(hex.substr(from, length).c_str(), nullptr, 16));
    };
    guid->Data1 = field(0, 8);
    guid->Data2 = uint16_t(field(8, 4));
    guid->Data3 = uint16_t(field(12, 4));
    for (size_t i = 0; i < 8; ++i) {
        guid->Data4[i] = uint8_t(field(16 + 2 * i, 2));
    }
    return true;
}
