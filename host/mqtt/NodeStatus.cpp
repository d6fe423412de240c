#include "mqtt/NodeStatus.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <ctime>
#include <random>

namespace {

constexpr int kHeartbeatsUntilStale = 3;

std::string textOf(const nlohmann::json& document, const char* key) {
    const auto field = document.find(key);
    return field != document.end() && field->is_string() ? field->get<std::string>() : "";
}

} // namespace

std::string nodeStatusDocument(const NodeStatus& status) {
    nlohmann::ordered_json document;
    document["state"] = status.state;
    document["session"] = status.session;
    document["version"] = status.version;
    document["started"] = status.started;
    document["seen"] = status.seen;
    document["heartbeatSec"] = status.heartbeatSec;
    document["reason"] =
        status.reason.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(status.reason);
    return document.dump();
}

std::optional<NodeStatus> parseNodeStatus(const std::string& payload) {
    if (payload == "online" || payload == "offline") {
        NodeStatus status;
        status.state = payload;
        return status;
    }
    const nlohmann::json document = nlohmann::json::parse(payload, nullptr, false);
    if (!document.is_object()) {
        return std::nullopt;
    }
    NodeStatus status;
    status.state = textOf(document, "state");
    if (status.state != "online" && status.state != "offline" && status.state != "error") {
        return std::nullopt;
    }
    status.session = textOf(document, "session");
    status.version = textOf(document, "version");
    status.started = textOf(document, "started");
    status.seen = textOf(document, "seen");
    status.reason = textOf(document, "reason");
    const auto heartbeat = document.find("heartbeatSec");
    if (heartbeat != document.end() && heartbeat->is_number_integer()) {
        status.heartbeatSec = heartbeat->get<int>();
    }
    return status;
}

std::string utcTimeText(std::chrono::system_clock::time_point time) {
    const time_t seconds = std::chrono::system_clock::to_time_t(time);
    struct tm utc {};
    gmtime_r(&seconds, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

std::optional<std::chrono::system_clock::time_point> parseUtcTime(const std::string& text) {
    struct tm utc {};
    const char* end = strptime(text.c_str(), "%Y-%m-%dT%H:%M:%SZ", &utc);
    if (end == nullptr || *end != '\0') {
        return std::nullopt;
    }
    return std::chrono::system_clock::from_time_t(timegm(&utc));
}

std::string newSessionId() {
    std::random_device random;
    std::uniform_int_distribution<uint64_t> any;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(any(random)));
    return text;
}

bool nodeIsLive(const NodeStatus& status, std::chrono::system_clock::time_point now) {
    if (status.state == "offline") {
        return false;
    }
    if (status.heartbeatSec <= 0) {
        return status.seen.empty(); // an earlier publisher's bare status
    }
    const std::optional<std::chrono::system_clock::time_point> seen = parseUtcTime(status.seen);
    return seen && now - *seen <= std::chrono::seconds(status.heartbeatSec * kHeartbeatsUntilStale);
}
