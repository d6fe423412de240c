// Length-prefixed strings that the module hands to the host, taken over and
// freed as the host frees them (hostkit), failing the current test when the
// length prefix does not match.
#pragma once

#include <string>

// The string as UTF-8, then freed; empty for null.
std::string takeText(char16_t* text);

// The same, kept as UTF-16.
std::u16string takeWideString(char16_t* text);

// A narrow ASCII text as UTF-16.
std::u16string wide(const std::string& text);
