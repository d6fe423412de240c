#include "aravisdriver/src/CameraList.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace vyrexaravis {
namespace {

uint32_t PropertyOf(const Camera& camera, uint32_t property) {
    switch (property) {
    case kVyrexCameraAddress1:
        return camera.ipAddress;
    case kVyrexCameraAddress2:
        return camera.subnetMask;
    case kVyrexCameraIdentifier1:
        return camera.usbVendorId;
    default:
        return camera.usbProductId;
    }
}

} // namespace

void CameraList::Publish(std::vector<Camera> cameras) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_cameras.swap(cameras);
    }
    // cameras now holds the previous list, freed here without the lock.
}

int32_t CameraList::EnumerateCameras(CameraEntry* entries, uint32_t* count, int32_t) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (entries != nullptr) {
        const size_t filled = std::min<size_t>(*count, m_cameras.size());
        for (size_t i = 0; i < filled; ++i) {
            VyrexWriteCameraEntry(m_cameras[i], VyrexTextEnds::Terminated, entries[i]);
        }
    }
    *count = uint32_t(m_cameras.size());
    return kVyrexStatusOk;
}

int32_t CameraList::GetCameraProperty(const char* interfaceName, uint32_t property,
                                      uint32_t* value) const {
    // The name normally comes from a CameraEntry field: never read past it.
    const std::string name(interfaceName, strnlen(interfaceName, kVyrexTextSize));
    std::lock_guard<std::mutex> lock(m_mutex);
    const Camera* camera = FindByInterfaceName(name);
    if (camera == nullptr) {
        return kVyrexStatusNoSuchCamera;
    }
    *value = PropertyOf(*camera, property);
    return kVyrexStatusOk;
}

int32_t CameraList::GetDriverName(uint64_t serialNumber, char* buffer, uint32_t size) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (FindBySerialNumber(serialNumber) == nullptr) {
        buffer[0] = '\0';
        return kVyrexStatusNoSuchCamera;
    }
    return VyrexWriteText(buffer, size, kDriverName) ? kVyrexStatusOk : kVyrexStatusBufferTooSmall;
}

const Camera* CameraList::FindByInterfaceName(const std::string& name) const {
    const auto it = std::find_if(m_cameras.begin(), m_cameras.end(), [&](const Camera& camera) {
        return camera.interfaceName == name;
    });
    return it == m_cameras.end() ? nullptr : &*it;
}

const Camera* CameraList::FindBySerialNumber(uint64_t serialNumber) const {
    const auto it = std::find_if(m_cameras.begin(), m_cameras.end(), [&](const Camera& camera) {
        return camera.serialNumber == serialNumber;
    });
    return it == m_cameras.end() ? nullptr : &*it;
}

} // namespace vyrexaravis
