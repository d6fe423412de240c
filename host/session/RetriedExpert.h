// This controller's expert as publish and serve follow it from their main
// loop: started, and started again every few seconds while its driver or
// scenario cannot be used; settled once the driver first reported or its
// settle time passed (see SettleWait), which gives the items there are; then
// each notification. The loop sleeps on the wakeup pipe, which the
// notifications wake.
#pragma once

#include "cli/StopSignals.h"
#include "session/ExpertSession.h"
#include "session/HandoverQueue.h"
#include "session/ModuleLoader.h"
#include "session/NotificationHandler.h"

#include <chrono>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// How soon a driver or scenario that cannot be used is tried again.
constexpr std::chrono::seconds kExpertRetry{5};

class RetriedExpert {
public:
    RetriedExpert(ModuleLoader& loader, const WakeupPipe& wakeup);
    ~RetriedExpert();

    struct Turn {
        std::string problem; // why the expert cannot start now ("" when it can)
        std::optional<std::vector<ItemPicture>> settled; // the items there are, once
        std::deque<Notification> notifications;          // those after it settled
    };

    // What came since the last turn; starts the expert when it is time.
    Turn turn(std::chrono::steady_clock::time_point now);

    // When the next turn is due at the latest (a start again, the end of the
    // settle time); none while only notifications bring news.
    std::optional<std::chrono::steady_clock::time_point> nextTurn() const;

    // Stops the expert's refresh thread.
    void finalize();

private:
    struct Started;

    ModuleLoader& m_loader;
    HandoverQueue<Notification> m_queue;
    std::unique_ptr<Started> m_started;
    bool m_settled = false;
    std::chrono::steady_clock::time_point m_startAt;
    std::chrono::steady_clock::time_point m_settleDeadline;
};
