#include "expert/ItemTexts.h"

#include "contract/LinkSpeeds.h"

#include <cstdio>
#include <cstring>

namespace nKRVYREX_SYSAPI_EXPERT_18_5 {

namespace {

constexpr char kMakerVendor[] = "Kroneth";
constexpr char kMakerModelPrefix[] = "KR ";

bool startsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

bool isListedWidth(uint32_t width) {
    return width == 1 || width == 2 || width == 4 || width == 8 || width == 16 || width == 32;
}

} // namespace

std::string FieldText(const char (&field)[kVyrexTextSize]) {
    return std::string(field, strnlen(field, kVyrexTextSize));
}

std::string SerialNumberText(uint32_t high, uint32_t low) {
    char text[24];
    std::snprintf(text, sizeof text, "%llX",
                  static_cast<unsigned long long>((uint64_t(high) << 32) | low));
    return text;
}

std::string ModelText(const std::string& vendor, const std::string& model) {
    if (!startsWith(vendor, kMakerVendor)) {
        return vendor + " " + model;
    }
    if (!startsWith(model, kMakerModelPrefix)) {
        return kMakerModelPrefix + model;
    }
    return model;
}

std::string AddressText(uint32_t address) {
    char text[16] = {};
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", unsigned(address >> 24),
                  unsigned((address >> 16) & 0xFF), unsigned((address >> 8) & 0xFF),
                  unsigned(address & 0xFF));
    return text;
}

std::string EightDigitText(uint32_t value) {
    char text[12];
    std::snprintf(text, sizeof text, "%08X", unsigned(value));
    return text;
}

LinkDescription LinkSpeed(uint32_t code) {
    const char* text = oxSysLinkSpeedText(code);
    // oxSysLinkSpeedText answers an unknown code with kOxSysNotDetected itself.
    return {text, text == kOxSysNotDetected ? -1 : int32_t(code)};
}

std::string LinkWidthText(uint32_t width) {
    if (!isListedWidth(width)) {
        return kOxSysNotDetected;
    }
    char text[8] = {};
    std::snprintf(text, sizeof text, "X%d", int(width));
    return text;
}

int32_t LinkWidthNumber(uint32_t width) {
    return isListedWidth(width) ? int32_t(width) : -1;
}

} // namespace nKRVYREX_SYSAPI_EXPERT_18_5
