#include "present/StatusNames.h"

#include "contract/Status.h"

#include <cstdio>

namespace {

struct StatusName {
    int32_t value;
    const char* name;
    const char* meaning;
};

constexpr StatusName kNames[] = {
    {S_OK, "S_OK", "success"},
    {S_FALSE, "S_FALSE", "success, nothing or fewer items found"},
    {E_NOTIMPL, "E_NOTIMPL", "not implemented"},
    {E_NOINTERFACE, "E_NOINTERFACE", "no such interface"},
    {E_POINTER, "E_POINTER", "a required pointer is null"},
    {E_FAIL, "E_FAIL", "unspecified failure"},
    {E_OUTOFMEMORY, "E_OUTOFMEMORY", "out of memory"},
    {OX_E_PROPERTY_TYPE_MISMATCH, "OX_E_PROPERTY_TYPE_MISMATCH", "the property holds another type"},
    {OX_E_PROPERTY_NOT_FOUND, "OX_E_PROPERTY_NOT_FOUND", "no property with this tag"},
    {OX_E_ITEM_NOT_FOUND, "OX_E_ITEM_NOT_FOUND", "no item of that name"},
};

} // namespace

std::string describeStatus(int32_t status) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", unsigned(status));
    for (const StatusName& entry : kNames) {
        if (entry.value == status) {
            return std::string(hex) + " (" + entry.name + ": " + entry.meaning + ")";
        }
    }
    return hex;
}
