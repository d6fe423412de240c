#include "present/PropertyFormat.h"

#include "present/HostStrings.h"
#include "present/PropertyLabels.h"
#include "present/StatusNames.h"
#include "present/TerminalText.h"

#include "contract/LinkSpeeds.h"

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
