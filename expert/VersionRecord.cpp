// The version record: what the controller's module list shows for this file.
#include "expert/ModuleExports.h"

#include "contract/Version.h"
#include "expert/BuildStamp.h" // generated at build time: KR_BUILD_STAMP, KR_BUILD_CONFIGURATION

namespace {

const char* const kVersionStrings[] = {
    "nKRVersion_CompanyName=Kroneth Corporation",
    "nKRVersion_LegalCopyright=Copyright (C) 2026 Kroneth Corporation. All rights reserved.",
    "nKRVersion_ProductName=KRVYREX_SYSAPI_EXPERT",
    "nKRVersion_OriginalFilename=krvyrexSysapiExpert.out",
    "nKRVersion_FileDescription=System API Expert for KR Vyrex",
    "nKRVersion_ProductVersion=" KR_FILE_VERSION_TEXT,
    "nKRVersion_FileVersion=" KR_FILE_VERSION_TEXT,
    "nKRVersion_InternalName=KRVYREX_SYSAPI_EXPERT " KR_FILE_VERSION_TEXT,
    "nKRVersion_Comments=" KR_BUILD_STAMP ", " KR_BUILD_CONFIGURATION,
    nullptr,
};

} // namespace

extern "C" const char* const* nKRVersion_KRVYREX_SYSAPI_EXPERT_getVersionStringArray() {
    return kVersionStrings;
}
