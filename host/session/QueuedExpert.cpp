#include "session/QueuedExpert.h"

#include "cli/HostError.h"
#include "cli/StopSignals.h"
#include "session/ScenarioProblem.h"

QueuedExpert::QueuedExpert(ModuleLoader& loader, HandoverQueue<Notification>& queue)
    : handler(NotificationHandler::create(
          [&queue](Notification&& notification) { queue.push(std::move(notification)); })),
      expert(loader, handler.get()) {
    StopSignalsHeldBack heldBack; // the refresh thread never takes a stop signal
    expert.initialize();
}

std::unique_ptr<QueuedExpert> startQueuedExpert(ModuleLoader& loader,
                                                HandoverQueue<Notification>& queue) {
    const std::string problem = scenarioProblem(loader);
    if (!problem.empty()) {
        throw HostError("Cannot use the scenario " + problem + ".");
    }
    return std::make_unique<QueuedExpert>(loader, queue);
}
