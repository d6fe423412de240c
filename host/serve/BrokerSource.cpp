#include "serve/BrokerSource.h"

#include "cli/HostError.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr std::chrono::milliseconds kQuietPeriod{500};
// A live fleet never falls quiet: its heartbeats keep coming. Only a topic
// not heard yet since the subscription starts the quiet period again, and
// settling ends this long after the subscription at the latest.
constexpr std::chrono::seconds kSettlingLimit{5};

} // namespace

BrokerSource::BrokerSource(const BrokerSettings& settings, const std::string& prefix,
                           LivePicture& picture, const WakeupPipe& wakeup)
    : m_picture(picture), m_subscription(settings, prefix, true, wakeup) {
    m_subscription.start();
}

std::optional<std::chrono::steady_clock::time_point>
BrokerSource::turn(std::chrono::steady_clock::time_point now) {
    for (FleetEvent& event : m_subscription.takeAll()) {
        switch (event.kind) {
        case FleetEvent::Kind::Subscribed:
            m_connected = true;
            m_settling = true;
            m_lastHeard = now;
            m_settlingEnd = now + kSettlingLimit;
            m_heard.clear();
            break;
        case FleetEvent::Kind::Trouble:
            m_connected = false;
            std::fprintf(stderr, "camexpert: %s; trying again.\n", event.text.c_str());
            break;
        case FleetEvent::Kind::Refused:
            m_connected = false;
            throw HostError(event.text + ".");
        case FleetEvent::Kind::Ignored: // told by takeAll
            break;
        case FleetEvent::Kind::Message:
            if (m_picture.apply(event.topic, event.text) == FleetUpdate::Malformed) {
                std::fprintf(stderr, "camexpert: %s\n",
                             ignoredMessageSentence(event.topic).c_str());
                break;
            }
            if (event.text.empty()) {
                m_retained.erase(event.topic);
            } else {
                m_retained.insert(event.topic);
            }
            if (m_settling && m_heard.insert(event.topic).second) {
                m_lastHeard = now; // the quiet period starts again
            }
            break;
        }
    }
    const auto settled = std::min(m_lastHeard + kQuietPeriod, m_settlingEnd);
    if (m_settling && now >= settled) {
        m_settling = false;
        sweep();
        if (!m_whole) {
            m_picture.pictureWhole();
        }
        m_whole = true;
    }
    return m_settling ? std::optional(settled) : std::nullopt;
}

void BrokerSource::sweep() {
    std::set<std::string> cleared;
    for (const std::string& topic : m_retained) {
        if (m_heard.count(topic) == 0) {
            cleared.insert(topic);
        }
    }
    for (const std::string& topic : cleared) {
        m_picture.apply(topic, "");
        m_retained.erase(topic);
    }
    m_heard.clear();
}
