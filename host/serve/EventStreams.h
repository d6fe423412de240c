// /api/events: Server-Sent Events, one stream per client on an HTTP worker
// thread of its own. A stream starts with the whole picture ("present"), or
// after the client's Last-Event-ID while the backlog still holds what came
// after it; then each event as it comes, and a keepalive comment when
// nothing came for a while. A stream too slow for the backlog gets the whole
// picture again. Streams beyond the limit are refused with 503.
#pragma once

#include "serve/LivePicture.h"

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

class EventStreams {
public:
    EventStreams(LivePicture& picture, size_t limit, std::chrono::seconds keepalive);

    void answer(const httplib::Request& request, httplib::Response& response);

    size_t open() const { return m_open.load(); }

private:
    struct Position {
        std::optional<uint64_t> resumeAfter; // Last-Event-ID
        bool started = false;
        uint64_t lastId = 0; // of the last event the client has
    };

    bool reserve();
    bool pump(Position& position, httplib::DataSink& sink);
    bool sendPresent(Position& position, httplib::DataSink& sink);
    std::string eventText(uint64_t id, const std::string& data) const;

    LivePicture& m_picture;
    const size_t m_limit;
    const std::chrono::seconds m_keepalive;
    // Event ids are "RUN-N": N counts the feed's events, RUN is new with
    // each server, so an id a browser kept from before a restart is not
    // taken for one of this run's.
    const std::string m_run;
    std::atomic<size_t> m_open{0};
};
