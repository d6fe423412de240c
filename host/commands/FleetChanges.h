// camexpert fleet --watch --changes: one line per change of a node's state or
// of an item, as the retained message that makes it arrives, instead of the
// whole picture again. A heartbeat alone is no change.
//   03:07:30.120  cell4  error  Cannot use the scenario /etc/camexpert/lab.json: ...
//   03:07:31.004  cell4  added  usb3-1.2
// With --json, one document a line: {"time", "node", "event", and "state" and
// "reason", or "item" with list's fields ("name" alone when removed)}.
#pragma once

#include "commands/FleetFilter.h"
#include "mqtt/FleetInventory.h"
#include "mqtt/MqttTopics.h"

#include <optional>
#include <string>

class FleetChanges {
public:
    FleetChanges(const FleetInventory& inventory, const FleetFilter& filter, bool json)
        : m_inventory(inventory), m_filter(filter), m_json(json) {}

    // Before the message on the topic is applied: what it may change.
    void before(const std::optional<TopicAddress>& address);

    // After it was applied: the line, with its newline, or "" when nothing
    // shown changed.
    std::string after(const std::optional<TopicAddress>& address) const;

private:
    std::string line(const std::string& node, const std::string& event, const std::string& detail,
                     const nlohmann::ordered_json& fields) const;

    const FleetInventory& m_inventory;
    const FleetFilter& m_filter;
    const bool m_json;
    std::optional<std::pair<std::string, std::string>> m_state;
    std::optional<ItemSummary> m_item;
};
