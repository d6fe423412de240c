// Comparing two pictures of the inventory: which items were added, which
// removed, and which changed (a camera whose numbers or texts differ, a frame
// grabber any byte of whose record differs).
#include "expert/CoxSysVyrex.h"

#include <cstring>

namespace nKRVYREX_SYSAPI_EXPERT_18_5 {

bool operator==(const CameraRecord& a, const CameraRecord& b) {
    return a.entryWords[0] == b.entryWords[0] && a.entryWords[1] == b.entryWords[1] &&
           a.entryWords[2] == b.entryWords[2] && a.serialNumberHigh == b.serialNumberHigh &&
           a.serialNumberLow == b.serialNumberLow && a.busType == b.busType &&
           a.address1 == b.address1 && a.address2 == b.address2 &&
           a.interfaceName == b.interfaceName && a.vendorName == b.vendorName &&
           a.modelName == b.modelName && a.spareText0 == b.spareText0 &&
           a.spareText1 == b.spareText1 && a.driverName == b.driverName &&
           IsEqualGUID(a.guid, b.guid);
}

bool sameFrameGrabber(const FrameGrabberRecord& a, const FrameGrabberRecord& b) {
    return std::memcmp(&a, &b, sizeof(FrameGrabberRecord)) == 0;
}

namespace {

template <class Map, class Same>
void compareMaps(const Map& old, const Map& current, ItemNameSet& added, ItemNameSet& changed,
                 ItemNameSet& removed, Same same) {
    for (const auto& [name, record] : old) {
        const auto found = current.find(name);
        if (found == current.end()) {
            removed.insert(name);
        } else if (!same(record, found->second)) {
            changed.insert(name);
        }
    }
    for (const auto& entry : current) {
        if (old.count(entry.first) == 0) {
            added.insert(entry.first);
        }
    }
}

} // namespace

void CoxSysVyrex::CompareCameras(const CameraMap& old, const CameraMap& current, ItemNameSet& added,
                                 ItemNameSet& changed, ItemNameSet& removed) {
    compareMaps(old, current, added, changed, removed,
                [](const CameraRecord& a, const CameraRecord& b) { return a == b; });
}

void CoxSysVyrex::CompareFrameGrabbers(const FrameGrabberMap& old, const FrameGrabberMap& current,
                                       ItemNameSet& added, ItemNameSet& changed,
                                       ItemNameSet& removed) {
    compareMaps(old, current, added, changed, removed, sameFrameGrabber);
}

} // namespace nKRVYREX_SYSAPI_EXPERT_18_5
