// The five driver functions, exported with C linkage for the expert. The
// arguments are checked here, once for every backend; no exception leaves
// them: a failure inside the backend is a status.
#include "driver/VyrexArguments.h"
#include "driver/kit/DriverBackend.h"

#define VYREX_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

template <typename Call>
int32_t Guarded(int32_t argumentCheck, Call call) {
    if (argumentCheck != kVyrexStatusOk) {
        return argumentCheck;
    }
    try {
        return call(VyrexTheBackend());
    } catch (...) {
        return kVyrexStatusInternalError;
    }
}

} // namespace

VYREX_EXPORT int32_t VyrexEnumerateCameras(CameraEntry* entries, uint32_t* count, int32_t flag) {
    return Guarded(VyrexCheckEnumerateCameras(count, flag), [&](VyrexDriverBackend& backend) {
        return backend.EnumerateCameras(entries, count, flag);
    });
}

VYREX_EXPORT int32_t VyrexEnumerateFrameGrabbers(FrameGrabberRecord* entries, uint32_t* count) {
    return Guarded(VyrexCheckEnumerateFrameGrabbers(count), [&](VyrexDriverBackend& backend) {
        return backend.EnumerateFrameGrabbers(entries, count);
    });
}

VYREX_EXPORT int32_t VyrexGetCameraProperty(const char* interfaceName, uint32_t property,
                                            uint32_t* value) {
    return Guarded(VyrexCheckGetCameraProperty(interfaceName, property, value),
                   [&](VyrexDriverBackend& backend) {
                       return backend.GetCameraProperty(interfaceName, property, value);
                   });
}

VYREX_EXPORT int32_t VyrexGetDriverName2(uint64_t serialNumber, char* buffer, uint32_t size) {
    return Guarded(VyrexCheckGetDriverName(buffer, size), [&](VyrexDriverBackend& backend) {
        return backend.GetDriverName(serialNumber, buffer, size);
    });
}

VYREX_EXPORT int32_t VyrexGetDriverVersion(uint32_t* version) {
    return Guarded(VyrexCheckGetDriverVersion(version),
                   [&](VyrexDriverBackend& backend) { return backend.GetDriverVersion(version); });
}
