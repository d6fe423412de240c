// One camera as a discovery saw it: texts copied out of Aravis at once (its
// own strings live only until its next update), each cut to what a record's
// field holds, and the numbers derived from them.
#pragma once

#include <cstdint>
#include <string>

namespace vyrexaravis {

// What VyrexGetDriverName2 answers for every camera of this backend.
constexpr const char* kDriverName = "VyrexAravis";

struct Camera {
    uint32_t busType = 0;      // kVyrexBusIPv4 or kVyrexBusUSB3
    std::string interfaceName; // Aravis' device id: vendor, model and serial text
    std::string vendorName;
    std::string modelName;
    std::string serialText;    // the device's own serial number text (spare text 0)
    std::string physicalId;    // MAC address or USB3 Vision GUID (spare text 1)
    uint64_t serialNumber = 0; // see DeriveSerialNumber
    uint32_t ipAddress = 0;    // property 1, first octet most significant
    uint32_t subnetMask = 0;   // property 2
    uint32_t usbVendorId = 0;  // property 3
    uint32_t usbProductId = 0; // property 4
};

} // namespace vyrexaravis
