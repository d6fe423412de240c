#include "driver/kit/DriverRecords.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr char kHostileFill = '#';

uint32_t HighWord(uint64_t value) {
    return uint32_t(value >> 32);
}
uint32_t LowWord(uint64_t value) {
    return uint32_t(value);
}

} // namespace

bool VyrexWriteText(char* field, size_t size, std::string_view text, VyrexTextEnds ends) {
    if (ends == VyrexTextEnds::Unterminated) {
        const size_t length = std::min(text.size(), size);
        std::memcpy(field, text.data(), length);
        std::memset(field + length, kHostileFill, size - length);
        return true;
    }
    const size_t length = std::min(text.size(), size - 1);
    std::memcpy(field, text.data(), length);
    std::memset(field + length, 0, size - length);
    return length == text.size();
}

void VyrexWriteCameraEntry(const VyrexCamera& camera, VyrexTextEnds ends, CameraEntry& entry) {
    std::memset(&entry, 0, sizeof entry);
    entry.entryWord0 = camera.entryWords[0];
    entry.entryWord1 = camera.entryWords[1];
    entry.entryWord2 = camera.entryWords[2];
    entry.serialNumberHigh = HighWord(camera.serialNumber);
    entry.serialNumberLow = LowWord(camera.serialNumber);
    entry.busType = camera.busType;
    VyrexWriteText(entry.interfaceName, kVyrexTextSize, camera.interfaceName, ends);
    VyrexWriteText(entry.vendorName, kVyrexTextSize, camera.vendorName, ends);
    VyrexWriteText(entry.modelName, kVyrexTextSize, camera.modelName, ends);
    VyrexWriteText(entry.spareText0, kVyrexTextSize, camera.spareText0, ends);
    VyrexWriteText(entry.spareText1, kVyrexTextSize, camera.spareText1, ends);
}

void VyrexWriteFrameGrabberRecord(const VyrexFrameGrabber& grabber, VyrexTextEnds ends,
                                  FrameGrabberRecord& record) {
    std::memset(&record, 0, sizeof record);
    record.busType = grabber.busType;
    record.serialNumberHigh = HighWord(grabber.serialNumber);
    record.serialNumberLow = LowWord(grabber.serialNumber);
    record.hardwareWord0 = grabber.hardwareWords[0];
    record.hardwareWord1 = grabber.hardwareWords[1];
    record.hardwareWord2 = grabber.hardwareWords[2];
    record.identifierB = grabber.identifierB;
    record.identifierA = grabber.identifierA;
    record.linkWidthA = grabber.linkWidthA;
    record.linkWidthB = grabber.linkWidthB;
    record.linkSpeedA = grabber.linkSpeedA;
    record.linkSpeedB = grabber.linkSpeedB;
    VyrexWriteText(record.name, kVyrexTextSize, grabber.name, ends);
    VyrexWriteText(record.modelName, kVyrexTextSize, grabber.modelName, ends);
}
