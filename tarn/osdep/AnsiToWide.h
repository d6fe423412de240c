// Narrow (8-bit) text to 16-bit wide text. Uses the platform's optional
// MultiByteToWideChar when the module found it at load time; otherwise maps
// each byte to the unit of the same value (0xE9 becomes U+00E9).
#pragma once

#include <cstdint>

namespace kr::tarn::osdep {

// The locale name under which the built-in mapping runs besides the empty
// (default) name.
constexpr const char* k_asciiLocaleName = "US-ASCII";

// Converts the bytes [srcBegin, srcEnd) into the units [dstBegin, dstEnd).
// On return dstEnd points one past the last unit written; the result is the
// number of units written. An empty source writes nothing and returns 0.
//   - Through MultiByteToWideChar: the locale name is not consulted; a
//     failure of the function throws PosixError, a source longer than
//     0x7FFFFFFF bytes OutOfRange.
//   - Built in: localeName must be null, empty or "US-ASCII", else throws
//     InvalidLocale; a destination too small for the source throws
//     PosixError (E2BIG) before anything is written.
uint32_t AnsiToWide(const char* srcBegin, const char* srcEnd, const char* localeName,
                    uint32_t codePage, char16_t* dstBegin, char16_t*& dstEnd);

// The number of units that AnsiToWide will produce for the same source:
// 0 for an empty source, the source's byte count for the built-in mapping,
// else what MultiByteToWideChar reports (its failure throws PosixError).
uint32_t AnsiToWideSize(const char* srcBegin, const char* srcEnd, const char* localeName,
                        uint32_t codePage);

} // namespace kr::tarn::osdep
