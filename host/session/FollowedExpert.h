// An initialized expert whose notifications wait in a queue for the main
// loop, which sleeps on a wakeup pipe until a notification or a stop signal
// comes. watch and publish are such loops.
#pragma once

#include "cli/StopSignals.h"
#include "session/ExpertSession.h"
#include "session/HandoverQueue.h"
#include "session/ModuleLoader.h"
#include "session/NotificationHandler.h"

#include "contract/ComRef.h"

class FollowedExpert {
public:
    // Creates, registers and initializes the expert. Throws HostError.
    explicit FollowedExpert(ModuleLoader& loader);

    // Declared in the order they must be made; destroyed in the reverse: the
    // stop signals first, then the expert (finalized, released), and the
    // queue only after no thread can push into it.
    WakeupPipe wakeup;
    HandoverQueue<Notification> queue{wakeup};
    ComRef<NotificationHandler> handler;
    ExpertSession expert;
    StopSignals stop{wakeup};
};
