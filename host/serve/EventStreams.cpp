#include "serve/EventStreams.h"

#include "mqtt/NodeStatus.h"
#include "serve/JsonAnswer.h"

#include <memory>

namespace {

// The number in "RUN-N" when RUN is this server's run; none for an id
// of another run (a client that was here before a restart) or no id at all.
std::optional<uint64_t> eventNumber(const std::string& text, const std::string& run) {
    if (text.compare(0, run.size() + 1, run + "-") != 0) {
        return std::nullopt;
    }
    const std::string number = text.substr(run.size() + 1);
    if (number.empty() || number.size() > 19 ||
        number.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    return std::stoull(number);
}

bool send(httplib::DataSink& sink, const std::string& text) {
    return sink.write(text.data(), text.size());
}

} // namespace

EventStreams::EventStreams(LivePicture& picture, size_t limit, std::chrono::seconds keepalive)
    : m_picture(picture), m_limit(limit), m_keepalive(keepalive), m_run(newSessionId()) {}

std::string EventStreams::eventText(uint64_t id, const std::string& data) const {
    return "id: " + m_run + "-" + std::to_string(id) + "\ndata: " + data + "\n\n";
}

bool EventStreams::reserve() {
    size_t open = m_open.load();
    do {
        if (open >= m_limit) {
            return false;
        }
    } while (!m_open.compare_exchange_weak(open, open + 1));
    return true;
}

void EventStreams::answer(const httplib::Request& request, httplib::Response& response) {
    if (!reserve()) {
        answerError(response, 503,
                    "At most " + std::to_string(m_limit) +
                        " event streams are served at once; try again later.");
        return;
    }
    auto position = std::make_shared<Position>();
    position->resumeAfter = eventNumber(request.get_header_value("Last-Event-ID"), m_run);
    response.set_header("Cache-Control", "no-store");
    response.set_chunked_content_provider(
        "text/event-stream",
        [this, position](size_t, httplib::DataSink& sink) { return pump(*position, sink); },
        [this](bool) { --m_open; });
}

bool EventStreams::pump(Position& position, httplib::DataSink& sink) {
    EventFeed& feed = m_picture.feed();
    if (!position.started) {
        position.started = true;
        if (!position.resumeAfter || !feed.holdsAfter(*position.resumeAfter)) {
            return sendPresent(position, sink);
        }
        position.lastId = *position.resumeAfter;
    }
    std::vector<FedEvent> events;
    switch (
        feed.waitAfter(position.lastId, std::chrono::steady_clock::now() + m_keepalive, events)) {
    case EventFeed::Outcome::Events: {
        std::string text;
        for (const FedEvent& event : events) {
            text += eventText(event.id, event.data);
        }
        position.lastId = events.back().id;
        return send(sink, text);
    }
    case EventFeed::Outcome::Behind:
        return sendPresent(position, sink);
    case EventFeed::Outcome::Timeout:
        return send(sink, ": keepalive\n\n");
    case EventFeed::Outcome::Stopped:
        break;
    }
    return false;
}

bool EventStreams::sendPresent(Position& position, httplib::DataSink& sink) {
    const auto [line, lastId] = m_picture.present();
    position.lastId = lastId;
    return send(sink, eventText(lastId, line));
}
