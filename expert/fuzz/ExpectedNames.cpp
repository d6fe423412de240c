// What the expert keeps of the driver's answers (Inventory.h, Refresh.cpp):
//   - cameras: every entry of the array below the count the filling call
//     reported (the statuses do not count);
//   - frame grabbers: only when both calls returned 0, every entry below
//     the reported count, those beyond the array zero-filled;
//   - a camera's name is its interface name, except on Camera Link: the text
//     before the last "_0" (failing that, the last "_1"), then "::0" when
//     serialNumberHigh is 0 and "::1" otherwise;
//   - a text stops at its terminator or its field's end;
//   - a name the text conversion refuses is left out.
#include "expert/fuzz/ExpectedNames.h"

#include "expert/fuzz/TextConverter.h"

#include <cstring>
#include <string>

namespace expertfuzz {

namespace {

std::string fieldText(const char (&field)[kVyrexTextSize]) {
    const void* terminator = std::memchr(field, 0, kVyrexTextSize);
    return std::string(field, terminator != nullptr
                                  ? size_t(static_cast<const char*>(terminator) - field)
                                  : kVyrexTextSize);
}

std::string cameraName(const CameraEntry& camera) {
    std::string name = fieldText(camera.interfaceName);
    if (camera.busType != kVyrexBusCameraLink) {
        return name;
    }
    size_t cut = name.rfind("_0");
    if (cut == std::string::npos) {
        cut = name.rfind("_1");
    }
    if (cut != std::string::npos) {
        name.erase(cut);
    }
    return name + (camera.serialNumberHigh == 0 ? "::0" : "::1");
}

void insertUnlessRefused(ItemKeySet& keys, const std::string& name) {
    if (!refusesText(name)) {
        keys.insert(keyOfNarrow(name));
    }
}

} // namespace

ItemKeySet expectedItemKeys(const HostileDriver& driver) {
    ItemKeySet keys;
    for (const CameraEntry& camera : driver.cameraHanding.handed) {
        insertUnlessRefused(keys, cameraName(camera));
    }
    const ListHanding<FrameGrabberRecord>& frameGrabbers = driver.frameGrabberHanding;
    if (frameGrabbers.fillingCalled && frameGrabbers.countingStatus == 0 &&
        frameGrabbers.fillingStatus == 0) {
        for (const FrameGrabberRecord& frameGrabber : frameGrabbers.handed) {
            insertUnlessRefused(keys, fieldText(frameGrabber.name));
        }
        if (frameGrabbers.reported > frameGrabbers.handed.size()) {
            keys.insert(ItemKey()); // the zero-filled records beyond the array
        }
    }
    return keys;
}

} // namespace expertfuzz
