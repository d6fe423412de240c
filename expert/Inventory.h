// The expert's picture of what the driver can see: one record per camera
// and per frame grabber, each under the item name the host addresses it by.
// Names are ordered case-insensitively, so names that differ only in letter
// case are one item.
#pragma once

#include "contract/Guid.h"
#include "driver/VyrexDriver.h"
#include "tarn/StringBase.h"

#include <list>
#include <map>
#include <set>
#include <string>

namespace nKRVYREX_SYSAPI_EXPERT_18_5 {

using ItemName = kr::tarn::WideString;

// A camera as the inventory keeps it: the numbers of its driver entry, the
// entry's texts each up to its terminator (a text without one, to its
// field's end), and what the driver said of it besides. Only what counts is
// kept, so a record is small beside the driver's entry.
struct CameraRecord {
    uint32_t entryWords[3] = {0, 0, 0};
    uint32_t serialNumberHigh = 0;
    uint32_t serialNumberLow = 0;
    uint32_t busType = 0;
    std::string interfaceName;
    std::string vendorName;
    std::string modelName;
    std::string spareText0;
    std::string spareText1;
    uint32_t address1 = 0; // driver camera property 1
    uint32_t address2 = 0; // driver camera property 2
    std::string driverName;
    _GUID guid{}; // never written: always zero
};

// The numbers and texts of a driver entry; addresses and driver name empty.
CameraRecord CameraRecordOf(const CameraEntry& entry);

using CameraMap = std::map<ItemName, CameraRecord>;
using FrameGrabberMap = std::map<ItemName, FrameGrabberRecord>;
using ItemNameSet = std::set<ItemName>;

// Both maps of one inventory state.
struct InventoryPicture {
    CameraMap cameras;
    FrameGrabberMap frameGrabbers;
};
using ItemNameList = std::list<ItemName>;

// Every number and text equal (so bytes after a terminator of the driver's
// entry never count).
bool operator==(const CameraRecord& a, const CameraRecord& b);
inline bool operator!=(const CameraRecord& a, const CameraRecord& b) {
    return !(a == b);
}

// Every byte counts for frame grabbers.
bool sameFrameGrabber(const FrameGrabberRecord& a, const FrameGrabberRecord& b);

// The camera's 64-bit serial number.
inline uint64_t SerialNumberOf(const CameraRecord& record) {
    return (uint64_t(record.serialNumberHigh) << 32) | record.serialNumberLow;
}

} // namespace nKRVYREX_SYSAPI_EXPERT_18_5
