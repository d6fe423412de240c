#include "commands/FleetDocument.h"

#include "present/JsonOutput.h"
#include "present/PropertyFormat.h"

nlohmann::ordered_json nodeJson(const FleetNode& node) {
    nlohmann::ordered_json entry;
    entry["node"] = node.name;
    entry["status"] = textOrNull(node.status);
    entry["lastSeen"] = textOrNull(node.lastSeen);
    entry["reason"] = textOrNull(node.reason);
    entry["items"] = nlohmann::ordered_json::array();
    for (const ItemSummary& item : node.items) {
        entry["items"].push_back(summaryJson(item));
    }
    return entry;
}

nlohmann::ordered_json nodesJson(const std::vector<FleetNode>& nodes) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const FleetNode& node : nodes) {
        list.push_back(nodeJson(node));
    }
    return list;
}

void writeNodesDocument(const std::vector<FleetNode>& nodes, const std::string& time, bool compact,
                        const std::function<void(const std::string&)>& write) {
    const std::string indent = compact ? "" : "\n    ";
    std::string text = compact ? "{" : "{\n  ";
    if (!time.empty()) {
        text += (compact ? "\"time\":" : "\"time\": ") + jsonText(time, true) +
                (compact ? "," : ",\n  ");
    }
    text += compact ? "\"nodes\":[" : "\"nodes\": [";
    for (size_t i = 0; i < nodes.size(); ++i) {
        std::string node = jsonText(nodeJson(nodes[i]), compact);
        if (!compact) {
            for (size_t line = node.find('\n'); line != std::string::npos;
                 line = node.find('\n', line + 1)) {
                node.insert(line + 1, "    ");
            }
        }
        text += (i == 0 ? "" : ",") + indent + node;
        write(text);
        text.clear();
    }
    text += nodes.empty() || compact ? "]" : "\n  ]";
    write(text + (compact ? "}\n" : "\n}\n"));
}
