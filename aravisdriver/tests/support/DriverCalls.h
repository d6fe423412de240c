// The expert's view of the driver: the two-call enumeration and the
// per-camera queries, through the exported functions.
#pragma once

#include "driver/VyrexDriver.h"

#include <optional>
#include <string>
#include <vector>

inline std::vector<CameraEntry> EnumerateAllCameras() {
    uint32_t count = 0;
    VyrexEnumerateCameras(nullptr, &count, 1);
    std::vector<CameraEntry> entries(count);
    uint32_t filled = count;
    VyrexEnumerateCameras(entries.data(), &filled, 1);
    entries.resize(std::min(count, filled));
    return entries;
}

inline std::optional<CameraEntry> FindCamera(const std::string& interfaceName) {
    for (const CameraEntry& entry : EnumerateAllCameras()) {
        if (interfaceName == entry.interfaceName) {
            return entry;
        }
    }
    return std::nullopt;
}

inline uint64_t SerialNumberOf(const CameraEntry& entry) {
    return uint64_t(entry.serialNumberHigh) << 32 | entry.serialNumberLow;
}
