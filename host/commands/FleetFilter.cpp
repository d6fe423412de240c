#include "commands/FleetFilter.h"

#include <fnmatch.h>

#include <algorithm>

bool FleetFilter::filtersItems() const {
    return !items.patterns.empty() || !items.kind.empty() || !items.bus.empty();
}

bool FleetFilter::matchesNode(const std::string& node) const {
    return nodes.empty() ||
           std::any_of(nodes.begin(), nodes.end(), [&](const std::string& pattern) {
               return fnmatch(pattern.c_str(), node.c_str(), FNM_CASEFOLD) == 0;
           });
}

std::vector<FleetNode> FleetFilter::apply(std::vector<FleetNode> all) const {
    std::vector<FleetNode> shown;
    for (FleetNode& node : all) {
        if (!matchesNode(node.name)) {
            continue;
        }
        if (filtersItems()) {
            node.items.erase(
                std::remove_if(node.items.begin(), node.items.end(),
                               [this](const ItemSummary& item) { return !items.matches(item); }),
                node.items.end());
            if (node.items.empty()) {
                continue;
            }
        }
        shown.push_back(std::move(node));
    }
    return shown;
}
