// Item names as the expert compares them: letter case does not count (the
// expert folds units up to 0xFF with toupper, which in the "C" locale the
// fuzz target runs in changes ASCII letters only). A key is the name with
// its ASCII letters in upper case; every other unit is kept.
#pragma once

#include <set>
#include <string>

namespace expertfuzz {

using ItemKey = std::u16string;
using ItemKeySet = std::set<ItemKey>;

inline ItemKey keyOf(ItemKey name) {
    for (char16_t& unit : name) {
        if (unit >= u'a' && unit <= u'z') {
            unit = char16_t(unit - u'a' + u'A');
        }
    }
    return name;
}

// The key of a narrow driver text, each byte widened to the unit of the same
// value as the fuzz target's text converter does.
inline ItemKey keyOfNarrow(const std::string& text) {
    ItemKey name;
    for (const char byte : text) {
        name.push_back(char16_t(static_cast<unsigned char>(byte)));
    }
    return keyOf(name);
}

} // namespace expertfuzz
