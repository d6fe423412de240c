// One change of one property as watch and validate describe it: the same
// words in text, the same shape in JSON.
#pragma once

#include "commands/PropertyDiff.h"

#include <nlohmann/json.hpp>

#include <string>

// One side of a change, safe for a terminal: a text in quotes, another value
// as it reads best (displayText), "(none)" where the property is missing.
std::string changeValueText(const std::optional<Property>& value);

// "IP address (0x0102C000): "192.168.10.21" -> "192.168.10.42"", each side
// as changeValueText has it.
std::string changeText(const PropertyChange& change, uint32_t busKind);

// {"name", "tag", "label", "type", "from", "to"}; from or to is null where
// the property is missing, the type is that of the new value when there is
// one.
nlohmann::ordered_json changeJson(const std::string& itemName, const PropertyChange& change,
                                  uint32_t busKind);
