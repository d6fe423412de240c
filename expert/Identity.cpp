// The operations that tell the host which product the expert serves.
#include "expert/CoxSysVyrex.h"

#include "contract/BStr.h"
#include "contract/Version.h"

#include <cstdio>

namespace nKRVYREX_SYSAPI_EXPERT_18_5 {

int32_t CoxSysVyrex::CopyOutString(const char16_t* text, char16_t** destination) {
    if (destination == nullptr) {
        return E_POINTER;
    }
    *destination = BStrAlloc(text);
    return *destination != nullptr ? S_OK : E_OUTOFMEMORY;
}

int32_t CoxSysVyrex::GetProductID(_GUID* id) {
    if (id == nullptr) {
        return E_POINTER;
    }
    *id = s_productID;
    return S_OK;
}

int32_t CoxSysVyrex::GetProgrammaticName(char16_t** name) {
    return CopyOutString(u"krvyrex", name);
}

int32_t CoxSysVyrex::GetProductDisplayName(char16_t** name) {
    return CopyOutString(u"KR Vyrex Sysapi Expert", name);
}

int32_t CoxSysVyrex::GetProductVersion(char16_t** version) {
    char narrow[32] = {};
    std::snprintf(narrow, sizeof narrow, "%u.%u", KR_VERSION_MAJOR, KR_VERSION_MINOR);
    // The text is ASCII: each byte becomes one unit.
    char16_t wide[sizeof narrow] = {};
    for (size_t i = 0; i < sizeof narrow && narrow[i] != '\0'; ++i) {
        wide[i] = char16_t(static_cast<unsigned char>(narrow[i]));
    }
    return CopyOutString(wide, version);
}

int32_t CoxSysVyrex::SetPreferredLocale(oxSysLocale) {
    return E_NOTIMPL;
}

} // namespace nKRVYREX_SYSAPI_EXPERT_18_5
