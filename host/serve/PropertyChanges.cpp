#include "serve/PropertyChanges.h"

#include <map>

namespace {

using Json = nlohmann::ordered_json;

// The document's list of properties; none when it has no list.
const Json& propertiesOf(const Json& document) {
    static const Json none = Json::array();
    const auto list = document.is_object() ? document.find("properties") : document.end();
    return list != document.end() && list->is_array() ? *list : none;
}

// The property's tag, "" for an entry without one.
std::string tagOf(const Json& property) {
    const auto tag = property.is_object() ? property.find("tag") : property.end();
    return tag != property.end() && tag->is_string() ? tag->get<std::string>() : "";
}

std::map<std::string, const Json*> byTag(const Json& document) {
    std::map<std::string, const Json*> properties;
    for (const Json& property : propertiesOf(document)) {
        const std::string tag = tagOf(property);
        if (!tag.empty()) {
            properties.emplace(tag, &property);
        }
    }
    return properties;
}

Json field(const Json* property, const char* name) {
    if (property == nullptr) {
        return nullptr;
    }
    const auto found = property->find(name);
    return found == property->end() ? Json(nullptr) : *found;
}

Json change(const std::string& itemName, const std::string& tag, const Json* before,
            const Json* after) {
    const Json* typed = after != nullptr ? after : before;
    return {
        {"name", itemName},
        {"tag", tag},
        {"label", field(typed, "label")},
        {"type", field(typed, "type")},
        {"from", field(before, "value")},
        {"to", field(after, "value")},
    };
}

} // namespace

nlohmann::ordered_json propertyChanges(const std::string& itemName, const Json& before,
                                       const Json& after) {
    const std::map<std::string, const Json*> earlier = byTag(before);
    const std::map<std::string, const Json*> later = byTag(after);
    Json changes = Json::array();
    for (const Json& property : propertiesOf(after)) {
        const std::string tag = tagOf(property);
        const auto old = earlier.find(tag);
        if (tag.empty()) {
            continue;
        }
        if (old == earlier.end()) {
            changes.push_back(change(itemName, tag, nullptr, &property));
        } else if (field(old->second, "type") != field(&property, "type") ||
                   field(old->second, "value") != field(&property, "value")) {
            changes.push_back(change(itemName, tag, old->second, &property));
        }
    }
    for (const Json& property : propertiesOf(before)) {
        const std::string tag = tagOf(property);
        if (!tag.empty() && later.count(tag) == 0) {
            changes.push_back(change(itemName, tag, &property, nullptr));
        }
    }
    return changes;
}
