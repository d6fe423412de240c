// The five driver functions, exported with C linkage for the expert. Camera
// calls answer from the latest completed discovery and never wait for the
// network; no exception leaves them.
#include "aravisdriver/src/AravisDiscovery.h"
#include "aravisdriver/src/Backend.h"
#include "aravisdriver/src/Status.h"
#include "driver/VyrexDriver.h"

#define VYREX_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

template <typename Call>
int32_t Guarded(Call call) {
    try {
        return call();
    } catch (...) {
        return vyrexaravis::kStatusInternalError;
    }
}

} // namespace

VYREX_EXPORT int32_t VyrexEnumerateCameras(CameraEntry* entries, uint32_t* count, int32_t flag) {
    return Guarded([&] { return vyrexaravis::Cameras().EnumerateCameras(entries, count, flag); });
}

// This backend reaches cameras only.
VYREX_EXPORT int32_t VyrexEnumerateFrameGrabbers(FrameGrabberRecord*, uint32_t* count) {
    if (count == nullptr) {
        return vyrexaravis::kStatusBadArgument;
    }
    *count = 0;
    return vyrexaravis::kStatusOk;
}

VYREX_EXPORT int32_t VyrexGetCameraProperty(const char* interfaceName, uint32_t property,
                                            uint32_t* value) {
    return Guarded(
        [&] { return vyrexaravis::Cameras().GetCameraProperty(interfaceName, property, value); });
}

VYREX_EXPORT int32_t VyrexGetDriverName2(uint64_t serialNumber, char* buffer, uint32_t size) {
    return Guarded(
        [&] { return vyrexaravis::Cameras().GetDriverName(serialNumber, buffer, size); });
}

// The expert asks for the version when it is initialized, which is a good
// moment to start discovery too.
VYREX_EXPORT int32_t VyrexGetDriverVersion(uint32_t* version) {
    return Guarded([&] {
        if (version == nullptr) {
            return vyrexaravis::kStatusBadArgument;
        }
        vyrexaravis::Cameras();
        *version = vyrexaravis::AravisVersion();
        return vyrexaravis::kStatusOk;
    });
}
