// The five driver functions, exported with C linkage for the expert. No
// exception leaves them: a failure inside the simulator is a status.
#include "driver/VyrexDriver.h"
#include "simdriver/src/Model.h"

#define VYREX_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

template <typename Call>
int32_t Guarded(Call call) {
    try {
        return call(vyrexsim::Model::Instance());
    } catch (...) {
        return vyrexsim::kStatusInternalError;
    }
}

} // namespace

VYREX_EXPORT int32_t VyrexEnumerateCameras(CameraEntry* entries, uint32_t* count, int32_t flag) {
    return Guarded(
        [&](vyrexsim::Model& model) { return model.EnumerateCameras(entries, count, flag); });
}

VYREX_EXPORT int32_t VyrexEnumerateFrameGrabbers(FrameGrabberRecord* entries, uint32_t* count) {
    return Guarded(
        [&](vyrexsim::Model& model) { return model.EnumerateFrameGrabbers(entries, count); });
}

VYREX_EXPORT int32_t VyrexGetCameraProperty(const char* interfaceName, uint32_t property,
                                            uint32_t* value) {
    return Guarded([&](vyrexsim::Model& model) {
        return model.GetCameraProperty(interfaceName, property, value);
    });
}

VYREX_EXPORT int32_t VyrexGetDriverName2(uint64_t serialNumber, char* buffer, uint32_t size) {
    return Guarded(
        [&](vyrexsim::Model& model) { return model.GetDriverName(serialNumber, buffer, size); });
}

VYREX_EXPORT int32_t VyrexGetDriverVersion(uint32_t* version) {
    return Guarded([&](vyrexsim::Model& model) { return model.GetDriverVersion(version); });
}
