// Reads the expert's enumerators to their end, as a host does, and holds
// them to their contract on the way: Next gives 0 with every element asked
// for, or 1 with fewer, and each name is a well-formed length-prefixed
// string. Every string received is freed, also when the reading fails.
#pragma once

#include "contract/oxSysInterfaces.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The remaining names, in the enumerator's order; none when the enumerator
// breaks its contract. Null gives no names.
std::optional<std::vector<std::u16string>> drainNames(IoxSysEnumStringList* names,
                                                      uint32_t batch = 16);

// The remaining tags, in the enumerator's order; none when the enumerator
// breaks its contract. Null gives no tags.
std::optional<std::vector<uint32_t>> drainTags(IoxSysEnumPropertyTag* tags, uint32_t batch = 16);
