#include "present/PropertyLabels.h"

#include "contract/PropertyTags.h"
#include "driver/BusClass.h"

#include <cstdio>

namespace {

struct TagInfo {
    uint32_t tag;
    const char* label;
    Presentation presentation;
};

using namespace oxSysTags;

// Tags whose meaning the values the expert puts there make plain.
constexpr TagInfo kTags[] = {
    {kIdentifierA, "Vendor ID", Presentation::Hex},
    {kVendor, "Vendor", Presentation::Plain},
    {kIdentifierB, "Product ID", Presentation::Hex},
    {kModel, "Model", Presentation::Plain},
    {kSerialNumber, "Serial number", Presentation::Plain},
    {kIsFrameGrabber, "Frame grabber", Presentation::Plain},
    {kSimulated, "Simulated", Presentation::Plain},
    {kShortIdentifier, "Camera Link ID", Presentation::Plain},
    {kHardwareWord0, "Hardware word 0", Presentation::Word},
    {kHardwareWord1, "Hardware word 1", Presentation::Word},
    {kHardwareWord2, "Hardware word 2", Presentation::Word},
    {kItemName, "Item name", Presentation::Plain},
    {kInterfaceName, "Interface name", Presentation::Plain},
    {kItemGuid, "GUID", Presentation::Plain},
    {kNetworkAddress2, "Subnet mask", Presentation::Plain},
    {kHardwareIdentifier, "Serial number, low word", Presentation::Plain},
    {kNetworkAddress1, "IP address", Presentation::Plain},
    {kLinkWidthNumberB, "Link width B", Presentation::Plain},
    {kLinkWidthNumberA, "Link width A", Presentation::Plain},
    {kLinkSpeedNumberA, "Link speed A", Presentation::LinkSpeed},
    {kLinkSpeedNumberB, "Link speed B", Presentation::LinkSpeed},
    {kEntryWord0, "Entry word 0", Presentation::Word},
    {kEntryWord1, "Entry word 1", Presentation::Word},
    {kEntryWord2, "Entry word 2", Presentation::Word},
    {kBusType, "Bus kind", Presentation::FourCC},
    {kDriverVersion, "Driver version", Presentation::Version},
    {kDriverName, "Driver name", Presentation::Plain},
    {kLinkWidthTextA, "Link width A (text)", Presentation::Plain},
    {kLinkWidthTextB, "Link width B (text)", Presentation::Plain},
    {kLinkSpeedTextA, "Link speed A (text)", Presentation::Plain},
    {kLinkSpeedTextB, "Link speed B (text)", Presentation::Plain},
};

const TagInfo* findTag(uint32_t tag) {
    for (const TagInfo& info : kTags) {
        if (info.tag == tag) {
            return &info;
        }
    }
    return nullptr;
}

} // namespace

std::string propertyLabel(uint32_t tag, uint32_t busKind) {
    if (tag == oxSysTags::kIdentifierA && VyrexBusClassOf(busKind) == VyrexBusClass::FireWire) {
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

std::string busKindText(uint32_t busKind) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", unsigned(busKind));
    std::string text = std::string(hex) + " \"" + fourCCText(busKind) + "\"";
    const std::string busClass = VyrexBusClassName(VyrexBusClassOf(busKind));
    return busClass.empty() ? text : text + " (" + busClass + ")";
}

std::string versionText(uint32_t version) {
    char text[32];
    std::snprintf(text, sizeof text, "%u.%u.%u", unsigned(version >> 16),
                  unsigned((version >> 8) & 0xFF), unsigned(version & 0xFF));
    return text;
}
