// Strings the expert hands to the host: length-prefixed copies the host
// frees, and enumerators over item names.
#pragma once

#include "contract/oxSysInterfaces.h"

#include <string>
#include <vector>

namespace expertfuzz {

// A copy of a string the expert handed out; frees it as the host does.
std::u16string takeString(char16_t* text);

// Every name the enumerator has left, fetched two at a time; frees each.
std::vector<std::u16string> drainNames(IoxSysEnumStringList* names);

} // namespace expertfuzz
