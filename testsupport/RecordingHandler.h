// A notification handler that records every notification; tests wait for
// a number of them or for one that names an item.
#pragma once

#include "HostNotificationHandler.h"
#include "Waiting.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

struct Notification {
    oxSysItemChangeKind kind;
    std::vector<std::string> names; // narrow copies (test names are ASCII)
};

class RecordingHandler : public HostNotificationHandler {
public:
    int32_t OnItemsChanged(IoxSysExpert2* expert, oxSysItemChangeKind change,
                           IoxSysEnumStringList* names) override;

    // Waits until at least count notifications arrived; false on timeout.
    bool waitFor(size_t count, std::chrono::milliseconds timeout = kPatience);
    // Waits until a notification of this kind names the item; false on timeout.
    bool waitFor(oxSysItemChangeKind kind, const std::string& name,
                 std::chrono::milliseconds timeout = kPatience);
    std::vector<Notification> notifications();
    size_t count();

    // Called at the start of each OnItemsChanged, on the refresh thread.
    std::function<void()> onCall;

private:
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::vector<Notification> m_notifications;
};
