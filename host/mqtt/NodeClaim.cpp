#include "mqtt/NodeClaim.h"

#include <tuple>

bool heldByAnother(const std::optional<NodeStatus>& retained, const std::string& session,
                   std::chrono::system_clock::time_point now) {
    return retained && retained->session != session && nodeIsLive(*retained, now);
}

bool keepsNodeAgainst(const NodeStatus& mine, const NodeStatus& other) {
    // The times compare as text: both are in the one UTC form.
    return std::tie(mine.started, mine.session) < std::tie(other.started, other.session);
}

std::string heldNodeSentence(const std::string& node, const NodeStatus& holder) {
    std::string who = "another camexpert";
    if (!holder.session.empty()) {
        who += " (session " + holder.session + ")";
    }
    std::string since;
    if (!holder.started.empty()) {
        since = " since " + holder.started;
    }
    if (!holder.seen.empty()) {
        since += ", last seen " + holder.seen;
    }
    return "The node '" + node + "' is published by " + who + since +
           "; give this controller a name of its own with --node NAME.";
}
