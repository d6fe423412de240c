#include "commands/FleetChanges.h"

#include "commands/WatchReport.h"
#include "present/JsonOutput.h"
#include "present/PropertyFormat.h"
#include "present/TerminalText.h"

#include <tuple>

void FleetChanges::before(const std::optional<TopicAddress>& address) {
    m_state.reset();
    m_item.reset();
    if (!address) {
        return;
    }
    m_state = m_inventory.stateOf(address->node);
    if (address->kind == TopicAddress::Kind::Item) {
        m_item = m_inventory.itemOf(address->node, address->item);
    }
}

std::string FleetChanges::after(const std::optional<TopicAddress>& address) const {
    if (!address || !m_filter.matchesNode(address->node)) {
        return "";
    }
    if (address->kind == TopicAddress::Kind::Status) {
        const auto state = m_inventory.stateOf(address->node);
        const auto now = state.value_or(std::make_pair(std::string(), std::string()));
        if (m_state.value_or(std::make_pair(std::string(), std::string())) == now ||
            m_filter.filtersItems()) {
            return "";
        }
        nlohmann::ordered_json fields;
        fields["state"] = textOrNull(now.first);
        fields["reason"] = textOrNull(now.second);
        const std::string shown = now.first.empty() ? "unknown" : now.first;
        return line(address->node, "state", now.second.empty() ? shown : shown + "  " + now.second,
                    fields);
    }
    const std::optional<ItemSummary> item = m_inventory.itemOf(address->node, address->item);
    const ItemSummary& either = item ? *item : *m_item;
    if ((!item && !m_item) || !m_filter.items.matches(either)) {
        return "";
    }
    nlohmann::ordered_json fields;
    if (!item) {
        fields["item"] = {{"name", either.name}};
        return line(address->node, "removed", either.name, fields);
    }
    fields["item"] = summaryJson(*item);
    if (!m_item) {
        return line(address->node, "added", item->name, fields);
    }
    const auto cells = [](const ItemSummary& summary) { return summaryCells(summary); };
    if (cells(*item) == cells(*m_item)) {
        return "";
    }
    return line(address->node, "changed", item->name, fields);
}

std::string FleetChanges::line(const std::string& node, const std::string& event,
                               const std::string& detail,
                               const nlohmann::ordered_json& fields) const {
    const auto now = std::chrono::system_clock::now();
    if (m_json) {
        nlohmann::ordered_json document;
        document["time"] = localTimeText(now, true);
        document["node"] = node;
        document["event"] = event;
        document.update(fields);
        return jsonText(document, true) + "\n";
    }
    return localTimeText(now, false) + "  " + terminalSafe(node) + "  " + event + "  " +
           terminalSafe(detail) + "\n";
}
