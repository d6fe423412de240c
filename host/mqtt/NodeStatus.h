// The retained status of a node, PREFIX/NODE/status: a JSON document that
// says who publishes the node and whether it lives.
//   {"state": "online", "session": "6f1c0e2a9b3d4c85", "version": "1.0",
//    "started": "2026-12-10T03:05:00Z", "seen": "2026-12-10T03:07:30Z",
//    "heartbeatSec": 30, "reason": null}
// state is "online", "offline" (also the last will) or "error" (the node's
// driver or scenario cannot be used; reason says why). session is new on
// every run of a publisher, so a second publisher under the same node name
// is told apart from the owner; seen is renewed every heartbeatSec while the
// publisher runs. Times are UTC.
#pragma once

#include <chrono>
#include <optional>
#include <string>

// How often a publisher renews its status to show the node lives.
constexpr std::chrono::seconds kNodeHeartbeat{30};

struct NodeStatus {
    std::string state;
    std::string session;
    std::string version;
    std::string started;
    std::string seen;
    int heartbeatSec = 0;
    std::string reason; // "" but for state error
};

// The document, compact, as published.
std::string nodeStatusDocument(const NodeStatus& status);

// None for a payload that is no such document. The bare "online" and
// "offline" of earlier publishers read as a status without a session.
std::optional<NodeStatus> parseNodeStatus(const std::string& payload);

// "2026-12-10T03:05:00Z"; parseUtcTime takes only that form.
std::string utcTimeText(std::chrono::system_clock::time_point time);
std::optional<std::chrono::system_clock::time_point> parseUtcTime(const std::string& text);

// Sixteen random hexadecimal digits.
std::string newSessionId();

// Whether a publisher holds the node now: its state is online or error and
// its last heartbeat is no older than three periods (a publisher whose
// broker connection ended without its will, or whose clock runs wrong,
// stays live no longer than that). An earlier publisher's bare "online"
// without heartbeat is live.
bool nodeIsLive(const NodeStatus& status, std::chrono::system_clock::time_point now);
