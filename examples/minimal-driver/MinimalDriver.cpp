// A camera driver with one camera that is always there: the five functions
// the camera expert calls, written against the installed driver kit alone.
#include "driver/VyrexArguments.h"
#include "driver/VyrexDriver.h"

#include <cstring>

#define DRIVER_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr const char* kInterfaceName = "minimal0";
constexpr const char* kVendorName = "Example Optics";
constexpr const char* kModelName = "EO-1 Minimal";
constexpr uint64_t kSerialNumber = 0xE0000001;
constexpr const char* kDriverName = "MinimalDriver";
constexpr uint32_t kDriverVersion = 0x00010000; // 1.0.0

// Fills a fixed-size text field; false when the text had to be cut.
bool copyText(char* field, size_t size, const char* text) {
    std::memset(field, 0, size);
    std::strncpy(field, text, size - 1);
    return std::strlen(text) < size;
}

} // namespace

// Called first with no array to learn the count, then with *count entries.
DRIVER_EXPORT int32_t VyrexEnumerateCameras(CameraEntry* entries, uint32_t* count, int32_t flag) {
    if (const int32_t refused = VyrexCheckEnumerateCameras(count, flag)) {
        return refused;
    }
    if (entries != nullptr && *count >= 1) {
        std::memset(&entries[0], 0, sizeof entries[0]);
        entries[0].busType = kVyrexBusUSB3;
        entries[0].serialNumberHigh = uint32_t(kSerialNumber >> 32);
        entries[0].serialNumberLow = uint32_t(kSerialNumber);
        copyText(entries[0].interfaceName, kVyrexTextSize, kInterfaceName);
        copyText(entries[0].vendorName, kVyrexTextSize, kVendorName);
        copyText(entries[0].modelName, kVyrexTextSize, kModelName);
    }
    *count = 1;
    return kVyrexStatusOk;
}

DRIVER_EXPORT int32_t VyrexEnumerateFrameGrabbers(FrameGrabberRecord*, uint32_t* count) {
    if (const int32_t refused = VyrexCheckEnumerateFrameGrabbers(count)) {
        return refused;
    }
    *count = 0;
    return kVyrexStatusOk;
}

DRIVER_EXPORT int32_t VyrexGetCameraProperty(const char* interfaceName, uint32_t property,
                                             uint32_t* value) {
    if (const int32_t refused = VyrexCheckGetCameraProperty(interfaceName, property, value)) {
        return refused;
    }
    if (std::strncmp(interfaceName, kInterfaceName, kVyrexTextSize) != 0) {
        return kVyrexStatusNoSuchCamera;
    }
    *value = 0; // a USB camera has no addresses or identifiers to tell
    return kVyrexStatusOk;
}

DRIVER_EXPORT int32_t VyrexGetDriverName2(uint64_t serialNumber, char* buffer, uint32_t size) {
    if (const int32_t refused = VyrexCheckGetDriverName(buffer, size)) {
        return refused;
    }
    if (serialNumber != kSerialNumber) {
        buffer[0] = '\0';
        return kVyrexStatusNoSuchCamera;
    }
    return copyText(buffer, size, kDriverName) ? kVyrexStatusOk : kVyrexStatusBufferTooSmall;
}

DRIVER_EXPORT int32_t VyrexGetDriverVersion(uint32_t* version) {
    if (const int32_t refused = VyrexCheckGetDriverVersion(version)) {
        return refused;
    }
    *version = kDriverVersion;
    return kVyrexStatusOk;
}
