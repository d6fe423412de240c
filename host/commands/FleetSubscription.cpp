#include "commands/FleetSubscription.h"

#include "mqtt/MqttTopics.h"
#include "mqtt/SummaryReader.h"
#include "present/TerminalText.h"

#include <cstdio>
#include <optional>
#include <string>

namespace {

constexpr size_t kPayloadLimit = 1 << 20;
constexpr int kDepthLimit = 64;

// Why the payload is not read, or none: a cheap pass that counts the nesting
// outside strings, so that nothing deeper than the limit reaches a parser.
std::optional<std::string> refusal(const std::string& payload) {
    if (payload.size() > kPayloadLimit) {
        return "it is larger than 1 MiB";
    }
    int depth = 0;
    bool inString = false;
    bool escaped = false;
    for (const char c : payload) {
        if (inString) {
            inString = escaped || c != '"';
            escaped = !escaped && c == '\\';
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > kDepthLimit) {
                return "it nests deeper than " + std::to_string(kDepthLimit) + " levels";
            }
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return std::nullopt;
}

} // namespace

FleetSubscription::FleetSubscription(const BrokerSettings& settings, const std::string& prefix,
                                     bool withProperties, const WakeupPipe& wakeup)
    : m_prefix(prefix), m_queue(wakeup),
      m_client(settings, std::nullopt, callbacks(withProperties)) {}

MqttClient::Callbacks FleetSubscription::callbacks(bool withProperties) {
    MqttClient::Callbacks callbacks;
    callbacks.connected = [this] {
        m_client.subscribe({everyStatusFilter(m_prefix), everyItemFilter(m_prefix)});
    };
    callbacks.subscribed = [this] { m_queue.push({FleetEvent::Kind::Subscribed, "", ""}); };
    callbacks.message = [this, withProperties](const std::string& topic,
                                               const std::string& payload) {
        if (const std::optional<std::string> why = refusal(payload)) {
            m_queue.push({FleetEvent::Kind::Ignored, topic, *why});
            return;
        }
        // An item's properties are most of its message, and fleet shows none.
        const std::optional<TopicAddress> address = parseTopic(m_prefix, topic);
        const bool item = address && address->kind == TopicAddress::Kind::Item;
        m_queue.push(
            {FleetEvent::Kind::Message, topic,
             item && !payload.empty() && !withProperties ? summaryPayload(payload) : payload});
    };
    callbacks.trouble = [this](const std::string& sentence) {
        m_queue.push({FleetEvent::Kind::Trouble, "", sentence});
    };
    callbacks.refused = [this](const std::string& sentence) {
        m_queue.push({FleetEvent::Kind::Refused, "", sentence});
    };
    return callbacks;
}

std::deque<FleetEvent> FleetSubscription::takeAll() {
    std::deque<FleetEvent> events = m_queue.takeAll();
    for (auto event = events.begin(); event != events.end();) {
        if (event->kind == FleetEvent::Kind::Ignored) {
            std::fprintf(stderr, "camexpert: %s\n",
                         ignoredMessageSentence(event->topic, event->text).c_str());
            event = events.erase(event);
        } else {
            ++event;
        }
    }
    return events;
}

void FleetSubscription::tellConnection(const FleetEvent& event) {
    if (event.kind == FleetEvent::Kind::Trouble) {
        std::fprintf(stderr, "camexpert: %s; trying again.\n", event.text.c_str());
        m_troubled = true;
    } else if (event.kind == FleetEvent::Kind::Subscribed && m_troubled) {
        std::fprintf(stderr, "camexpert: Reconnected to the MQTT broker at %s.\n",
                     brokerText().c_str());
        m_troubled = false;
    }
}

void FleetSubscription::start() {
    StopSignalsHeldBack heldBack; // the network thread never takes a stop signal
    m_client.start();
}

std::string ignoredMessageSentence(const std::string& topic, const std::string& why) {
    return "ignoring the message on " + terminalSafe(topic) + ": " + why + ".";
}
