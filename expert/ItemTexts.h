// The texts the expert builds from driver fields for the host. Each reads
// the fields within their size only, terminated or not.
#pragma once

#include "driver/VyrexDriver.h"

#include <cstdint>
#include <string>

namespace nKRVYREX_SYSAPI_EXPERT_18_5 {

// The 64-bit serial number in uppercase hexadecimal, no leading zeros ("0" for 0).
std::string SerialNumberText(uint32_t high, uint32_t low);

// "vendor model", except for the maker's own cameras, which show "KR "
// followed by the model exactly once.
std::string ModelText(const std::string& vendor, const std::string& model);

// The four bytes of an address, most significant first: "192.168.0.1".
std::string AddressText(uint32_t address);

// Exactly eight uppercase hexadecimal digits with leading zeros.
std::string EightDigitText(uint32_t value);

// A link speed code as text and number: 0 "2.5 GT/s", 1 "5.0 GT/s",
// 2 "8.0 GT/s"; anything else "Not Detected" and -1.
struct LinkDescription {
    const char* text;
    int32_t number;
};
LinkDescription LinkSpeed(uint32_t code);

// A link width of 1, 2, 4, 8, 16 or 32 as "X4" and 4; anything else
// "Not Detected" and -1.
std::string LinkWidthText(uint32_t width);
int32_t LinkWidthNumber(uint32_t width);

// A field's text up to its terminator or its end.
std::string FieldText(const char (&field)[kVyrexTextSize]);

} // namespace nKRVYREX_SYSAPI_EXPERT_18_5
