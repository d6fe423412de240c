#include "aravisdriver/src/Backend.h"

#include "aravisdriver/src/AravisDiscovery.h"
#include "aravisdriver/src/DiscoveryThread.h"

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

} // namespace vyrexaravis
