// Scenarios of the simulated driver that the host tests use.
#pragma once

#include <string>

namespace scenarios {

inline std::string networkCamera(const std::string& ipAddress = "192.168.10.21") {
    return R"({"bus": "ipv4", "interface": "gev0-cam0", "vendor": "Kroneth",
               "model": "KR GC-2450M", "serial": "4B5200A1F3C2", "ipAddress": ")" +
           ipAddress + R"(", "subnetMask": "255.255.255.0", "driver": "VyrexGigE"})";
}

inline const std::string kUsbCamera =
    R"({"bus": "USB3", "interface": "usb3-1.2", "vendor": "Lumora", "model": "LightCam",
        "serial": "2E3F1001", "usbVendorId": "0x2C7A", "usbProductId": "0x0104"})";

inline const std::string kFrameGrabber =
    R"({"name": "clfg0", "model": "KR FG-CL Dual Base", "serial": "10F3A0001", "bus": "PCIe",
        "identifierA": "0x1DB5", "identifierB": "0x0C10", "linkWidthA": 4, "linkWidthB": 8,
        "linkSpeedA": "5.0 GT/s", "linkSpeedB": 7})";

inline std::string of(const std::string& cameras, const std::string& frameGrabbers = "") {
    return R"({"driverVersion": "0x00040203", "cameras": [)" + cameras +
           R"(], "frameGrabbers": [)" + frameGrabbers + "]}";
}

} // namespace scenarios
