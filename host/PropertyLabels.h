// What the tags of cameras and frame grabbers mean, for readable output.
// Only tags whose meaning the system's own use makes plain have a label.
#pragma once

#include <cstdint>
#include <string>

// Tags the host reads to describe an item.
namespace tags {
constexpr uint32_t kFrameGrabber = 0x01008000; // boolean: 1 for frame grabbers, 0 for cameras
constexpr uint32_t kVendor = 0x01004000;
constexpr uint32_t kModel = 0x01006000;
constexpr uint32_t kSerialNumber = 0x01007000;
constexpr uint32_t kItemName = 0x0101D000;
constexpr uint32_t kInterfaceName = 0x0101F000;
constexpr uint32_t kIpAddress = 0x0102C000;
constexpr uint32_t kSubnetMask = 0x01025000;
constexpr uint32_t kBusKind = 0x07009000;
constexpr uint32_t kDriverVersion = 0x0700C000;
constexpr uint32_t kDriverName = 0x0700D000;
} // namespace tags

// How a value is best shown beside its plain form.
enum class Presentation {
    Plain,
    Hex,       // an identifier: 0x2C7A
    Word,      // a 32-bit word: 0x00010003
    FourCC,    // a bus kind: 0x69707634 "ipv4" (network)
    Version,   // major << 16 | minor << 8 | patch: 3.2.1
    LinkSpeed, // a speed code: 1 is 5.0 GT/s
};

// The label of a tag on an item of that bus kind ("" when the tag has none).
// Only the identifier under 0x01003000 reads differently by bus kind.
std::string propertyLabel(uint32_t tag, uint32_t busKind);

Presentation propertyPresentation(uint32_t tag);

// The four characters of a bus kind, first character from the most
// significant byte; a byte that is not printable ASCII shows as \xNN.
std::string fourCCText(uint32_t busKind);

// The class of a bus kind: "network", "USB", "FireWire", "Camera Link",
// "simulated", or "" for the kinds the expert treats alike.
std::string busClass(uint32_t busKind);

// "0x69707634 "ipv4" (network)"
std::string busKindText(uint32_t busKind);

// The text of a link speed code: "2.5 GT/s", "5.0 GT/s", "8.0 GT/s", "not detected".
std::string linkSpeedText(int32_t code);

// "3.2.1" for 0x00030201.
std::string versionText(uint32_t version);
