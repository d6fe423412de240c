// Texts that cross the boundary with the expert: length-prefixed UTF-16
// strings that the receiver frees, and their UTF-8 form on the host's side.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Takes over a length-prefixed string the expert handed out, frees it the
// way the framework does (BStrFree) and returns its units. None when the
// string is null or its length prefix disagrees with its terminator.
std::optional<std::u16string> takeString(char16_t* text);

// UTF-8 text of UTF-16 units. A unit that is not part of a well-formed
// sequence becomes U+FFFD.
std::string toUtf8(std::u16string_view text);
// The same for a zero-terminated text; null gives "".
std::string toUtf8(const char16_t* text);

// UTF-16 text of a UTF-8 text; an ill-formed byte sequence becomes U+FFFD.
std::u16string toUtf16(std::string_view text);

// The UTF-8 text of a string the expert handed out, freed; "" for a string
// takeString refuses.
std::string takeUtf8(char16_t* text);
