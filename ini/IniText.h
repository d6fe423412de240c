// Text helpers of the INI reader. White space is every byte that isspace
// or iscntrl accepts.
#pragma once

#include <cctype>
#include <cstddef>

// Inline: the parser and the name comparisons ask this for nearly every byte.
inline bool IniIsWhiteSpace(char byte) {
    const int c = static_cast<unsigned char>(byte);
    // Printable ASCII is neither space nor control in any locale; most bytes
    // of a configuration file are decided here without a library call.
    if (c > ' ' && c < 0x7F)
        return false;
    return isspace(c) || iscntrl(c);
}

// The first byte of text that is not white space.
inline const char* IniSkipWhiteSpace(const char* text) {
    while (*text && IniIsWhiteSpace(*text))
        ++text;
    return text;
}

// The length of the first `length` bytes of text without white space at
// their end.
size_t IniLengthWithoutTrailingSpace(const char* text, size_t length);

// A zero-terminated heap copy of `length` bytes of text, or null when memory
// is short.
char* IniCopyText(const char* text, size_t length);
