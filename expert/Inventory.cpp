#include "expert/Inventory.h"

#include "expert/ItemTexts.h"

#include "tarn/WideStringFromField.h"

#include <cstring>
#include <string>

namespace nKRVYREX_SYSAPI_EXPERT_18_5 {

namespace {

bool sameText(const char (&a)[kVyrexTextSize], const char (&b)[kVyrexTextSize]) {
    return std::strncmp(a, b, kVyrexTextSize) == 0;
}

} // namespace

bool operator==(const CameraRecord& a, const CameraRecord& b) {
    const CameraEntry& x = a.entry;
    const CameraEntry& y = b.entry;
    return x.entryWord0 == y.entryWord0 && x.entryWord1 == y.entryWord1 &&
           x.entryWord2 == y.entryWord2 && x.serialNumberHigh == y.serialNumberHigh &&
           x.serialNumberLow == y.serialNumberLow && x.busType == y.busType &&
           a.address1 == b.address1 && a.address2 == b.address2 &&
           sameText(x.interfaceName, y.interfaceName) && sameText(x.vendorName, y.vendorName) &&
           sameText(x.modelName, y.modelName) && sameText(x.spareText0, y.spareText0) &&
           sameText(x.spareText1, y.spareText1) && sameText(a.driverName, b.driverName) &&
           IsEqualGUID(a.guid, b.guid);
}

bool sameFrameGrabber(const FrameGrabberRecord& a, const FrameGrabberRecord& b) {
    return std::memcmp(&a, &b, sizeof(FrameGrabberRecord)) == 0;
}

ItemName CameraItemName(const CameraEntry& entry) {
    if (entry.busType != kVyrexBusCameraLink) {
        return kr::tarn::WideStringFromField(entry.interfaceName);
    }
    std::string name = FieldText(entry.interfaceName);
    size_t cut = name.rfind("_0");
    if (cut == std::string::npos) {
        cut = name.rfind("_1");
    }
    if (cut != std::string::npos) {
        name.erase(cut);
    }
    name += entry.serialNumberHigh == 0 ? "::0" : "::1";
    return ItemName(name.c_str());
}

} // namespace nKRVYREX_SYSAPI_EXPERT_18_5
