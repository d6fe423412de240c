// The operations that tell the host which product the expert serves.
#include "expert/CoxSysVyrex.h"

#include "contract/BStr.h"
#include "contract/Version.h"

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
    return CopyOutString(u"" KR_VERSION_TEXT, version);
}

int32_t CoxSysVyrex::SetPreferredLocale(oxSysLocale) {
    return E_NOTIMPL;
}

} // namespace nKRVYREX_SYSAPI_EXPERT_18_5
