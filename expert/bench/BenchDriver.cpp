#include "BenchDriver.h"

#include <cstdio>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace benchdriver {
namespace {

struct Records {
    std::vector<CameraEntry> cameras;
    std::vector<FrameGrabberRecord> frameGrabbers;
    std::unordered_map<std::string_view, size_t> cameraByName;
    unsigned changes = 0;
};

Records& records() {
    static Records instance;
    return instance;
}

void writeText(char (&field)[kVyrexTextSize], const std::string& text) {
    std::memset(field, 0, kVyrexTextSize);
    std::memcpy(field, text.data(), text.size());
}

std::string numbered(const char* stem, size_t i) {
    char text[32];
    std::snprintf(text, sizeof text, "%s%05zu", stem, i);
    return text;
}

} // namespace

std::string CameraName(size_t i) {
    return numbered("cam", i);
}

void Populate(size_t cameras, size_t frameGrabbers) {
    Records& all = records();
    all.cameras.assign(cameras, CameraEntry{});
    all.cameraByName.clear();
    for (size_t i = 0; i < cameras; ++i) {
        CameraEntry& entry = all.cameras[i];
        entry.busType = kVyrexBusIPv4;
        entry.serialNumberHigh = 0x4B52;
        entry.serialNumberLow = uint32_t(i);
        writeText(entry.interfaceName, CameraName(i));
        writeText(entry.vendorName, "Kroneth");
        writeText(entry.modelName, "KR GC-2450M");
        writeText(entry.spareText0, numbered("SN", i));
        all.cameraByName.emplace(std::string_view(entry.interfaceName), i);
    }
    all.frameGrabbers.assign(frameGrabbers, FrameGrabberRecord{});
    for (size_t i = 0; i < frameGrabbers; ++i) {
        FrameGrabberRecord& record = all.frameGrabbers[i];
        record.serialNumberLow = uint32_t(i);
        record.linkWidthA = 4;
        record.linkSpeedA = 1;
        writeText(record.name, numbered("fg", i));
        writeText(record.modelName, "KR CL Grabber");
    }
}

void ChangeEvery(size_t step) {
    Records& all = records();
    ++all.changes;
    for (size_t i = 0; i < all.cameras.size(); i += step) {
        writeText(all.cameras[i].modelName, "KR GC-2450M rev " + std::to_string(all.changes));
    }
}

} // namespace benchdriver

using benchdriver::records;

// The two-call pattern of both enumerations: the counting call learns the
// number, the filling call gets at most what fits.
extern "C" int32_t VyrexEnumerateCameras(CameraEntry* entries, uint32_t* count, int32_t) {
    const auto& cameras = records().cameras;
    if (entries != nullptr) {
        std::memcpy(entries, cameras.data(),
                    std::min<size_t>(*count, cameras.size()) * sizeof(CameraEntry));
    }
    *count = uint32_t(cameras.size());
    return kVyrexStatusOk;
}

extern "C" int32_t VyrexEnumerateFrameGrabbers(FrameGrabberRecord* entries, uint32_t* count) {
    const auto& frameGrabbers = records().frameGrabbers;
    if (entries != nullptr) {
        std::memcpy(entries, frameGrabbers.data(),
                    std::min<size_t>(*count, frameGrabbers.size()) * sizeof(FrameGrabberRecord));
    }
    *count = uint32_t(frameGrabbers.size());
    return kVyrexStatusOk;
}

extern "C" int32_t VyrexGetCameraProperty(const char* interfaceName, uint32_t property,
                                          uint32_t* value) {
    const auto found = records().cameraByName.find(interfaceName);
    if (found == records().cameraByName.end()) {
        return kVyrexStatusNoSuchCamera;
    }
    *value = property == kVyrexCameraAddress1 ? 0xC0A80000u + uint32_t(found->second) : 0xFFFFFF00u;
    return kVyrexStatusOk;
}

extern "C" int32_t VyrexGetDriverName2(uint64_t, char* buffer, uint32_t size) {
    std::snprintf(buffer, size, "%s", "BenchDriver");
    return kVyrexStatusOk;
}

extern "C" int32_t VyrexGetDriverVersion(uint32_t* version) {
    *version = 0x00010000;
    return kVyrexStatusOk;
}
