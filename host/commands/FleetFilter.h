// Which nodes and items camexpert fleet shows: list's filters of items
// (name patterns, --kind, --bus) and shell patterns of node names (--node).
#pragma once

#include "commands/ItemFilter.h"
#include "mqtt/FleetInventory.h"

#include <string>
#include <vector>

struct FleetFilter {
    ItemFilter items;
    std::vector<std::string> nodes; // shell patterns of node names, letter case aside; none: all

    bool filtersItems() const;
    bool matchesNode(const std::string& node) const;

    // The nodes that match, with their matching items; a node none of whose
    // items matches is left out when items are filtered.
    std::vector<FleetNode> apply(std::vector<FleetNode> nodes) const;
};
