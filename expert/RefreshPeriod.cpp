// The refresh period: read once from the INI file KRRTINIFilePath names when
// the expert is made, and turned into the refresh thread's wait.
#include "expert/CoxSysVyrex.h"
#include "expert/ModuleExports.h"

#include "contract/RefreshPeriodSetting.h"
#include "ini/Ini.h"

#include <climits>

namespace nKRVYREX_SYSAPI_EXPERT_18_5 {

const char* const CameraListRefreshTimeString = kRefreshPeriodKey;

uint32_t CoxSysVyrex::GetCameraListRefreshTimeInSec() {
    IniFile* file = IniCreate(0);
    if (file == nullptr) {
        return kDefaultRefreshPeriodSec;
    }
    uint32_t seconds = 0;
    bool counted = false;
    if (IniReadFile(file, KRRTINIFilePath) == 0) {
        counted =
            IniGetUnsigned(file, kRefreshPeriodSection, CameraListRefreshTimeString, &seconds) == 1;
    }
    IniDestroy(file);
    return counted && seconds != 0 ? seconds : kDefaultRefreshPeriodSec;
}

int32_t CoxSysVyrex::RefreshWaitMs(uint32_t periodSec) {
    const uint64_t ms = uint64_t(periodSec) * 1000u;
    return ms > uint64_t(INT32_MAX) ? INT32_MAX : int32_t(ms);
}

} // namespace nKRVYREX_SYSAPI_EXPERT_18_5
