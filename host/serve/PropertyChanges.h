// What changed between two published documents of one item, as watch --json
// tells it: one change a property, from the old document's value to the new
// one's. serve compares documents because both of its sources give it
// documents: the broker's retained messages, and this controller's items as
// publish would retain them.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

// [{"name", "tag", "label", "type", "from", "to"}...]: the properties whose
// type or value differ, that appeared (from null) or that went away (to
// null); first in the order of after, then those only before had. The type
// and label are those of the new property when there is one.
nlohmann::ordered_json propertyChanges(const std::string& itemName,
                                       const nlohmann::ordered_json& before,
                                       const nlohmann::ordered_json& after);
