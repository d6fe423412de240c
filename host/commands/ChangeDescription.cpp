#include "commands/ChangeDescription.h"

#include "present/PropertyFormat.h"
#include "present/TerminalText.h"

namespace {

nlohmann::ordered_json sideJson(const std::optional<Property>& value) {
    return value ? valueJson(*value) : nlohmann::ordered_json(nullptr);
}

} // namespace

std::string changeValueText(const std::optional<Property>& value) {
    if (!value) {
        return "(none)";
    }
    if (value->readStatus == 0 && std::holds_alternative<std::string>(value->value)) {
        return quotedValueText(*value);
    }
    return terminalSafe(displayText(*value));
}

std::string changeText(const PropertyChange& change, uint32_t busKind) {
    const std::string label = propertyLabel(change.tag, busKind);
    const std::string property =
        label.empty() ? tagText(change.tag) : label + " (" + tagText(change.tag) + ")";
    return property + ": " + changeValueText(change.before) + " -> " +
           changeValueText(change.after);
}

nlohmann::ordered_json changeJson(const std::string& itemName, const PropertyChange& change,
                                  uint32_t busKind) {
    const Property& typed = change.after ? *change.after : *change.before;
    return {
        {"name", itemName},
        {"tag", tagText(change.tag)},
        {"label", textOrNull(propertyLabel(change.tag, busKind))},
        {"type", typeName(typed.type)},
        {"from", sideJson(change.before)},
        {"to", sideJson(change.after)},
    };
}
