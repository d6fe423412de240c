// Reading the module's enumerators to their end, as a host does (hostkit),
// failing the current test when one breaks its contract.
#pragma once

#include "contract/oxSysInterfaces.h"

#include <cstdint>
#include <string>
#include <vector>

// Every name an enumerator hands out, as UTF-8; frees each.
std::vector<std::string> namesIn(IoxSysEnumStringList* names);

// Every tag an enumerator hands out.
std::vector<uint32_t> tagsIn(IoxSysEnumPropertyTag* tags);

// Every item name of a search, upper-cased, in ascending order; empty when
// the search fails or finds nothing.
std::vector<std::string> upperCaseItemNames(IoxSysExpert2* expert);

// ASCII letters upper-cased: names compared as the expert compares them.
std::string upperCased(std::string text);
