// The module's one way in: the host creates the expert here.
#include "expert/CoxSysVyrex.h"
#include "expert/ModuleExports.h"

using nKRVYREX_SYSAPI_EXPERT_18_5::CoxSysVyrex;

extern "C" int32_t createVyrexSysapiExpert(IoxSysExpert2** out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = nullptr;
    try {
        CKRComObject<CoxSysVyrex>* expert = CreateComObject<CoxSysVyrex>();
        *out = expert;
        return S_OK;
    } catch (int32_t status) {
        return status;
    }
}
