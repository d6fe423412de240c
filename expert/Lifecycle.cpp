// Starting and stopping the refresh thread, and the refresh period.
#include "expert/CoxSysVyrex.h"
#include "expert/ModuleExports.h"

#include "ini/Ini.h"

#include <climits>

namespace nKRVYREX_SYSAPI_EXPERT_18_5 {

const char* const CameraListRefreshTimeString = "SystemapiExpertCameraListRefreshTimeInSec";

namespace {

constexpr uint32_t kDefaultRefreshPeriodSec = 2;

} // namespace

uint32_t CoxSysVyrex::GetCameraListRefreshTimeInSec() {
    IniFile* file = IniCreate(0);
    if (file == nullptr) {
        return kDefaultRefreshPeriodSec;
    }
    uint32_t seconds = 0;
    bool counted = false;
    if (IniReadFile(file, KRRTINIFilePath) == 0) {
        counted = IniGetUnsigned(file, "VYREX", CameraListRefreshTimeString, &seconds) == 1;
    }
    IniDestroy(file);
    return counted && seconds != 0 ? seconds : kDefaultRefreshPeriodSec;
}

// The driver's version is read before the refresh thread starts, so the
// bags of the first pass (which a handler may read at once) already carry
// it. A running thread is left alone (the controller refuses a second
// start); the version is read again either way.
int32_t CoxSysVyrex::Initialize() {
    uint32_t version = 0;
    if (VyrexGetDriverVersion(&version) == 0) {
        m_driverVersion.store(version, std::memory_order_relaxed);
    }
    nKRZEPH000::tStatus status;
    m_threadController.start(static_cast<nKRZEPH000::iThread*>(this), status);
    return S_OK;
}

// A stop signal that finds no waiting thread stays pending, so the current
// pass completes (notifications included) and the thread then ends without
// waiting a further period.
//
// Called by a handler on the refresh thread itself, Finalize cannot wait
// for that thread: the pending stop ends it after the current pass.
int32_t CoxSysVyrex::Finalize() {
    m_stopEvent.signal();
    if (!OnRefreshThread()) {
        m_threadController.join();
    }
    return S_OK;
}

int32_t CoxSysVyrex::RefreshWaitMs(uint32_t periodSec) {
    const uint64_t ms = uint64_t(periodSec) * 1000u;
    return ms > uint64_t(INT32_MAX) ? INT32_MAX : int32_t(ms);
}

} // namespace nKRVYREX_SYSAPI_EXPERT_18_5
