#include "serve/BrokerSource.h"

#include "cli/HostError.h"

#include <cstdio>

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
            m_subscription.tellConnection(event);
            m_connected = true;
            m_settling.begin(now);
            break;
        case FleetEvent::Kind::Trouble:
            m_connected = false;
            m_subscription.tellConnection(event);
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
            if (m_settling.active()) {
                m_settling.heard(event.topic, now);
            }
            break;
        }
    }
    if (m_settling.endsAt(now)) {
        sweep();
        if (!m_whole) {
            m_picture.pictureWhole();
        }
        m_whole = true;
    }
    return m_settling.active() ? std::optional(m_settling.end()) : std::nullopt;
}

void BrokerSource::sweep() {
    std::set<std::string> cleared;
    for (const std::string& topic : m_retained) {
        if (m_settling.topics().count(topic) == 0) {
            cleared.insert(topic);
        }
    }
    for (const std::string& topic : cleared) {
        m_picture.apply(topic, "");
        m_retained.erase(topic);
    }
}
