// The subscription of fleet and serve: on every connection to the broker,
// the status and the items of every node under the prefix; what the network
// thread receives waits in a queue for the main loop, which sleeps on a
// wakeup pipe.
#pragma once

#include "cli/StopSignals.h"
#include "mqtt/MqttClient.h"
#include "session/HandoverQueue.h"

#include <deque>
#include <string>

struct FleetEvent {
    enum class Kind { Subscribed, Message, Trouble, Refused };
    Kind kind = Kind::Message;
    std::string topic;
    std::string text; // the payload, or the trouble's sentence
};

class FleetSubscription {
public:
    // Item messages are kept whole with properties, else as their summary
    // alone (summaryPayload), which is all fleet shows. Throws HostError when
    // the settings cannot be used. Nothing is connected before start.
    FleetSubscription(const BrokerSettings& settings, const std::string& prefix,
                      bool withProperties, const WakeupPipe& wakeup);

    // Starts the network thread, which never takes a stop signal.
    void start();

    std::deque<FleetEvent> takeAll() { return m_queue.takeAll(); }

    const std::string& brokerText() const { return m_client.brokerText(); }

    void stop() { m_client.stop(); }

private:
    MqttClient::Callbacks callbacks(bool withProperties);

    const std::string m_prefix;
    HandoverQueue<FleetEvent> m_queue;
    MqttClient m_client; // last: its thread ends before the queue goes
};

// "ignoring the message on TOPIC: it is no status or item document.", the
// topic made safe for a terminal.
std::string ignoredMessageSentence(const std::string& topic);
