#include "expert/Inventory.h"

#include "expert/ItemTexts.h"

#include <cstring>
#include <string>

namespace nKRVYREX_SYSAPI_EXPERT_18_5 {

CameraRecord CameraRecordOf(const CameraEntry& entry) {
    CameraRecord record;
    record.entryWords[0] = entry.entryWord0;
    record.entryWords[1] = entry.entryWord1;
    record.entryWords[2] = entry.entryWord2;
    record.serialNumberHigh = entry.serialNumberHigh;
    record.serialNumberLow = entry.serialNumberLow;
    record.busType = entry.busType;
    record.interfaceName = FieldText(entry.interfaceName);
    record.vendorName = FieldText(entry.vendorName);
    record.modelName = FieldText(entry.modelName);
    record.spareText0 = FieldText(entry.spareText0);
    record.spareText1 = FieldText(entry.spareText1);
    return record;
}

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

ItemName CameraItemName(const CameraRecord& record) {
    if (record.busType != kVyrexBusCameraLink) {
        return ItemName(record.interfaceName.data(), uint32_t(record.interfaceName.size()));
    }
    std::string name = record.interfaceName;
    size_t cut = name.rfind("_0");
    if (cut == std::string::npos) {
        cut = name.rfind("_1");
    }
    if (cut != std::string::npos) {
        name.erase(cut);
    }
    name += record.serialNumberHigh == 0 ? "::0" : "::1";
    return ItemName(name.c_str());
}

ItemName CameraItemName(const CameraEntry& entry) {
    return CameraItemName(CameraRecordOf(entry));
}

} // namespace nKRVYREX_SYSAPI_EXPERT_18_5
