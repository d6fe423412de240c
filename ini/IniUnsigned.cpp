// Unsigned 32-bit values: decimal digits, an optional '+', white space
// around them, nothing else.
#include "ini/IniObjects.h"
#include "ini/IniText.h"

namespace {

bool isDigit(char byte) {
    return byte >= '0' && byte <= '9';
}

// 1 with the number, 0 for blank text, -5022 for anything but a number.
int32_t convertUnsigned(const char* text, uint32_t* number) {
    const char* cursor = IniSkipWhiteSpace(text);
    if (*cursor == '\0')
        return kIniNotFound;
    if (*cursor == '+')
        ++cursor;
    if (!isDigit(*cursor))
        return kIniStatusNotUnsigned;
    uint64_t value = 0;
    for (; isDigit(*cursor); ++cursor) {
        value = value * 10 + uint64_t(*cursor - '0');
        if (value > UINT32_MAX)
            return kIniStatusNotUnsigned;
    }
    if (*IniSkipWhiteSpace(cursor) != '\0')
        return kIniStatusNotUnsigned;
    *number = uint32_t(value);
    return kIniFound;
}

} // namespace

int32_t IniGetUnsigned(IniFile* file, const char* section, const char* key, uint32_t* number) {
    const char* value = nullptr;
    if (!number || IniGetString(file, section, key, &value) != kIniFound)
        return kIniNotFound;
    return convertUnsigned(value, number);
}
