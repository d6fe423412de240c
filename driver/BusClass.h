// How the expert treats each bus kind: the kinds of one class publish the
// same properties. A host that describes an item uses the same classes.
#pragma once

#include "driver/VyrexDriver.h"

enum class VyrexBusClass { Network, USB, FireWire, CameraLink, Simulated, Other };

constexpr VyrexBusClass VyrexBusClassOf(uint32_t busType) {
    switch (busType) {
    case kVyrexBusIPv4:
    case kVyrexBusIPCamera:
        return VyrexBusClass::Network;
    case kVyrexBusUSB3:
    case kVyrexBusUVC:
        return VyrexBusClass::USB;
    case kVyrexBusFireWire:
        return VyrexBusClass::FireWire;
    case kVyrexBusCameraLink:
        return VyrexBusClass::CameraLink;
    case kVyrexBusSimulated:
        return VyrexBusClass::Simulated;
    default:
        return VyrexBusClass::Other;
    }
}

// "network", "USB", "FireWire", "Camera Link", "simulated"; "" for Other.
constexpr const char* VyrexBusClassName(VyrexBusClass busClass) {
    switch (busClass) {
    case VyrexBusClass::Network:
        return "network";
    case VyrexBusClass::USB:
        return "USB";
    case VyrexBusClass::FireWire:
        return "FireWire";
    case VyrexBusClass::CameraLink:
        return "Camera Link";
    case VyrexBusClass::Simulated:
        return "simulated";
    default:
        return "";
    }
}
