#include "aravisdriver/src/AravisDiscovery.h"

#include "aravisdriver/src/HostNetworks.h"
#include "aravisdriver/src/Identity.h"
#include "aravisdriver/src/UsbIds.h"
#include "driver/VyrexDriver.h"

#include <arv.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace vyrexaravis {
namespace {

constexpr const char* kGigEVisionProtocol = "GigEVision";
constexpr const char* kUsb3VisionProtocol = "USB3Vision";
constexpr unsigned kMaxVersionPart = 0xFF;

// What Aravis reports of one device, copied before its next update frees it.
struct ReportedDevice {
    std::string id;
    std::string physicalId;
    std::string address;
    std::string vendor;
    std::string model;
    std::string serial;
    std::string protocol;
};

// A text as it will stand in a record: at most one field less its terminator.
std::string Copy(const char* text) {
    if (text == nullptr) {
        return {};
    }
    return std::string(text, strnlen(text, kVyrexTextSize - 1));
}

std::vector<ReportedDevice> UpdateAndCopyDeviceList() {
    arv_update_device_list();
    const unsigned count = arv_get_n_devices();
    std::vector<ReportedDevice> devices;
    devices.reserve(count);
    for (unsigned i = 0; i < count; ++i) {
        devices.push_back({Copy(arv_get_device_id(i)), Copy(arv_get_device_physical_id(i)),
                           Copy(arv_get_device_address(i)), Copy(arv_get_device_vendor(i)),
                           Copy(arv_get_device_model(i)), Copy(arv_get_device_serial_nbr(i)),
                           Copy(arv_get_device_protocol(i))});
    }
    return devices;
}

uint32_t BusTypeOf(const std::string& protocol) {
    if (protocol == kGigEVisionProtocol) {
        return kVyrexBusIPv4;
    }
    if (protocol == kUsb3VisionProtocol) {
        return kVyrexBusUSB3;
    }
    return 0;
}

Camera CameraFrom(const ReportedDevice& device, uint32_t busType,
                  const std::vector<HostNetwork>& networks) {
    Camera camera;
    camera.busType = busType;
    camera.interfaceName = device.id;
    camera.vendorName = device.vendor;
    camera.modelName = device.model;
    camera.spareText0 = device.serial;
    camera.spareText1 = device.physicalId;
    camera.serialNumber = DeriveSerialNumber(busType, device.physicalId, device.serial, device.id);
    if (busType == kVyrexBusIPv4) {
        camera.ipAddress = ParseDottedAddress(device.address).value_or(0);
        camera.subnetMask = camera.ipAddress == 0 ? 0 : SubnetMaskFor(camera.ipAddress, networks);
    } else if (const std::optional<UsbIds> ids =
                   FindUsbIds(kSysfsUsbDevices, device.serial, device.vendor, device.model)) {
        camera.usbVendorId = ids->vendorId;
        camera.usbProductId = ids->productId;
    }
    return camera;
}

} // namespace

std::vector<Camera> DiscoverCameras() {
    const std::vector<ReportedDevice> devices = UpdateAndCopyDeviceList();
    const std::vector<HostNetwork> networks = ReadHostNetworks();
    std::vector<Camera> cameras;
    for (const ReportedDevice& device : devices) {
        if (const uint32_t busType = BusTypeOf(device.protocol)) {
            cameras.push_back(CameraFrom(device, busType, networks));
        }
    }
    return cameras;
}

uint32_t AravisVersion() {
    const auto part = [](unsigned value) { return std::min(value, kMaxVersionPart); };
    return part(arv_get_major_version()) << 16 | part(arv_get_minor_version()) << 8 |
           part(arv_get_micro_version());
}

} // namespace vyrexaravis
