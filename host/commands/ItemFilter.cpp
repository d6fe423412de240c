#include "commands/ItemFilter.h"

#include <fnmatch.h>
#include <strings.h>

#include <algorithm>

namespace {

bool sameWord(const std::string& a, const std::string& b) {
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

std::string withoutBlankEnds(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? ""
                                      : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::optional<std::string> spelledAs(const std::string& word,
                                     const std::vector<std::string>& words) {
    const auto found = std::find_if(words.begin(), words.end(), [&](const std::string& known) {
        return sameWord(word, known);
    });
    return found == words.end() ? std::nullopt : std::optional<std::string>(*found);
}

} // namespace

const std::vector<std::string>& kindWords() {
    static const std::vector<std::string> words = {"camera", "grabber", "frame grabber"};
    return words;
}

std::optional<std::string> knownKind(const std::string& typed) {
    const std::optional<std::string> kind = spelledAs(withoutBlankEnds(typed), kindWords());
    if (!kind) {
        return std::nullopt;
    }
    return *kind == "camera" ? "camera" : "grabber";
}

// Frame grabbers sit on PCIe, which the driver reports without a class.
const std::vector<std::string>& busKindWords() {
    static const std::vector<std::string> words = {"ipv4", "IPcm", "USB3", "UVC",
                                                   "1394", "CLNK", "sim",  "PCIe"};
    return words;
}

const std::vector<std::string>& busClassWords() {
    static const std::vector<std::string> words = {"network", "USB", "FireWire", "Camera Link",
                                                   "simulated"};
    return words;
}

std::optional<std::string> knownBus(const std::string& typed) {
    const std::string word = withoutBlankEnds(typed);
    if (std::optional<std::string> kind = spelledAs(word, busKindWords())) {
        return kind;
    }
    return spelledAs(word, busClassWords());
}

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
