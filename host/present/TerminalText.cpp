#include "present/TerminalText.h"

#include <cstdio>

namespace {

enum class Style { Terminal, Json };

std::string escape(const char* format, unsigned codePoint) {
    char text[8];
    std::snprintf(text, sizeof text, format, codePoint);
    return text;
}

std::string escapeControls(std::string_view text, Style style) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0u;
        if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) { // C1 in UTF-8
            out += escape("\\u%04x", next);
            ++i;
        } else if (byte == 0x7F) {
            out += escape(style == Style::Json ? "\\u%04x" : "\\x%02x", byte);
        } else if (byte < 0x20 && style == Style::Terminal) {
            out += escape("\\x%02x", byte);
        } else {
            out += char(byte);
        }
    }
    return out;
}

} // namespace

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
