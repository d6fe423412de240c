#include "commands/ThisNode.h"

#include "cli/HostError.h"

#include "contract/Version.h"

#include <limits.h>
#include <unistd.h>

std::string nodeNameOrHostName(const std::string& given) {
    if (!given.empty()) {
        return given;
    }
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') {
        throw UsageError("The host name cannot be read: --node NAME gives the name to publish "
                         "under.");
    }
    return name;
}

NodeStatus startingNodeStatus() {
    NodeStatus status;
    status.state = "online";
    status.session = newSessionId();
    status.version = KR_VERSION_TEXT;
    status.started = utcTimeText(std::chrono::system_clock::now());
    status.seen = status.started;
    status.heartbeatSec = int(kNodeHeartbeat.count());
    return status;
}
