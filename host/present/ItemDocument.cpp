#include "present/ItemDocument.h"

#include "present/ItemSummary.h"
#include "present/JsonOutput.h"
#include "present/PropertyFormat.h"

namespace {

nlohmann::ordered_json propertyJson(const Property& property, uint32_t busKind) {
    nlohmann::ordered_json entry;
    entry["tag"] = tagText(property.tag);
    const std::string label = propertyLabel(property.tag, busKind);
    entry["label"] = textOrNull(label);
    entry["type"] = typeName(property.type);
    entry["value"] = valueJson(property);
    const std::string display = displayText(property);
    if (display != valueText(property)) {
        entry["display"] = display;
    }
    if (property.readStatus != 0) {
        entry["error"] = valueText(property);
    }
    return entry;
}

} // namespace

nlohmann::ordered_json itemDocument(const std::string& name, const PropertyList& properties) {
    const uint32_t busKind = itemBusKind(properties);
    nlohmann::ordered_json document = summaryJson(summarizeItem(properties, name));
    document["properties"] = nlohmann::ordered_json::array();
    for (const Property& property : properties) {
        document["properties"].push_back(propertyJson(property, busKind));
    }
    return document;
}

std::string itemDocumentText(const std::string& name, const PropertyList& properties) {
    return jsonText(itemDocument(name, properties), true);
}
