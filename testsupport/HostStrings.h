// Length-prefixed strings that the module hands to the host, taken over and
// freed as the host frees them.
#pragma once

#include <string>

// The string narrowed (non-ASCII units become '?'), then freed; empty for
// null. Fails the current test when the length prefix does not match.
std::string takeString(char16_t* text);

// The same, kept as UTF-16.
std::u16string takeWideString(char16_t* text);

// A narrow ASCII text as UTF-16.
std::u16string wide(const std::string& text);
