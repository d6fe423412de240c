#include "aravisdriver/src/CameraList.h"

#include "aravisdriver/src/Status.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace vyrexaravis {
namespace {

// Cuts text to size - 1 bytes and zero-fills the rest of the field; false
// when it had to cut.
bool WriteText(char* field, size_t size, const std::string& text) {
    const size_t length = std::min(text.size(), size - 1);
    std::memcpy(field, text.data(), length);
    std::memset(field + length, 0, size - length);
    return length == text.size();
}

void WriteEntry(const Camera& camera, CameraEntry& entry) {
    std::memset(&entry, 0, sizeof entry);
    entry.serialNumberHigh = uint32_t(camera.serialNumber >> 32);
    entry.serialNumberLow = uint32_t(camera.serialNumber);
    entry.busType = camera.busType;
    WriteText(entry.interfaceName, kVyrexTextSize, camera.interfaceName);
    WriteText(entry.vendorName, kVyrexTextSize, camera.vendorName);
    WriteText(entry.modelName, kVyrexTextSize, camera.modelName);
    WriteText(entry.spareText0, kVyrexTextSize, camera.serialText);
    WriteText(entry.spareText1, kVyrexTextSize, camera.physicalId);
}

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

int32_t CameraList::EnumerateCameras(CameraEntry* entries, uint32_t* count, int32_t flag) const {
    if (count == nullptr || flag != 1) {
        return kStatusBadArgument;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    if (entries != nullptr) {
        const size_t filled = std::min<size_t>(*count, m_cameras.size());
        for (size_t i = 0; i < filled; ++i) {
            WriteEntry(m_cameras[i], entries[i]);
        }
    }
    *count = uint32_t(m_cameras.size());
    return kStatusOk;
}

int32_t CameraList::GetCameraProperty(const char* interfaceName, uint32_t property,
                                      uint32_t* value) const {
    if (interfaceName == nullptr || value == nullptr || property < kVyrexCameraAddress1 ||
        property > kVyrexCameraIdentifier2) {
        return kStatusBadArgument;
    }
    // The name normally comes from a CameraEntry field: never read past it.
    const std::string name(interfaceName, strnlen(interfaceName, kVyrexTextSize));
    std::lock_guard<std::mutex> lock(m_mutex);
    const Camera* camera = FindByInterfaceName(name);
    if (camera == nullptr) {
        return kStatusNoSuchCamera;
    }
    *value = PropertyOf(*camera, property);
    return kStatusOk;
}

int32_t CameraList::GetDriverName(uint64_t serialNumber, char* buffer, uint32_t size) const {
    if (buffer == nullptr || size == 0) {
        return kStatusBadArgument;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    if (FindBySerialNumber(serialNumber) == nullptr) {
        buffer[0] = '\0';
        return kStatusNoSuchCamera;
    }
    return WriteText(buffer, size, kDriverName) ? kStatusOk : kStatusBufferTooSmall;
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
