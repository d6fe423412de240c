// The picture serve shows: every node's status and items, and the whole
// published document of each item. Both sources feed it the same way, as
// (topic, payload) pairs in the layout of mqtt/MqttTopics.h: the broker's
// retained messages, and this controller's status and items as publish would
// retain them. Each change is told as the events /api/events sends:
//   {"time", "node", "event": "added"|"removed"|"changed", "names", "items"[, "changes"]}
//   {"time", "node", "event": "state", "state", "reason", "lastSeen"}
//   {"time", "node", "event": "seen", "lastSeen"}
//   {"time", "node", "event": "gone"}
// Not thread-safe: LivePicture guards it.
#pragma once

#include "mqtt/FleetInventory.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct StoreUpdate {
    FleetUpdate update = FleetUpdate::Unchanged;
    std::vector<nlohmann::ordered_json> events; // in the order they happened
};

class PictureStore {
public:
    explicit PictureStore(std::string prefix) : m_prefix(prefix), m_inventory(std::move(prefix)) {}

    StoreUpdate apply(const std::string& topic, const std::string& payload,
                      std::chrono::system_clock::time_point now);

    // From now on item changes are counted: what came before made the first
    // picture.
    void pictureWhole() { m_counting = true; }

    const FleetInventory& inventory() const { return m_inventory; }

    // The item's published document, compact; none when unknown.
    std::optional<std::string> itemDocument(const std::string& node, const std::string& item) const;

    // The node's heartbeat period in seconds, 0 when its status gives none.
    int heartbeatOf(const std::string& node) const;

    // {"time", "event": "present", "nodes": [node...]}: the whole picture.
    nlohmann::ordered_json present(std::chrono::system_clock::time_point now) const;

    // Items added, removed and changed since the picture was whole, by node
    // and event; a node that is gone has none.
    const std::map<std::pair<std::string, std::string>, uint64_t>& changeCounts() const {
        return m_changeCounts;
    }

private:
    StoreUpdate applyStatus(const std::string& topic, const std::string& node,
                            const std::string& payload, const nlohmann::ordered_json& base);
    StoreUpdate applyItem(const std::string& topic, const std::string& node,
                          const std::string& item, const std::string& payload,
                          const nlohmann::ordered_json& base);
    void count(const std::string& node, const std::string& event);
    // A node gone from the picture leaves no documents, heartbeat or counts.
    void forget(const std::string& node);

    std::string m_prefix;
    FleetInventory m_inventory;
    std::map<std::string, std::map<std::string, std::string>> m_documents; // node, item
    std::map<std::string, int> m_heartbeats;
    std::map<std::pair<std::string, std::string>, uint64_t> m_changeCounts;
    bool m_counting = false;
};
