#include "mqtt/FleetInventory.h"

#include "mqtt/MqttTopics.h"
#include "mqtt/NodeStatus.h"
#include "mqtt/SummaryReader.h"

#include <strings.h>

#include <algorithm>
#include <optional>
#include <tuple>

namespace {

bool sameSummary(const ItemSummary& a, const ItemSummary& b) {
    return std::tie(a.name, a.kind, a.bus, a.busClass, a.vendor, a.model, a.serialNumber,
                    a.address) == std::tie(b.name, b.kind, b.bus, b.busClass, b.vendor, b.model,
                                           b.serialNumber, b.address);
}

// list's order: cameras before frame grabbers, names letter case aside.
bool listedBefore(const ItemSummary& a, const ItemSummary& b) {
    const bool aGrabber = a.kind == "frame grabber";
    const bool bGrabber = b.kind == "frame grabber";
    if (aGrabber != bGrabber) {
        return bGrabber;
    }
    const int folded = strcasecmp(a.name.c_str(), b.name.c_str());
    return folded != 0 ? folded < 0 : a.name < b.name;
}

} // namespace

FleetUpdate FleetInventory::apply(const std::string& topic, const std::string& payload) {
    const std::optional<TopicAddress> address = parseTopic(m_prefix, topic);
    if (!address) {
        return FleetUpdate::NotOurs;
    }
    if (address->kind == TopicAddress::Kind::Status) {
        return setStatus(address->node, payload);
    }
    return setItem(address->node, address->item, payload);
}

FleetUpdate FleetInventory::setStatus(const std::string& node, const std::string& payload) {
    const std::optional<NodeStatus> status =
        payload.empty() ? NodeStatus{} : parseNodeStatus(payload);
    if (!status) {
        return FleetUpdate::Malformed;
    }
    if (payload.empty() && m_nodes.count(node) == 0) {
        return FleetUpdate::Unchanged;
    }
    Node& known = m_nodes[node];
    if (std::tie(known.status, known.lastSeen, known.reason) ==
        std::tie(status->state, status->seen, status->reason)) {
        return FleetUpdate::Unchanged;
    }
    known.status = status->state;
    known.lastSeen = status->seen;
    known.reason = status->reason;
    dropIfEmpty(node);
    return FleetUpdate::Changed;
}

FleetUpdate FleetInventory::setItem(const std::string& node, const std::string& item,
                                    const std::string& payload) {
    if (payload.empty()) {
        const auto known = m_nodes.find(node);
        if (known == m_nodes.end() || known->second.items.erase(item) == 0) {
            return FleetUpdate::Unchanged;
        }
        dropIfEmpty(node);
        return FleetUpdate::Changed;
    }
    std::optional<ItemSummary> summary = readPublishedSummary(item, payload);
    if (!summary) {
        return FleetUpdate::Malformed;
    }
    std::map<std::string, ItemSummary>& items = m_nodes[node].items;
    const auto known = items.find(item);
    if (known != items.end() && sameSummary(known->second, *summary)) {
        return FleetUpdate::Unchanged;
    }
    items[item] = std::move(*summary);
    return FleetUpdate::Changed;
}

void FleetInventory::dropIfEmpty(const std::string& node) {
    const auto known = m_nodes.find(node);
    if (known != m_nodes.end() && known->second.status.empty() && known->second.items.empty()) {
        m_nodes.erase(known);
    }
}

FleetNode FleetInventory::shown(const std::string& name, const Node& node) {
    FleetNode shown{name, node.status, node.lastSeen, node.reason, {}};
    for (const auto& entry : node.items) {
        shown.items.push_back(entry.second);
    }
    std::sort(shown.items.begin(), shown.items.end(), listedBefore);
    return shown;
}

std::vector<FleetNode> FleetInventory::nodes() const {
    std::vector<FleetNode> nodes;
    for (const auto& [name, node] : m_nodes) {
        nodes.push_back(shown(name, node));
    }
    return nodes;
}

std::optional<FleetNode> FleetInventory::node(const std::string& name) const {
    const auto known = m_nodes.find(name);
    if (known == m_nodes.end()) {
        return std::nullopt;
    }
    return shown(name, known->second);
}

std::optional<std::pair<std::string, std::string>>
FleetInventory::stateOf(const std::string& node) const {
    const auto known = m_nodes.find(node);
    if (known == m_nodes.end()) {
        return std::nullopt;
    }
    return std::make_pair(known->second.status, known->second.reason);
}

std::optional<ItemSummary> FleetInventory::itemOf(const std::string& node,
                                                  const std::string& item) const {
    const auto known = m_nodes.find(node);
    if (known == m_nodes.end()) {
        return std::nullopt;
    }
    const auto found = known->second.items.find(item);
    if (found == known->second.items.end()) {
        return std::nullopt;
    }
    return found->second;
}
