// Wide strings from the fixed-size narrow text fields of driver records,
// which hold their text zero-terminated when it is shorter than the field
// and unterminated when it fills it.
#pragma once

#include "tarn/StringBase.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace kr::tarn {

// The text of the fieldBytes bytes at field: up to the first zero byte, or
// the whole field when it has none. Converted as narrow text is converted
// into every wide string. Null field with fieldBytes other than 0 throws
// InvalidArgument.
inline WideString WideStringFromField(const char* field, uint32_t fieldBytes) {
    if (field == nullptr || fieldBytes == 0) {
        return WideString(field, fieldBytes);
    }
    const void* terminator = std::memchr(field, 0, fieldBytes);
    const uint32_t length =
        terminator != nullptr ? uint32_t(static_cast<const char*>(terminator) - field) : fieldBytes;
    return WideString(field, length);
}

template <size_t Bytes>
WideString WideStringFromField(const char (&field)[Bytes]) {
    static_assert(Bytes <= UINT32_MAX, "a field's size is a 32-bit count");
    return WideStringFromField(field, uint32_t(Bytes));
}

} // namespace kr::tarn
