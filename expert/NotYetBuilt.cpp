// Operations whose behaviour arrives with the inventory and the searches.
#include "expert/CoxSysVyrex.h"

namespace nKRVYREX_SYSAPI_EXPERT_18_5 {

int32_t CoxSysVyrex::Initialize() {
    return S_OK;
}

int32_t CoxSysVyrex::Finalize() {
    return S_OK;
}

int32_t CoxSysVyrex::SearchForItemsAndProperties(IoxSysPropertyBagCollection*) {
    return E_NOTIMPL;
}

int32_t CoxSysVyrex::SearchForItemNames(IoxSysEnumStringList**) {
    return E_NOTIMPL;
}

int32_t CoxSysVyrex::GetPropertiesOfItem(const char16_t*, IoxSysPropertyBag**) {
    return E_NOTIMPL;
}

int32_t CoxSysVyrex::PopulateOrRefreshProperties(const char16_t*, uint32_t, const uint32_t*,
                                                 int32_t, IoxSysPropertyBag**) {
    return E_NOTIMPL;
}

int32_t CoxSysVyrex::RenameAlias(const char16_t*, const char16_t*, oxSysRenameValidationMode,
                                 int32_t*, char16_t**) {
    return E_NOTIMPL;
}

int32_t CoxSysVyrex::ValidatePropertyChanges(const char16_t*, IoxSysPropertyBag2*,
                                             IoxSysEnumPropertyTag**, char16_t**) {
    return E_NOTIMPL;
}

int32_t CoxSysVyrex::PersistPropertyChanges(const char16_t*, IoxSysPropertyBag2*, int32_t*) {
    return E_NOTIMPL;
}

} // namespace nKRVYREX_SYSAPI_EXPERT_18_5
