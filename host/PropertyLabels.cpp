#include "PropertyLabels.h"

#include <cstdio>

namespace {

constexpr uint32_t fourCC(const char (&text)[5]) {
    return (uint32_t(uint8_t(text[0])) << 24) | (uint32_t(uint8_t(text[1])) << 16) |
           (uint32_t(uint8_t(text[2])) << 8) | uint32_t(uint8_t(text[3]));
}

struct TagInfo {
    uint32_t tag;
    const char* label;
    Presentation presentation;
};

// Tags whose meaning the values the expert puts there make plain.
constexpr TagInfo kTags[] = {
    {0x01003000, "Vendor ID", Presentation::Hex},
    {0x01004000, "Vendor", Presentation::Plain},
    {0x01005000, "Product ID", Presentation::Hex},
    {0x01006000, "Model", Presentation::Plain},
    {0x01007000, "Serial number", Presentation::Plain},
    {0x01008000, "Frame grabber", Presentation::Plain},
    {0x01009000, "Simulated", Presentation::Plain},
    {0x0100A000, "Camera Link ID", Presentation::Plain},
    {0x01018000, "Hardware word 0", Presentation::Word},
    {0x01019000, "Hardware word 1", Presentation::Word},
    {0x0101A000, "Hardware word 2", Presentation::Word},
    {0x0101D000, "Item name", Presentation::Plain},
    {0x0101F000, "Interface name", Presentation::Plain},
    {0x01022000, "GUID", Presentation::Plain},
    {0x01025000, "Subnet mask", Presentation::Plain},
    {0x01027000, "Serial number, low word", Presentation::Plain},
    {0x0102C000, "IP address", Presentation::Plain},
    {0x01030000, "Link width B", Presentation::Plain},
    {0x01031000, "Link width A", Presentation::Plain},
    {0x01078000, "Link speed A", Presentation::LinkSpeed},
    {0x01079000, "Link speed B", Presentation::LinkSpeed},
    {0x07006000, "Entry word 0", Presentation::Word},
    {0x07007000, "Entry word 1", Presentation::Word},
    {0x07008000, "Entry word 2", Presentation::Word},
    {0x07009000, "Bus kind", Presentation::FourCC},
    {0x0700C000, "Driver version", Presentation::Version},
    {0x0700D000, "Driver name", Presentation::Plain},
    {0x07010000, "Link width A (text)", Presentation::Plain},
    {0x07011000, "Link width B (text)", Presentation::Plain},
    {0x07012000, "Link speed A (text)", Presentation::Plain},
    {0x07013000, "Link speed B (text)", Presentation::Plain},
};

const TagInfo* findTag(uint32_t tag) {
    for (const TagInfo& info : kTags) {
        if (info.tag == tag) {
            return &info;
        }
    }
    return nullptr;
}

constexpr uint32_t kVendorIdTag = 0x01003000;

} // namespace

std::string propertyLabel(uint32_t tag, uint32_t busKind) {
    if (tag == kVendorIdTag && busKind == fourCC("1394")) {
        return "FireWire ID";
    }
    const TagInfo* info = findTag(tag);
    return info != nullptr ? info->label : "";
}

Presentation propertyPresentation(uint32_t tag) {
    const TagInfo* info = findTag(tag);
    return info != nullptr ? info->presentation : Presentation::Plain;
}

std::string fourCCText(uint32_t busKind) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const unsigned byte = (busKind >> shift) & 0xFF;
        if (byte >= 0x20 && byte < 0x7F) {
            text += char(byte);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            text += escaped;
        }
    }
    return text;
}

std::string busClass(uint32_t busKind) {
    if (busKind == fourCC("ipv4") || busKind == fourCC("IPcm")) {
        return "network";
    }
    if (busKind == fourCC("USB3") || busKind == fourCC("UVC ")) {
        return "USB";
    }
    if (busKind == fourCC("1394")) {
        return "FireWire";
    }
    if (busKind == fourCC("CLNK")) {
        return "Camera Link";
    }
    if (busKind == fourCC(" sim")) {
        return "simulated";
    }
    return "";
}

std::string busKindText(uint32_t busKind) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", unsigned(busKind));
    std::string text = std::string(hex) + " \"" + fourCCText(busKind) + "\"";
    const std::string kind = busClass(busKind);
    return kind.empty() ? text : text + " (" + kind + ")";
}

std::string linkSpeedText(int32_t code) {
    switch (code) {
    case 0:
        return "2.5 GT/s";
    case 1:
        return "5.0 GT/s";
    case 2:
        return "8.0 GT/s";
    default:
        return "not detected";
    }
}

std::string versionText(uint32_t version) {
    char text[32];
    std::snprintf(text, sizeof text, "%u.%u.%u", unsigned(version >> 16),
                  unsigned((version >> 8) & 0xFF), unsigned(version & 0xFF));
    return text;
}
