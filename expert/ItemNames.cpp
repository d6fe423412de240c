// The names under which the host addresses items.
#include "expert/ItemNames.h"

#include "tarn/WideStringFromField.h"

#include <string>

namespace nKRVYREX_SYSAPI_EXPERT_18_5 {

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

ItemName FrameGrabberItemName(const FrameGrabberRecord& record) {
    return kr::tarn::WideStringFromField(record.name);
}

} // namespace nKRVYREX_SYSAPI_EXPERT_18_5
