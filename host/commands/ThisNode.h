// This controller as a node of the fleet, as publish puts it on the broker
// and serve shows it: its name and its status when it starts.
#pragma once

#include "mqtt/NodeStatus.h"

#include <string>

// The name given, or the host name when none was. Throws UsageError when
// the host name cannot be read.
std::string nodeNameOrHostName(const std::string& given);

// The status of a node that starts now: online, a new session, this
// program's version, started and seen now, heartbeats every kNodeHeartbeat.
NodeStatus startingNodeStatus();
