// Texts that cross the boundary with the expert: UTF-16 code units in the
// processor's byte order there, UTF-8 on the host's side.
#pragma once

#include "contract/Guid.h"

#include <string>
#include <string_view>

// UTF-8 text of a zero-terminated UTF-16 text (null gives ""). A unit that is
// not part of a well-formed sequence becomes U+FFFD.
std::string toUtf8(const char16_t* text);

// UTF-16 text of a UTF-8 text; an ill-formed byte sequence becomes U+FFFD.
std::u16string toUtf16(std::string_view text);

// Takes ownership of a length-prefixed string the expert handed out, frees it
// the way the framework does (BStrFree) and returns its text. Null gives "".
std::string takeExpertString(char16_t* text);

// {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
std::string guidText(const _GUID& guid);

// Reads the text form above, with or without the braces; false when malformed.
bool parseGuid(const std::string& text, _GUID* guid);
