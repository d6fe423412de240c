// Strings that cross from the expert to the host.
#pragma once

#include "objectmodel/Guid.h"

#include <string>

// UTF-8 text of a zero-terminated UTF-16 text (null gives "").
std::string toUtf8(const char16_t* text);

// Takes ownership of a length-prefixed string the expert handed out, frees
// it the way the framework does (free of the block start) and returns its text.
std::string takeExpertString(char16_t* text);

// {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
std::string guidText(const _GUID& guid);
