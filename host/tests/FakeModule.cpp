// A module that exports the expert's three names but whose factory fails,
// so the host's report of a failing factory can be seen.
#include "contract/Status.h"
#include "contract/oxSysInterfaces.h"

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

FAKE_EXPORT int32_t createVyrexSysapiExpert(IoxSysExpert2** expert) {
    *expert = nullptr;
    return E_OUTOFMEMORY;
}

FAKE_EXPORT const char* const* nKRVersion_KRVYREX_SYSAPI_EXPERT_getVersionStringArray() {
    static const char* const record[] = {"nKRVersion_CompanyName=Test", nullptr};
    return record;
}

extern "C" {
__attribute__((visibility("default"))) const char* KRRTINIFilePath = "/c/kr-rt.ini";
}
