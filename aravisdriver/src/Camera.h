// One camera as a discovery saw it: texts copied out of Aravis at once (its
// own strings live only until its next update), each cut to what a record's
// field holds, and the numbers derived from them.
#pragma once

#include "driver/kit/DriverRecords.h"

#include <cstdint>

namespace vyrexaravis {

// What VyrexGetDriverName2 answers for every camera of this backend.
constexpr const char* kDriverName = "VyrexAravis";

// The record's texts: the interface name is Aravis' device id (vendor, model
// and serial text); spare text 0 is the device's own serial number text,
// spare text 1 its MAC address or USB3 Vision GUID. The bus is
// kVyrexBusIPv4 or kVyrexBusUSB3; the serial number, see DeriveSerialNumber.
struct Camera : VyrexCamera {
    uint32_t ipAddress = 0;    // property 1, first octet most significant
    uint32_t subnetMask = 0;   // property 2
    uint32_t usbVendorId = 0;  // property 3
    uint32_t usbProductId = 0; // property 4
};

} // namespace vyrexaravis
