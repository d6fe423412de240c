#include "serve/EventFeed.h"

void EventFeed::publish(std::string data) {
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_bytes += data.size();
        m_events.push_back({++m_lastId, std::move(data)});
        while (m_events.size() > 1 && (m_events.size() > m_backlog || m_bytes > m_backlogBytes)) {
            m_bytes -= m_events.front().data.size();
            m_events.pop_front();
        }
    }
    m_changed.notify_all();
}

uint64_t EventFeed::lastId() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_lastId;
}

bool EventFeed::holdsAfter(uint64_t id) const {
    std::lock_guard<std::mutex> hold(m_lock);
    return holdsAfterLocked(id);
}

bool EventFeed::holdsAfterLocked(uint64_t id) const {
    if (id > m_lastId) {
        return false; // a number this server never gave
    }
    return id == m_lastId || (!m_events.empty() && m_events.front().id <= id + 1);
}

EventFeed::Outcome EventFeed::waitAfter(uint64_t id, std::chrono::steady_clock::time_point deadline,
                                        std::vector<FedEvent>& events) const {
    std::unique_lock<std::mutex> hold(m_lock);
    if (!m_changed.wait_until(hold, deadline, [&] { return m_stopped || m_lastId > id; })) {
        return Outcome::Timeout;
    }
    if (m_stopped) {
        return Outcome::Stopped;
    }
    if (!holdsAfterLocked(id)) {
        return Outcome::Behind;
    }
    events.clear();
    for (auto event = m_events.begin() + ptrdiff_t(m_events.size() - (m_lastId - id));
         event != m_events.end(); ++event) {
        events.push_back(*event);
    }
    return Outcome::Events;
}

void EventFeed::stop() {
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_stopped = true;
    }
    m_changed.notify_all();
}
