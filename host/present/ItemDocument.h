// The JSON document of one item with every property: what show --json
// prints, and what publish retains for each item.
#pragma once

#include "hostkit/Property.h"

#include <nlohmann/json.hpp>

#include <string>

// The item's summary (summaryJson, under the given name, as the device has
// it) with "properties": one entry per property, in the item's order.
nlohmann::ordered_json itemDocument(const std::string& name, const PropertyList& properties);

// The document as one compact line: what publish retains and serve keeps.
std::string itemDocumentText(const std::string& name, const PropertyList& properties);
