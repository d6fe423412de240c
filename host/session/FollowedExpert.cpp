#include "session/FollowedExpert.h"

#include <csignal>
#include <utility>

FollowedExpert::FollowedExpert(ModuleLoader& loader)
    : handler(NotificationHandler::create(
          [this](Notification&& notification) { queue.push(std::move(notification)); })),
      expert(loader, handler.get()) {
    // A closed output or a broker that hangs up is a write that fails, which
    // the loop handles; not the end of the program.
    std::signal(SIGPIPE, SIG_IGN);
    StopSignalsHeldBack heldBack; // the refresh thread never takes a stop signal
    expert.initialize();
}
