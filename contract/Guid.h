// Interface and product identifiers: a 32-bit field, two 16-bit fields and
// eight bytes, the integers in the processor's own byte order.
#pragma once

#include <cstdint>
#include <cstring>

struct _GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};

static_assert(sizeof(_GUID) == 16, "a GUID is 16 bytes");

inline bool IsEqualGUID(const _GUID& a, const _GUID& b) {
    return std::memcmp(&a, &b, sizeof(_GUID)) == 0;
}
