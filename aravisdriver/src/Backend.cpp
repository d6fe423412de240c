#include "aravisdriver/src/Backend.h"

#include "aravisdriver/src/AravisDiscovery.h"
#include "aravisdriver/src/DiscoveryThread.h"
#include "driver/kit/DriverBackend.h"

#include <arv.h>
#include <dlfcn.h>

namespace vyrexaravis {
namespace {

// Between two discoveries: each already takes about a second on a network.
constexpr std::chrono::milliseconds kPauseBetweenDiscoveries{500};

// Aravis registers GObject types, which GObject keeps for the life of the
// process; were Aravis unloaded with this library, loading it again would
// register them a second time. So Aravis stays loaded once it was used.
void KeepAravisLoaded() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&arv_update_device_list), &info) != 0 &&
        info.dli_fname != nullptr) {
        // The handle is never closed, on purpose.
        dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    }
}

struct Backend {
    Backend() { KeepAravisLoaded(); }

    CameraList cameras;
    // Declared last, so it is stopped before the list goes.
    DiscoveryThread discovery{cameras, DiscoverCameras, kPauseBetweenDiscoveries};
};

} // namespace

const CameraList& Cameras() {
    // Destroyed when the library is unloaded or at exit, whichever comes first.
    static Backend backend;
    backend.discovery.EnsureStarted();
    return backend.cameras;
}

namespace {

// The driver functions: camera calls answer from the latest completed
// discovery and never wait for the network.
class AravisBackend final : public VyrexDriverBackend {
public:
    int32_t EnumerateCameras(CameraEntry* entries, uint32_t* count, int32_t flag) override {
        return Cameras().EnumerateCameras(entries, count, flag);
    }

    // This backend reaches cameras only.
    int32_t EnumerateFrameGrabbers(FrameGrabberRecord*, uint32_t* count) override {
        *count = 0;
        return kVyrexStatusOk;
    }

    int32_t GetCameraProperty(const char* interfaceName, uint32_t property,
                              uint32_t* value) override {
        return Cameras().GetCameraProperty(interfaceName, property, value);
    }

    int32_t GetDriverName(uint64_t serialNumber, char* buffer, uint32_t size) override {
        return Cameras().GetDriverName(serialNumber, buffer, size);
    }

    // The expert asks for the version when it is initialized, which is a
    // good moment to start discovery too.
    int32_t GetDriverVersion(uint32_t* version) override {
        Cameras();
        *version = AravisVersion();
        return kVyrexStatusOk;
    }
};

} // namespace

} // namespace vyrexaravis

VyrexDriverBackend& VyrexTheBackend() {
    static vyrexaravis::AravisBackend backend;
    return backend;
}
