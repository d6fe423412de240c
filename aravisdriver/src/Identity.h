// How a camera's 64-bit serial number and 32-bit addresses are derived from
// the texts that discovery reports.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vyrexaravis {

// "aa:bb:cc:dd:ee:ff" (or with '-'), six two-digit hex groups, as a 48-bit
// number with the first group most significant; nothing for any other text.
std::optional<uint64_t> ParseMacAddress(const std::string& text);

// 1 to 16 hexadecimal digits and nothing else, read as hexadecimal, so that
// the expert's hexadecimal serial text shows the digits the camera reports;
// nothing for any other text.
std::optional<uint64_t> ParseHexSerial(const std::string& text);

// "a.b.c.d", each a decimal 0 to 255, with a most significant; nothing for
// any other text.
std::optional<uint32_t> ParseDottedAddress(const std::string& text);

// 64-bit FNV-1a hash of a text: stable across runs and machines.
uint64_t HashText(const std::string& text);

// In order of preference: a GigE Vision camera's MAC address when it is not
// all zero; the serial text when it is a hex number (ParseHexSerial); the
// hash of the device id, which holds vendor, model and serial text.
uint64_t DeriveSerialNumber(uint32_t busType, const std::string& physicalId,
                            const std::string& serialText, const std::string& deviceId);

} // namespace vyrexaravis
