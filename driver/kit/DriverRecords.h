// What a driver backend knows of its devices, in plain values, and the
// writing of those values into the driver's fixed-size records.
#pragma once

#include "driver/VyrexDriver.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// A connected camera as the enumeration reports it. Texts longer than 511
// bytes are cut to fit the 512-byte fields of CameraEntry.
struct VyrexCamera {
    uint32_t busType = 0;
    std::string interfaceName;
    std::string vendorName;
    std::string modelName;
    std::string spareText0;
    std::string spareText1;
    uint64_t serialNumber = 0;
    std::array<uint32_t, 3> entryWords{};
};

// A connected frame grabber as the enumeration reports it (spare words 0).
struct VyrexFrameGrabber {
    std::string name;
    std::string modelName;
    uint64_t serialNumber = 0;
    uint32_t busType = 0;
    std::array<uint32_t, 3> hardwareWords{};
    uint16_t identifierA = 0;
    uint16_t identifierB = 0;
    uint32_t linkWidthA = 0;
    uint32_t linkWidthB = 0;
    uint32_t linkSpeedA = 0;
    uint32_t linkSpeedB = 0;
};

// How texts are written into fixed fields: cut to size - 1 bytes and
// terminated, or (a hostile driver) filling all size bytes with the text
// and '#', with no terminator.
enum class VyrexTextEnds { Terminated, Unterminated };

// Writes text into field, all size bytes of it; size must be at least 1.
// Returns false when a terminated text had to be cut.
bool VyrexWriteText(char* field, size_t size, std::string_view text,
                    VyrexTextEnds ends = VyrexTextEnds::Terminated);

// Both overwrite every byte of the record.
void VyrexWriteCameraEntry(const VyrexCamera& camera, VyrexTextEnds ends, CameraEntry& entry);
void VyrexWriteFrameGrabberRecord(const VyrexFrameGrabber& grabber, VyrexTextEnds ends,
                                  FrameGrabberRecord& record);
