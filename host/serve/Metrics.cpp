#include "serve/Metrics.h"

#include "mqtt/NodeStatus.h"
#include "present/TerminalText.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<const char*, 4> kStates = {"online", "offline", "error", "unknown"};
constexpr std::array<const char*, 3> kChangeEvents = {"added", "removed", "changed"};

struct Family {
    std::string& text;
    const char* name;

    Family(std::string& out, const char* familyName, const char* type, const char* help)
        : text(out), name(familyName) {
        text += std::string("# HELP ") + name + " " + help + "\n# TYPE " + name + " " + type + "\n";
    }

    // labels: {{"node", "vm"}, ...}
    void sample(const std::vector<std::pair<const char*, std::string>>& labels,
                const std::string& value) {
        text += name;
        if (!labels.empty()) {
            text += "{";
            for (size_t i = 0; i < labels.size(); ++i) {
                text += std::string(i == 0 ? "" : ",") + labels[i].first + "=\"" +
                        escapedLabel(labels[i].second) + "\"";
            }
            text += "}";
        }
        text += " " + value + "\n";
    }
};

bool nodeUp(const FleetNode& node, int heartbeatSec, std::chrono::system_clock::time_point now) {
    NodeStatus status;
    status.state = node.status;
    status.seen = node.lastSeen;
    status.heartbeatSec = heartbeatSec;
    return node.status == "online" && nodeIsLive(status, now);
}

} // namespace

void RequestCounts::count(const std::string& handler, int code) {
    std::lock_guard<std::mutex> hold(m_lock);
    ++m_counts[{handler, code}];
}

std::map<std::pair<std::string, int>, uint64_t> RequestCounts::snapshot() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_counts;
}

std::string escapedLabel(const std::string& value) {
    std::string escaped;
    for (size_t i = 0; i < value.size();) {
        char32_t c = 0;
        const size_t length = decodeUtf8(value, i, &c);
        if (length == 0) {
            escaped += "\xEF\xBF\xBD"; // U+FFFD: the scrape must stay UTF-8
            ++i;
            continue;
        }
        if (c == '\\') {
            escaped += "\\\\";
        } else if (c == '"') {
            escaped += "\\\"";
        } else if (c == '\n') {
            escaped += "\\n";
        } else {
            escaped.append(value, i, length);
        }
        i += length;
    }
    return escaped;
}

std::string metricsText(const PictureStore& store, const ServerFigures& server,
                        std::chrono::system_clock::time_point now) {
    const std::vector<FleetNode> nodes = store.inventory().nodes();
    std::string text;
    Family up(text, "camexpert_node_up", "gauge",
              "1 while the node is online and its heartbeat is no older than three periods.");
    for (const FleetNode& node : nodes) {
        up.sample({{"node", node.name}},
                  nodeUp(node, store.heartbeatOf(node.name), now) ? "1" : "0");
    }
    Family state(text, "camexpert_node_state", "gauge",
                 "1 for the state the node is in (online, offline, error, unknown), else 0.");
    for (const FleetNode& node : nodes) {
        // A word outside the four (a newer publisher's) reads as unknown.
        const bool known = std::find(kStates.begin(), kStates.end(), node.status) != kStates.end();
        const std::string current = known ? node.status : "unknown";
        for (const char* each : kStates) {
            state.sample({{"node", node.name}, {"state", each}}, current == each ? "1" : "0");
        }
    }
    Family seen(text, "camexpert_node_last_seen_timestamp_seconds", "gauge",
                "When the node's last heartbeat was sent, in seconds since the epoch.");
    for (const FleetNode& node : nodes) {
        if (const auto time = parseUtcTime(node.lastSeen)) {
            const auto seconds =
                std::chrono::duration_cast<std::chrono::seconds>(time->time_since_epoch());
            seen.sample({{"node", node.name}}, std::to_string(seconds.count()));
        }
    }
    Family items(text, "camexpert_node_items", "gauge",
                 "The node's items by kind (camera, grabber) and bus.");
    for (const FleetNode& node : nodes) {
        std::map<std::pair<std::string, std::string>, size_t> counts;
        for (const ItemSummary& item : node.items) {
            ++counts[{item.kind == "frame grabber" ? "grabber" : "camera", item.bus}];
        }
        for (const auto& [kindAndBus, count] : counts) {
            items.sample(
                {{"node", node.name}, {"kind", kindAndBus.first}, {"bus", kindAndBus.second}},
                std::to_string(count));
        }
    }
    Family changes(text, "camexpert_item_changes_total", "counter",
                   "Items added, removed and changed since the server started.");
    std::map<std::pair<std::string, std::string>, uint64_t> counted = store.changeCounts();
    for (const FleetNode& node : nodes) {
        for (const char* event : kChangeEvents) {
            counted.emplace(std::make_pair(node.name, event), 0);
        }
    }
    for (const auto& [nodeAndEvent, count] : counted) {
        changes.sample({{"node", nodeAndEvent.first}, {"event", nodeAndEvent.second}},
                       std::to_string(count));
    }
    Family requests(text, "camexpert_http_requests_total", "counter",
                    "HTTP requests answered, by handler and status code.");
    for (const auto& [handlerAndCode, count] : server.requests) {
        requests.sample(
            {{"handler", handlerAndCode.first}, {"code", std::to_string(handlerAndCode.second)}},
            std::to_string(count));
    }
    Family clients(text, "camexpert_event_clients", "gauge", "Open /api/events streams.");
    clients.sample({}, std::to_string(server.eventClients));
    if (server.brokerConnected) {
        Family broker(text, "camexpert_broker_connected", "gauge",
                      "1 while the MQTT broker is connected.");
        broker.sample({}, *server.brokerConnected ? "1" : "0");
    }
    return text;
}
