// What the expert requires of the camera acquisition driver: its records and
// its five functions. The driver is a separate library; the module leaves
// these names to the dynamic linker, so a host process brings the driver.
#pragma once

#include <cstddef>
#include <cstdint>

// Bus kinds are four-character codes compared as 32-bit values: the first
// character is the most significant byte.
constexpr uint32_t VyrexFourCC(char a, char b, char c, char d) {
    return (uint32_t(uint8_t(a)) << 24) | (uint32_t(uint8_t(b)) << 16) |
           (uint32_t(uint8_t(c)) << 8) | uint32_t(uint8_t(d));
}

constexpr uint32_t kVyrexBusIPv4 = VyrexFourCC('i', 'p', 'v', '4');
constexpr uint32_t kVyrexBusIPCamera = VyrexFourCC('I', 'P', 'c', 'm');
constexpr uint32_t kVyrexBusUSB3 = VyrexFourCC('U', 'S', 'B', '3');
constexpr uint32_t kVyrexBusUVC = VyrexFourCC('U', 'V', 'C', ' ');
constexpr uint32_t kVyrexBusFireWire = VyrexFourCC('1', '3', '9', '4');
constexpr uint32_t kVyrexBusCameraLink = VyrexFourCC('C', 'L', 'N', 'K');
constexpr uint32_t kVyrexBusSimulated = VyrexFourCC(' ', 's', 'i', 'm');

constexpr size_t kVyrexTextSize = 512;

// Statuses of the driver functions: 0 on success, and the same failures
// whichever backend answers.
constexpr int32_t kVyrexStatusOk = 0;
constexpr int32_t kVyrexStatusBadArgument =
    -2; // null pointer, zero size, flag not 1, property not 1..4
constexpr int32_t kVyrexStatusNoSuchCamera =
    -3; // no camera has that interface name / serial number
constexpr int32_t kVyrexStatusBufferTooSmall = -4; // the driver name was cut to fit the buffer
constexpr int32_t kVyrexStatusInternalError = -5;  // the backend itself failed (out of memory)

struct CameraEntry {
    uint32_t entryWord0;
    uint32_t entryWord1;
    uint32_t entryWord2;
    uint32_t serialNumberHigh;
    uint32_t serialNumberLow;
    uint32_t busType;
    char interfaceName[kVyrexTextSize];
    char vendorName[kVyrexTextSize];
    char modelName[kVyrexTextSize];
    char spareText0[kVyrexTextSize];
    char spareText1[kVyrexTextSize];
};

static_assert(sizeof(CameraEntry) == 2584, "CameraEntry is 2584 bytes");
static_assert(offsetof(CameraEntry, serialNumberHigh) == 12);
static_assert(offsetof(CameraEntry, serialNumberLow) == 16);
static_assert(offsetof(CameraEntry, busType) == 20);
static_assert(offsetof(CameraEntry, interfaceName) == 24);
static_assert(offsetof(CameraEntry, vendorName) == 536);
static_assert(offsetof(CameraEntry, modelName) == 1048);
static_assert(offsetof(CameraEntry, spareText0) == 1560);
static_assert(offsetof(CameraEntry, spareText1) == 2072);

struct FrameGrabberRecord {
    uint32_t busType;
    uint32_t spareWord0;
    uint32_t serialNumberHigh;
    uint32_t serialNumberLow;
    uint32_t hardwareWord0;
    uint32_t hardwareWord1;
    uint32_t hardwareWord2;
    uint16_t identifierB;
    uint16_t identifierA;
    uint32_t linkWidthA;
    uint32_t linkWidthB;
    uint32_t linkSpeedA;
    uint32_t linkSpeedB;
    uint32_t spareWord1;
    char name[kVyrexTextSize];
    char modelName[kVyrexTextSize];
};

static_assert(sizeof(FrameGrabberRecord) == 1076, "FrameGrabberRecord is 1076 bytes");
static_assert(offsetof(FrameGrabberRecord, serialNumberHigh) == 8);
static_assert(offsetof(FrameGrabberRecord, hardwareWord0) == 16);
static_assert(offsetof(FrameGrabberRecord, identifierB) == 28);
static_assert(offsetof(FrameGrabberRecord, identifierA) == 30);
static_assert(offsetof(FrameGrabberRecord, linkWidthA) == 32);
static_assert(offsetof(FrameGrabberRecord, linkSpeedB) == 44);
static_assert(offsetof(FrameGrabberRecord, spareWord1) == 48);
static_assert(offsetof(FrameGrabberRecord, name) == 52);
static_assert(offsetof(FrameGrabberRecord, modelName) == 564);

// Camera property numbers.
constexpr uint32_t kVyrexCameraAddress1 = 1;
constexpr uint32_t kVyrexCameraAddress2 = 2;
constexpr uint32_t kVyrexCameraIdentifier1 = 3;
constexpr uint32_t kVyrexCameraIdentifier2 = 4;

extern "C" {

// First called with a null array and *count 0 to learn the number of cameras,
// then with an array of *count zero-filled entries; flag is always 1.
int32_t VyrexEnumerateCameras(CameraEntry* entries, uint32_t* count, int32_t flag);

// Same two-call pattern for frame grabbers; 0 on success.
int32_t VyrexEnumerateFrameGrabbers(FrameGrabberRecord* entries, uint32_t* count);

// Stores the value of one numbered property of the camera behind interfaceName.
int32_t VyrexGetCameraProperty(const char* interfaceName, uint32_t property, uint32_t* value);

// Writes the zero-terminated name of the driver that serves a camera.
int32_t VyrexGetDriverName2(uint64_t serialNumber, char* buffer, uint32_t size);

// Stores the driver's version number; 0 on success.
int32_t VyrexGetDriverVersion(uint32_t* version);
}
