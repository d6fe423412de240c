// What the link speed codes of a frame grabber mean. The expert publishes
// each code both as a number and as this text; a host shows the text.
#pragma once

#include <cstdint>

struct oxSysLinkSpeed {
    uint32_t code;
    const char* text;
};

inline constexpr oxSysLinkSpeed kOxSysLinkSpeeds[] = {
    {0, "2.5 GT/s"},
    {1, "5.0 GT/s"},
    {2, "8.0 GT/s"},
};

// The text of a link speed or width the frame grabber did not detect.
inline constexpr const char* kOxSysNotDetected = "Not Detected";

// The text of a link speed code, kOxSysNotDetected for an unknown one.
constexpr const char* oxSysLinkSpeedText(uint32_t code) {
    for (const oxSysLinkSpeed& speed : kOxSysLinkSpeeds) {
        if (speed.code == code) {
            return speed.text;
        }
    }
    return kOxSysNotDetected;
}
