// Text helpers: white space and heap copies of byte ranges.
#include "ini/IniText.h"

#include "ini/IniAllocator.h"

#include <cstdint>
#include <cstring>

size_t IniLengthWithoutTrailingSpace(const char* text, size_t length) {
    while (length > 0 && IniIsWhiteSpace(text[length - 1]))
        --length;
    return length;
}

char* IniCopyText(const char* text, size_t length) {
    if (length == SIZE_MAX)
        return nullptr;
    char* copy = static_cast<char*>(IniAllocate(length + 1));
    if (!copy)
        return nullptr;
    memcpy(copy, text, length);
    copy[length] = '\0';
    return copy;
}
