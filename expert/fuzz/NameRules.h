// How the input keeps camera names and frame grabber names apart.
//
// The expert keeps cameras and frame grabbers in two maps but tells every
// change in one set of names. A camera and a frame grabber with the same
// name are two entries of a search and one name of a change: when one of
// them goes, "removed" is told while the other stays, and no picture built
// from notifications can match the search. That is how the expert is made,
// not a fault, so the input never builds such a pair:
//   - every frame grabber name begins with kFrameGrabberMark;
//   - no camera name begins with it, and none is empty: an interface name
//     that would give one gets kCameraNameStart as its first byte (a Camera
//     Link name begins with the interface name's first byte, or with ':'
//     when it is cut at its start);
//   - the empty name the expert gives entries that the driver reported but
//     left zero-filled belongs to one list per input (EmptyNameOwner).
// The text converter maps each byte to one unit, so these first bytes are
// the names' first units.
#pragma once

#include "driver/VyrexDriver.h"

namespace expertfuzz {

constexpr char kFrameGrabberMark = '#';
constexpr char kCameraNameStart = 'c';

inline void keepCameraNameApart(CameraEntry& camera) {
    char& first = camera.interfaceName[0];
    if (first == '\0' || first == kFrameGrabberMark) {
        first = kCameraNameStart;
    }
}

inline void markFrameGrabberName(FrameGrabberRecord& frameGrabber) {
    frameGrabber.name[0] = kFrameGrabberMark;
}

} // namespace expertfuzz
