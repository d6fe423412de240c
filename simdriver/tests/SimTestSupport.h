// Helpers shared by the simulated driver's tests: calling the driver the way
// the expert does, and reading its records back.
#pragma once

#include "simdriver/SimDriver.h"

#include "Poison.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace simtest {

// A text field up to its terminator, or all of it when it has none.
inline std::string Text(const char (&field)[kVyrexTextSize]) {
    return std::string(field, strnlen(field, kVyrexTextSize));
}

// The expert's two calls: learn the count, then fill that many zeroed entries.
inline std::vector<CameraEntry> EnumerateCameras() {
    uint32_t count = 0;
    VyrexEnumerateCameras(nullptr, &count, 1);
    std::vector<CameraEntry> entries(count); // value-initialised: all zero
    if (count > 0) {
        VyrexEnumerateCameras(entries.data(), &count, 1);
    }
    entries.resize(std::min<size_t>(count, entries.size()));
    return entries;
}

inline std::vector<FrameGrabberRecord> EnumerateFrameGrabbers() {
    uint32_t count = 0;
    if (VyrexEnumerateFrameGrabbers(nullptr, &count) != 0 || count == 0) {
        return {};
    }
    std::vector<FrameGrabberRecord> records(count); // all zero
    if (VyrexEnumerateFrameGrabbers(records.data(), &count) != 0) {
        return {};
    }
    records.resize(std::min<size_t>(count, records.size()));
    return records;
}

inline std::vector<std::string> InterfaceNames() {
    std::vector<std::string> names;
    for (const CameraEntry& entry : EnumerateCameras()) {
        names.push_back(Text(entry.interfaceName));
    }
    return names;
}

inline vyrexsim::Camera MakeCamera(const std::string& interfaceName,
                                   uint32_t busType = kVyrexBusIPv4, uint64_t serial = 0) {
    vyrexsim::Camera camera;
    camera.interfaceName = interfaceName;
    camera.busType = busType;
    camera.serialNumber = serial;
    camera.vendorName = "Vendor of " + interfaceName;
    camera.modelName = "Model of " + interfaceName;
    return camera;
}

inline vyrexsim::FrameGrabber MakeFrameGrabber(const std::string& name, uint64_t serial = 0) {
    vyrexsim::FrameGrabber grabber;
    grabber.name = name;
    grabber.modelName = "Model of " + name;
    grabber.serialNumber = serial;
    return grabber;
}

} // namespace simtest
