// One discovery over Aravis' GigE Vision and USB3 Vision interfaces. With
// GigE Vision enabled it takes about a second and holds Aravis' library-wide
// lock meanwhile: call it from the discovery thread only.
#pragma once

#include "aravisdriver/src/Camera.h"

#include <cstdint>
#include <vector>

namespace vyrexaravis {

// The cameras Aravis finds now, in its order; devices of other protocols
// are left out.
std::vector<Camera> DiscoverCameras();

// Aravis' run-time version as 0x00MMmmuu (major, minor, micro).
uint32_t AravisVersion();

} // namespace vyrexaravis
