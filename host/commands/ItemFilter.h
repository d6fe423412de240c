// Which items camexpert list shows.
#pragma once

#include "present/ItemSummary.h"

#include <optional>
#include <string>
#include <vector>

struct ItemFilter {
    std::vector<std::string> patterns; // shell patterns of names, letter case aside; none: all
    std::string kind;                  // "camera", "grabber", or "" for both
    std::string bus; // a bus kind ("USB3") or class ("network") as knownBus gives it; "": any

    // True when the item matches a pattern (when there are any), the kind and
    // the bus.
    bool matches(const ItemSummary& item) const;
};

// The kinds --kind takes, as the KIND column shows them and as one word.
const std::vector<std::string>& kindWords();

// "camera" or "grabber" for a kind typed in any of its spellings and any
// letter case ("Frame Grabber"); nothing for another word.
std::optional<std::string> knownKind(const std::string& typed);

// The bus kinds and bus classes the expert knows, as list shows them.
const std::vector<std::string>& busKindWords();
const std::vector<std::string>& busClassWords();

// The bus kind or class typed in any letter case, its four characters with
// or without their padding blank (" sim", "UVC "), as list shows it ("sim",
// "UVC", "network"); nothing for a bus the expert does not know.
std::optional<std::string> knownBus(const std::string& typed);
