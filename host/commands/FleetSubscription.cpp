#include "commands/FleetSubscription.h"

#include "mqtt/MqttTopics.h"
#include "mqtt/SummaryReader.h"
#include "present/TerminalText.h"

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

void FleetSubscription::start() {
    StopSignalsHeldBack heldBack; // the network thread never takes a stop signal
    m_client.start();
}

std::string ignoredMessageSentence(const std::string& topic) {
    return "ignoring the message on " + terminalSafe(topic) + ": it is no status or item document.";
}
