#include "commands/ItemFilter.h"

#include <fnmatch.h>
#include <strings.h>

#include <algorithm>

namespace {

bool sameWord(const std::string& a, const std::string& b) {
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

} // namespace

bool ItemFilter::matches(const ItemSummary& item) const {
    const bool named =
        patterns.empty() ||
        std::any_of(patterns.begin(), patterns.end(), [&](const std::string& pattern) {
            return fnmatch(pattern.c_str(), item.name.c_str(), FNM_CASEFOLD) == 0;
        });
    const bool ofKind = kind.empty() || (kind == "camera") == (item.kind == "camera");
    const bool onBus = bus.empty() || sameWord(bus, item.bus) || sameWord(bus, item.busClass);
    return named && ofKind && onBus;
}
