#include "serve/PictureStore.h"

#include "commands/FleetDocument.h"
#include "commands/WatchReport.h"
#include "mqtt/MqttTopics.h"
#include "mqtt/NodeStatus.h"
#include "mqtt/SummaryReader.h"
#include "present/ItemSummary.h"
#include "present/JsonOutput.h"
#include "present/PropertyFormat.h"
#include "serve/PropertyChanges.h"

namespace {

using Json = nlohmann::ordered_json;

Json stateEvent(const Json& base, const std::optional<FleetNode>& node) {
    Json event = base;
    event["event"] = "state";
    event["state"] = node ? textOrNull(node->status) : Json(nullptr);
    event["reason"] = node ? textOrNull(node->reason) : Json(nullptr);
    event["lastSeen"] = node ? textOrNull(node->lastSeen) : Json(nullptr);
    return event;
}

Json itemEvent(const Json& base, const char* kind, const ItemSummary& item) {
    Json event = base;
    event["event"] = kind;
    event["names"] = Json::array({item.name});
    event["items"] = Json::array({summaryJson(item)});
    return event;
}

Json goneEvent(const Json& base) {
    Json event = base;
    event["event"] = "gone";
    return event;
}

} // namespace

StoreUpdate PictureStore::apply(const std::string& topic, const std::string& payload,
                                std::chrono::system_clock::time_point now) {
    const std::optional<TopicAddress> address = parseTopic(m_prefix, topic);
    if (!address) {
        return {FleetUpdate::NotOurs, {}};
    }
    const Json base = {{"time", localTimeText(now, true)}, {"node", address->node}};
    return address->kind == TopicAddress::Kind::Status
               ? applyStatus(topic, address->node, payload, base)
               : applyItem(topic, address->node, address->item, payload, base);
}

StoreUpdate PictureStore::applyStatus(const std::string& topic, const std::string& node,
                                      const std::string& payload, const Json& base) {
    const std::optional<FleetNode> before = m_inventory.node(node);
    StoreUpdate result{m_inventory.apply(topic, payload), {}};
    if (result.update == FleetUpdate::Malformed) {
        return result;
    }
    const std::optional<FleetNode> after = m_inventory.node(node);
    if (!after) {
        forget(node);
        if (before) {
            result.events.push_back(goneEvent(base));
        }
        return result;
    }
    const std::optional<NodeStatus> status = parseNodeStatus(payload);
    m_heartbeats[node] = status ? status->heartbeatSec : 0;
    if (!before || before->status != after->status || before->reason != after->reason) {
        result.events.push_back(stateEvent(base, after));
    } else if (before->lastSeen != after->lastSeen) {
        Json event = base;
        event["event"] = "seen";
        event["lastSeen"] = textOrNull(after->lastSeen);
        result.events.push_back(std::move(event));
    }
    return result;
}

StoreUpdate PictureStore::applyItem(const std::string& topic, const std::string& node,
                                    const std::string& item, const std::string& payload,
                                    const Json& base) {
    // The whole document is read here, not only its summary as fleet does:
    // the item page shows it, and a change is told property by property.
    Json document;
    if (!payload.empty()) {
        document = Json::parse(payload, nullptr, false);
        if (!document.is_object()) {
            return {FleetUpdate::Malformed, {}};
        }
    }
    const bool known = m_inventory.node(node).has_value();
    const std::optional<ItemSummary> before = m_inventory.itemOf(node, item);
    StoreUpdate result{m_inventory.apply(topic, payload), {}};
    if (result.update == FleetUpdate::Malformed) {
        return result;
    }
    if (payload.empty()) {
        if (before) {
            result.events.push_back(itemEvent(base, "removed", *before));
            count(node, "removed");
        }
        const auto documents = m_documents.find(node);
        if (documents != m_documents.end()) {
            documents->second.erase(item);
        }
        if (known && !m_inventory.node(node)) {
            forget(node);
            result.events.push_back(goneEvent(base));
        }
        return result;
    }
    if (!known) {
        result.events.push_back(stateEvent(base, std::nullopt));
    }
    std::map<std::string, std::string>& documents = m_documents[node];
    const auto old = documents.find(item);
    std::string text = jsonText(document, true); // as show --json escapes it
    const ItemSummary summary = *m_inventory.itemOf(node, item);
    if (old == documents.end()) {
        result.events.push_back(itemEvent(base, "added", summary));
        count(node, "added");
        documents.emplace(item, std::move(text));
    } else if (old->second != text) {
        Json event = itemEvent(base, "changed", summary);
        event["changes"] = propertyChanges(item, Json::parse(old->second), document);
        result.events.push_back(std::move(event));
        count(node, "changed");
        old->second = std::move(text);
    }
    if (!result.events.empty()) {
        result.update = FleetUpdate::Changed;
    }
    return result;
}

void PictureStore::forget(const std::string& node) {
    m_documents.erase(node);
    m_heartbeats.erase(node);
    auto counted = m_changeCounts.lower_bound({node, ""});
    while (counted != m_changeCounts.end() && counted->first.first == node) {
        counted = m_changeCounts.erase(counted);
    }
}

void PictureStore::count(const std::string& node, const std::string& event) {
    if (m_counting) {
        ++m_changeCounts[{node, event}];
    }
}

std::optional<std::string> PictureStore::itemDocument(const std::string& node,
                                                      const std::string& item) const {
    const auto items = m_documents.find(node);
    if (items == m_documents.end()) {
        return std::nullopt;
    }
    const auto found = items->second.find(item);
    if (found == items->second.end()) {
        return std::nullopt;
    }
    return found->second;
}

int PictureStore::heartbeatOf(const std::string& node) const {
    const auto found = m_heartbeats.find(node);
    return found == m_heartbeats.end() ? 0 : found->second;
}

nlohmann::ordered_json PictureStore::present(std::chrono::system_clock::time_point now) const {
    return {{"time", localTimeText(now, true)},
            {"event", "present"},
            {"nodes", nodesJson(m_inventory.nodes())}};
}
