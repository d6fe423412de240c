#include "commands/PropertyDiff.h"

std::vector<PropertyChange> diffProperties(const PropertyList& before, const PropertyList& after) {
    std::vector<PropertyChange> changes;
    for (const Property& now : after) {
        const Property* earlier = findProperty(before, now.tag);
        if (earlier == nullptr) {
            changes.push_back({now.tag, std::nullopt, now});
        } else if (!sameValue(*earlier, now)) {
            changes.push_back({now.tag, *earlier, now});
        }
    }
    for (const Property& earlier : before) {
        if (findProperty(after, earlier.tag) == nullptr) {
            changes.push_back({earlier.tag, earlier, std::nullopt});
        }
    }
    return changes;
}
