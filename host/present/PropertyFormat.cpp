#include "present/PropertyFormat.h"

#include "present/HostStrings.h"
#include "present/StatusNames.h"
#include "present/TerminalText.h"

#include "contract/LinkSpeeds.h"
#include "contract/PropertyTags.h"
#include "driver/BusClass.h"

#include <cstdio>
#include <ctime>
#include <type_traits>

namespace {

std::string hexText(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, unsigned(value));
    return text;
}

std::string numberText(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

} // namespace

std::string typeName(oxSysAttributeType type) {
    switch (type) {
    case oxSysAttributeType_Boolean:
        return "boolean";
    case oxSysAttributeType_Integer:
        return "signed";
    case oxSysAttributeType_UnsignedInteger:
        return "unsigned";
    case oxSysAttributeType_Double:
        return "double";
    case oxSysAttributeType_Guid:
        return "guid";
    case oxSysAttributeType_String:
        return "string";
    case oxSysAttributeType_TimestampUTC:
        return "timestamp";
    }
    return "type " + std::to_string(int32_t(type));
}

nlohmann::ordered_json textOrNull(const std::string& text) {
    return text.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(text);
}

std::string tagText(uint32_t tag) {
    return hexText(tag, 8);
}

std::string timestampText(const oxSysAttrTimestampUTC& timestamp) {
    const int64_t since1904 = int64_t((uint64_t(timestamp.words[0]) << 32) | timestamp.words[1]);
    const uint64_t fraction = (uint64_t(timestamp.words[2]) << 32) | timestamp.words[3];
    if (since1904 == 0 && fraction == 0) {
        return "";
    }
    const time_t seconds = time_t(since1904 - int64_t(kOxSysSecondsFrom1904To1970));
    struct tm utc {};
    if (gmtime_r(&seconds, &utc) == nullptr) {
        return std::to_string(since1904) + " s after 1904";
    }
    char text[64];
    const size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
    const unsigned milliseconds = unsigned((fraction >> 32) * 1000 >> 32);
    std::snprintf(text + length, sizeof text - length, ".%03uZ", milliseconds);
    return text;
}

std::string valueText(const Property& property) {
    if (property.readStatus != 0) {
        return "(unreadable: " + describeStatus(property.readStatus) + ")";
    }
    return std::visit(
        [](const auto& value) -> std::string {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, bool>) {
                return value ? "true" : "false";
            } else if constexpr (std::is_same_v<T, double>) {
                return numberText(value);
            } else if constexpr (std::is_same_v<T, _GUID>) {
                return guidText(value);
            } else if constexpr (std::is_same_v<T, std::string>) {
                return value;
            } else if constexpr (std::is_same_v<T, oxSysAttrTimestampUTC>) {
                const std::string text = timestampText(value);
                return text.empty() ? "(no time)" : text;
            } else {
                return std::to_string(value);
            }
        },
        property.value);
}

std::string quotedValueText(const Property& property) {
    const std::string text = valueText(property);
    if (property.readStatus == 0 && std::holds_alternative<std::string>(property.value)) {
        return quotedText(text);
    }
    return text;
}

std::string displayText(const Property& property) {
    if (property.readStatus != 0) {
        return valueText(property);
    }
    const Presentation presentation = propertyPresentation(property.tag);
    const auto* unsignedValue = std::get_if<uint32_t>(&property.value);
    const auto* signedValue = std::get_if<int32_t>(&property.value);
    switch (presentation) {
    case Presentation::Hex:
        if (unsignedValue != nullptr) {
            return hexText(*unsignedValue, *unsignedValue > 0xFFFF ? 8 : 4);
        }
        break;
    case Presentation::Word:
        if (unsignedValue != nullptr) {
            return hexText(*unsignedValue, 8);
        }
        break;
    case Presentation::FourCC:
        if (signedValue != nullptr) {
            return busKindText(uint32_t(*signedValue));
        }
        break;
    case Presentation::Version:
        if (unsignedValue != nullptr) {
            return hexText(*unsignedValue, 8) + " (" + versionText(*unsignedValue) + ")";
        }
        break;
    case Presentation::LinkSpeed:
        if (signedValue != nullptr) {
            return std::to_string(*signedValue) + " (" +
                   oxSysLinkSpeedText(uint32_t(*signedValue)) + ")";
        }
        break;
    case Presentation::Plain:
        break;
    }
    return valueText(property);
}

nlohmann::ordered_json valueJson(const Property& property) {
    if (property.readStatus != 0) {
        return nullptr;
    }
    return std::visit(
        [](const auto& value) -> nlohmann::ordered_json {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, _GUID>) {
                return guidText(value);
            } else if constexpr (std::is_same_v<T, oxSysAttrTimestampUTC>) {
                const std::string text = timestampText(value);
                return textOrNull(text);
            } else {
                return value;
            }
        },
        property.value);
}

// --- Labels and presentations of the tags ------------------------------------

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
