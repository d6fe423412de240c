// Who may publish a node. A publisher reads the node's retained status
// before it publishes anything: a node that another session holds live is
// left alone, one whose owner died (its will said offline, or its heartbeat
// went stale) is taken. Two publishers that claim the node at the same time
// see each other's status; the one that started first keeps it.
#pragma once

#include "mqtt/NodeStatus.h"

#include <chrono>
#include <optional>
#include <string>

// Whether the retained status is another session's that still lives.
bool heldByAnother(const std::optional<NodeStatus>& retained, const std::string& session,
                   std::chrono::system_clock::time_point now);

// Of two live sessions on one node, whether mine keeps it: the earlier start,
// then the smaller session id.
bool keepsNodeAgainst(const NodeStatus& mine, const NodeStatus& other);

// The sentence a publisher ends with when another holds its node: "The node
// 'cell4' is published by another camexpert (session 6f1c…) since
// 2026-12-10T03:05:00Z, last seen 2026-12-10T03:07:30Z; give this controller
// a name of its own with --node NAME."
std::string heldNodeSentence(const std::string& node, const NodeStatus& holder);
