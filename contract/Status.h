// Status codes of the component interfaces. Negative values are failures.
#pragma once

#include <cstdint>

constexpr int32_t S_OK = 0;
constexpr int32_t S_FALSE = 1; // success with fewer items, or nothing found
constexpr int32_t E_NOTIMPL = int32_t(0x80004001);
constexpr int32_t E_NOINTERFACE = int32_t(0x80004002);
constexpr int32_t E_POINTER = int32_t(0x80004003);
constexpr int32_t E_FAIL = int32_t(0x80004005);
constexpr int32_t E_OUTOFMEMORY = int32_t(0x8007000E);

// Property bags and items.
constexpr int32_t OX_E_PROPERTY_TYPE_MISMATCH = int32_t(0x80040370);
constexpr int32_t OX_E_PROPERTY_NOT_FOUND = int32_t(0x80040371);
constexpr int32_t OX_E_ITEM_NOT_FOUND = int32_t(0x80040375);

constexpr bool KR_FAILED(int32_t status) {
    return status < 0;
}
