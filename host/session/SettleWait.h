// Gives a driver that discovers its devices slowly time to report them before
// a one-shot command (list, show, validate) reads the inventory: the command
// waits until the expert's first notification, or until the time is up.
#pragma once

#include "session/NotificationHandler.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

class SettleWait {
public:
    // The sink to give the command's notification handler; this object must
    // outlive the handler's registration.
    NotificationSink sink() {
        return [this](Notification&&) {
            {
                std::lock_guard<std::mutex> hold(m_mutex);
                m_reported = true;
            }
            m_reportedChanged.notify_all();
        };
    }

    // Returns at the first notification, or after limit (at once for 0);
    // true when a notification came.
    bool wait(std::chrono::milliseconds limit) {
        std::unique_lock<std::mutex> hold(m_mutex);
        return m_reportedChanged.wait_for(hold, limit, [this] { return m_reported; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_reportedChanged;
    bool m_reported = false;
};
