#include "present/TerminalText.h"

#include <cstdio>

namespace {

enum class Style { Terminal, Json };

std::string escape(const char* format, unsigned codePoint) {
    char text[16];
    std::snprintf(text, sizeof text, format, codePoint);
    return text;
}

// Characters that are not controls yet change how a terminal lays out the
// text around them: the bidirectional marks, embeddings, overrides and
// isolates, zero-width characters, the line and paragraph separators, the
// invisible operators and the byte order mark.
bool changesLayout(char32_t c) {
    return c == 0x061C || (c >= 0x200B && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E) ||
           (c >= 0x2060 && c <= 0x2064) || (c >= 0x2066 && c <= 0x2069) || c == 0xFEFF;
}

std::string escapeControls(std::string_view text, Style style) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        char32_t c = 0;
        const size_t length = decodeUtf8(text, i, &c);
        if (length == 0) { // not UTF-8: left for the terminal to show as it can
            out += text[i++];
            continue;
        }
        if ((c >= 0x80 && c <= 0x9F) || changesLayout(c)) {
            out += escape("\\u%04x", unsigned(c));
        } else if (c == 0x7F) {
            out += escape(style == Style::Json ? "\\u%04x" : "\\x%02x", unsigned(c));
        } else if (c < 0x20 && style == Style::Terminal) {
            out += escape("\\x%02x", unsigned(c));
        } else {
            out.append(text.substr(i, length));
        }
        i += length;
    }
    return out;
}

} // namespace

size_t decodeUtf8(std::string_view text, size_t i, char32_t* c) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const size_t length = byte < 0x80   ? 1
                          : byte < 0xC2 ? 0
                          : byte < 0xE0 ? 2
                          : byte < 0xF0 ? 3
                          : byte < 0xF5 ? 4
                                        : 0;
    if (length == 0 || i + length > text.size()) {
        return 0;
    }
    char32_t value = length == 1 ? byte : byte & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        value = (value << 6) | (next & 0x3F);
    }
    *c = value;
    return length;
}

std::string terminalSafe(std::string_view text) {
    return escapeControls(text, Style::Terminal);
}

std::string quotedText(std::string_view text) {
    std::string inner;
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            inner += '\\';
        }
        inner += c;
    }
    return "\"" + terminalSafe(inner) + "\"";
}

std::string jsonTerminalSafe(std::string_view json) {
    return escapeControls(json, Style::Json);
}
