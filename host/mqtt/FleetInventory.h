// The merged inventory of every node that publishes under a topic prefix,
// kept from the retained messages fleet receives (see MqttTopics.h). An
// empty message takes a status or an item away, as it does on the broker.
#pragma once

#include "present/ItemSummary.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

struct FleetNode {
    std::string name;
    std::string status;   // "online", "offline" or "error"; "" while the broker holds none
    std::string lastSeen; // the publisher's last heartbeat, UTC; "" when unknown
    std::string reason;   // why the state is error
    std::vector<ItemSummary> items; // cameras first, then frame grabbers, as list orders them
};

enum class FleetUpdate {
    Changed,
    Unchanged,
    NotOurs,   // a topic outside the layout, ignored
    Malformed, // a status or an item document fleet cannot read, ignored
};

class FleetInventory {
public:
    explicit FleetInventory(std::string prefix) : m_prefix(std::move(prefix)) {}

    FleetUpdate apply(const std::string& topic, const std::string& payload);

    // Every node with a status or an item, by name.
    std::vector<FleetNode> nodes() const;

    // One node as nodes() has it; none for a node fleet does not know.
    std::optional<FleetNode> node(const std::string& name) const;

    // A node's state ("" without a status) and the reason of an error; none
    // for a node fleet does not know.
    std::optional<std::pair<std::string, std::string>> stateOf(const std::string& node) const;
    // One item as it is now; none when fleet does not know it.
    std::optional<ItemSummary> itemOf(const std::string& node, const std::string& item) const;

private:
    struct Node {
        std::string status;
        std::string lastSeen;
        std::string reason;
        std::map<std::string, ItemSummary> items; // by the name in the topic
    };

    FleetUpdate setStatus(const std::string& node, const std::string& payload);
    FleetUpdate setItem(const std::string& node, const std::string& item,
                        const std::string& payload);
    void dropIfEmpty(const std::string& node);
    static FleetNode shown(const std::string& name, const Node& node);

    std::string m_prefix;
    std::map<std::string, Node> m_nodes;
};
