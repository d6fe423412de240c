// The expert's picture of what the driver can see: one record per camera
// and per frame grabber, each under the item name the host addresses it by.
// Names are ordered case-insensitively, so names that differ only in letter
// case are one item.
#pragma once

#include "contract/Guid.h"
#include "driver/VyrexDriver.h"
#include "tarn/StringBase.h"

#include <cstring>
#include <list>
#include <map>
#include <set>

namespace nKRVYREX_SYSAPI_EXPERT_18_5 {

using ItemName = kr::tarn::WideString;

struct CameraRecord {
    CameraEntry entry;
    uint32_t address1; // driver camera property 1
    uint32_t address2; // driver camera property 2
    char driverName[kVyrexTextSize];
    _GUID guid; // never written: always zero
};

using CameraMap = std::map<ItemName, CameraRecord>;
using FrameGrabberMap = std::map<ItemName, FrameGrabberRecord>;
using ItemNameSet = std::set<ItemName>;
using ItemNameList = std::list<ItemName>;

// Numbers equal, texts equal up to their terminators (bytes after a
// terminator do not count; a text without one is read to its field's end).
bool operator==(const CameraRecord& a, const CameraRecord& b);
inline bool operator!=(const CameraRecord& a, const CameraRecord& b) {
    return !(a == b);
}

// Every byte counts for frame grabbers.
bool sameFrameGrabber(const FrameGrabberRecord& a, const FrameGrabberRecord& b);

// The interface name, except for Camera Link cameras: the text before the
// last "_0" (or, failing that, the last "_1"), then "::0" when
// serialNumberHigh is 0 and "::1" otherwise.
ItemName CameraItemName(const CameraEntry& entry);

// The driver reads an interface name it is given as a zero-terminated text;
// it is handed a terminated copy, so a field the driver filled to its end is
// never read past.
struct TerminatedName {
    explicit TerminatedName(const char (&field)[kVyrexTextSize]) {
        std::memcpy(text, field, kVyrexTextSize);
        text[kVyrexTextSize] = '\0';
    }
    char text[kVyrexTextSize + 1];
};

// The camera's 64-bit serial number.
inline uint64_t SerialNumberOf(const CameraEntry& entry) {
    return (uint64_t(entry.serialNumberHigh) << 32) | entry.serialNumberLow;
}

} // namespace nKRVYREX_SYSAPI_EXPERT_18_5
