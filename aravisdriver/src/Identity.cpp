#include "aravisdriver/src/Identity.h"

#include "driver/VyrexDriver.h"

#include <arpa/inet.h>

namespace vyrexaravis {
namespace {

constexpr size_t kMacGroups = 6;
constexpr size_t kMaxHexSerialDigits = 16;
constexpr uint64_t kFnvOffsetBasis = 0xCBF29CE484222325ull;
constexpr uint64_t kFnvPrime = 0x100000001B3ull;

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

std::optional<uint64_t> ParseMacAddress(const std::string& text) {
    // Six groups "hh" joined by five separators: 17 characters.
    if (text.size() != kMacGroups * 3 - 1) {
        return std::nullopt;
    }
    uint64_t value = 0;
    for (size_t group = 0; group < kMacGroups; ++group) {
        const size_t at = group * 3;
        const int high = HexDigitValue(text[at]);
        const int low = HexDigitValue(text[at + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        if (group + 1 < kMacGroups && text[at + 2] != ':' && text[at + 2] != '-') {
            return std::nullopt;
        }
        value = (value << 8) | uint64_t(high * 16 + low);
    }
    return value;
}

std::optional<uint64_t> ParseHexSerial(const std::string& text) {
    if (text.empty() || text.size() > kMaxHexSerialDigits) {
        return std::nullopt;
    }
    uint64_t value = 0;
    for (const char c : text) {
        const int digit = HexDigitValue(c);
        if (digit < 0) {
            return std::nullopt;
        }
        value = (value << 4) | uint64_t(digit);
    }
    return value;
}

std::optional<uint32_t> ParseDottedAddress(const std::string& text) {
    in_addr address{};
    if (inet_pton(AF_INET, text.c_str(), &address) != 1) {
        return std::nullopt;
    }
    return ntohl(address.s_addr);
}

uint64_t HashText(const std::string& text) {
    uint64_t hash = kFnvOffsetBasis;
    for (const char c : text) {
        hash = (hash ^ uint8_t(c)) * kFnvPrime;
    }
    return hash;
}

uint64_t DeriveSerialNumber(uint32_t busType, const std::string& physicalId,
                            const std::string& serialText, const std::string& deviceId) {
    if (busType == kVyrexBusIPv4) {
        const std::optional<uint64_t> mac = ParseMacAddress(physicalId);
        if (mac && *mac != 0) {
            return *mac;
        }
    }
    if (const std::optional<uint64_t> serial = ParseHexSerial(serialText)) {
        return *serial;
    }
    return HashText(deviceId);
}

} // namespace vyrexaravis
