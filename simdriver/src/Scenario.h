// The simulated world: connected devices and the values the driver reports
// about them. A scenario file describes one; the model holds one.
#pragma once

#include "simdriver/SimDriver.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vyrexsim {

// Property values are kept per interface name and property number, apart from
// the cameras, so they survive unplugging and may be set before plugging.
using PropertyKey = std::pair<std::string, uint32_t>;

struct Scenario {
    std::vector<Camera> cameras;
    std::vector<FrameGrabber> frameGrabbers;
    std::map<PropertyKey, uint32_t> properties;
    std::map<uint64_t, std::string> driverNames;
    std::optional<uint32_t> driverVersion;
};

} // namespace vyrexsim
