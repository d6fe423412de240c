// The three names the module exports, with C linkage. Everything else in the
// module is hidden (see krvyrexSysapiExpert.map).
#pragma once

#include <cstdint>

#define KR_MODULE_EXPORT __attribute__((visibility("default")))

class IoxSysExpert2;

extern "C" {

// Creates one expert; *out receives its primary interface holding one
// reference. 0x80004003 for a null out, 0x8007000E when it cannot be made.
KR_MODULE_EXPORT int32_t createVyrexSysapiExpert(IoxSysExpert2** out);

// A static, null-terminated array of "key=value" texts describing the build.
KR_MODULE_EXPORT const char* const* nKRVersion_KRVYREX_SYSAPI_EXPERT_getVersionStringArray();

// The controller's INI file; a host may repoint it before creating an expert.
KR_MODULE_EXPORT extern const char* KRRTINIFilePath;
}
