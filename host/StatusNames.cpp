#include "StatusNames.h"

#include <cstdio>

namespace {

struct StatusName {
    uint32_t value;
    const char* name;
    const char* meaning;
};

constexpr StatusName kNames[] = {
    {0x00000000, "S_OK", "success"},
    {0x00000001, "S_FALSE", "success, nothing or fewer items found"},
    {0x80004001, "E_NOTIMPL", "not implemented"},
    {0x80004002, "E_NOINTERFACE", "no such interface"},
    {0x80004003, "E_POINTER", "a required pointer is null"},
    {0x80004005, "E_FAIL", "unspecified failure"},
    {0x8007000E, "E_OUTOFMEMORY", "out of memory"},
    {0x80040370, "OX_E_PROPERTY_TYPE_MISMATCH", "the property holds another type"},
    {0x80040371, "OX_E_PROPERTY_NOT_FOUND", "no property with this tag"},
    {0x80040375, "OX_E_ITEM_NOT_FOUND", "no item of that name"},
};

} // namespace

std::string describeStatus(int32_t status) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", unsigned(status));
    for (const StatusName& entry : kNames) {
        if (entry.value == uint32_t(status)) {
            return std::string(hex) + " (" + entry.name + ": " + entry.meaning + ")";
        }
    }
    return hex;
}
