// An expert whose notifications go into a loop's queue, made anew each time
// its driver is tried: publish and serve keep going while the driver or the
// scenario cannot be used, and try again later.
#pragma once

#include "session/ExpertSession.h"
#include "session/HandoverQueue.h"
#include "session/ModuleLoader.h"
#include "session/NotificationHandler.h"

#include "contract/ComRef.h"

#include <chrono>
#include <memory>

// How soon a driver or scenario that cannot be used is tried again.
constexpr std::chrono::seconds kExpertRetry{5};

struct QueuedExpert {
    // Creates, registers and initializes the expert. Throws HostError.
    QueuedExpert(ModuleLoader& loader, HandoverQueue<Notification>& queue);

    ComRef<NotificationHandler> handler;
    ExpertSession expert;
};

// The expert, once the simulated driver's scenario can be used. Throws
// HostError ("Cannot use the scenario PATH: REASON.") when it cannot, or when
// the expert fails to start.
std::unique_ptr<QueuedExpert> startQueuedExpert(ModuleLoader& loader,
                                                HandoverQueue<Notification>& queue);
