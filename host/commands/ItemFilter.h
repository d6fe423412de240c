// Which items camexpert list shows.
#pragma once

#include "present/ItemSummary.h"

#include <string>
#include <vector>

struct ItemFilter {
    std::vector<std::string> patterns; // shell patterns of names, letter case aside; none: all
    std::string kind;                  // "camera", "grabber", or "" for both
    std::string bus; // a bus kind ("USB3") or class ("network"), letter case aside; "": any

    // True when the item matches a pattern (when there are any), the kind and
    // the bus.
    bool matches(const ItemSummary& item) const;
};
