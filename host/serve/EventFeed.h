// The events of the server, numbered from 1, kept in a bounded backlog for
// the event streams that read them at their own pace. A stream that falls
// behind the backlog, or asks for an event it no longer holds, starts again
// from the whole picture.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

struct FedEvent {
    uint64_t id = 0;
    std::string data; // one line of JSON
};

class EventFeed {
public:
    // Keeps at most backlog events and, beyond the newest, backlogBytes of
    // their text: a few large changes may not hold much memory either.
    explicit EventFeed(size_t backlog, size_t backlogBytes = size_t(32) << 20)
        : m_backlog(backlog), m_backlogBytes(backlogBytes) {}

    // Numbers the event, keeps it and wakes the waiting streams.
    void publish(std::string data);

    // The number of the last event, 0 before the first.
    uint64_t lastId() const;

    // Whether the events after this one are all still held (or to come).
    bool holdsAfter(uint64_t id) const;

    enum class Outcome { Events, Behind, Timeout, Stopped };

    // Waits until there are events after the given one, the deadline passes
    // or the feed stops. Events: they are in events. Behind: some of them are
    // no longer held.
    Outcome waitAfter(uint64_t id, std::chrono::steady_clock::time_point deadline,
                      std::vector<FedEvent>& events) const;

    // Ends every wait, now and later.
    void stop();

private:
    bool holdsAfterLocked(uint64_t id) const;

    const size_t m_backlog;
    const size_t m_backlogBytes;
    size_t m_bytes = 0; // of the events' data held
    mutable std::mutex m_lock;
    mutable std::condition_variable m_changed;
    std::deque<FedEvent> m_events; // the last ones, oldest first
    uint64_t m_lastId = 0;
    bool m_stopped = false;
};
