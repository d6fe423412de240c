// fleet --json's document: {"nodes": [{"node", "status", "lastSeen",
// "reason", "items": [item...]}]}, which serve's /api/nodes answers too.
#pragma once

#include "mqtt/FleetInventory.h"

#include <nlohmann/json.hpp>

#include <functional>
#include <string>
#include <vector>

// One node: its name, status, last heartbeat, reason and item summaries;
// null for what is unknown.
nlohmann::ordered_json nodeJson(const FleetNode& node);

nlohmann::ordered_json nodesJson(const std::vector<FleetNode>& nodes);

// {"time", "nodes": [...]} as jsonText writes it, made and handed to write a
// node at a time: a plant's document is never whole in memory. No time when
// it is "".
void writeNodesDocument(const std::vector<FleetNode>& nodes, const std::string& time, bool compact,
                        const std::function<void(const std::string&)>& write);
