// Texts that cross the boundary with the expert: UTF-16 code units in the
// processor's byte order there, UTF-8 on the host's side.
#pragma once

#include "contract/Guid.h"

#include <cstddef>
#include <cstdint>
#include <string>

// UTF-8 text of a zero-terminated UTF-16 text (null gives ""). A unit that is
// not part of a well-formed sequence becomes U+FFFD.
std::string toUtf8(const char16_t* text);

// UTF-16 text of a UTF-8 text; an ill-formed byte sequence becomes U+FFFD.
std::u16string toUtf16(const std::string& text);

// The same conversion without allocating: writes into destination (when
// not null) and returns the number of units, or SIZE_MAX when they do not
// fit in destinationUnits.
size_t utf8ToUtf16(const char* source, size_t sourceBytes, char16_t* destination,
                   size_t destinationUnits);

// True when text is well-formed UTF-8.
bool isUtf8(const std::string& text);

// Takes ownership of a length-prefixed string the expert handed out, frees it
// the way the framework does (free of the block 4 bytes before the first
// character) and returns its text. Null gives "".
std::string takeExpertString(char16_t* text);

// A length-prefixed string for the expert (the host's own strings have the
// same layout as the expert's): a 32-bit character count, the characters and
// a zero unit, from malloc. Null when memory runs out.
char16_t* allocHostString(const std::u16string& text);

// {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
std::string guidText(const _GUID& guid);

// Reads the text form above, with or without the braces; false when malformed.
bool parseGuid(const std::string& text, _GUID* guid);
