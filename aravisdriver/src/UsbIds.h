// USB vendor and product ids of a USB3 Vision camera. Aravis does not report
// them, so they are read from the camera's USB device in sysfs, found by the
// texts Aravis does report: the serial number string, and the manufacturer
// and product strings when several devices share the serial number.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vyrexaravis {

// Where the kernel lists USB devices, one directory each.
constexpr const char* kSysfsUsbDevices = "/sys/bus/usb/devices";

struct UsbIds {
    uint32_t vendorId;
    uint32_t productId;
};

// The ids of the one device under devicesDirectory whose "serial" equals
// serialText (narrowed by "manufacturer" and "product" when several match);
// nothing when no device, or more than one, fits, or serialText is empty.
std::optional<UsbIds> FindUsbIds(const std::string& devicesDirectory, const std::string& serialText,
                                 const std::string& manufacturer, const std::string& product);

} // namespace vyrexaravis
