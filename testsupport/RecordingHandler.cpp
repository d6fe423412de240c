#include "RecordingHandler.h"

#include "HostEnumerations.h"

#include <algorithm>

int32_t RecordingHandler::OnItemsChanged(IoxSysExpert2*, oxSysItemChangeKind change,
                                         IoxSysEnumStringList* names) {
    if (onCall) {
        onCall();
    }
    Notification notification{change, namesIn(names)};
    {
        std::lock_guard<std::mutex> hold(m_mutex);
        m_notifications.push_back(std::move(notification));
    }
    m_arrived.notify_all();
    return 0;
}

bool RecordingHandler::waitFor(size_t count, std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> hold(m_mutex);
    return m_arrived.wait_for(hold, timeout, [&] { return m_notifications.size() >= count; });
}

bool RecordingHandler::waitFor(oxSysItemChangeKind kind, const std::string& name,
                               std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> hold(m_mutex);
    return m_arrived.wait_for(hold, timeout, [&] {
        return std::any_of(
            m_notifications.begin(), m_notifications.end(), [&](const Notification& notification) {
                return notification.kind == kind &&
                       std::find(notification.names.begin(), notification.names.end(), name) !=
                           notification.names.end();
            });
    });
}

std::vector<Notification> RecordingHandler::notifications() {
    std::lock_guard<std::mutex> hold(m_mutex);
    return m_notifications;
}

size_t RecordingHandler::count() {
    std::lock_guard<std::mutex> hold(m_mutex);
    return m_notifications.size();
}
