// The subscription of fleet and serve: on every connection to the broker,
// the status and the items of every node under the prefix; what the network
// thread receives waits in a queue for the main loop, which sleeps on a
// wakeup pipe. A message larger than 1 MiB or nested deeper than 64 levels
// is no document publish writes, and reading it whole would cost memory
// without bound or overflow the stack: it is dropped as it arrives, and told
// in one line when the main loop takes the queue.
#pragma once

#include "cli/StopSignals.h"
#include "mqtt/MqttClient.h"
#include "session/HandoverQueue.h"

#include <deque>
#include <string>

struct FleetEvent {
    enum class Kind { Subscribed, Message, Trouble, Refused, Ignored };
    Kind kind = Kind::Message;
    std::string topic;
    std::string text; // the payload, the trouble's sentence, or why a message is ignored
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

    // What came since the last call; an ignored message is told on stderr
    // here, on the caller's thread, and not returned.
    std::deque<FleetEvent> takeAll();

    // For a caller that rides out trouble: tells on stderr trouble (the
    // client tries again) and the subscription after it.
    void tellConnection(const FleetEvent& event);

    const std::string& brokerText() const { return m_client.brokerText(); }

    void stop() { m_client.stop(); }

private:
    MqttClient::Callbacks callbacks(bool withProperties);

    const std::string m_prefix;
    HandoverQueue<FleetEvent> m_queue;
    bool m_troubled = false; // trouble was told since the last subscription
    MqttClient m_client;     // last: its thread ends before the queue goes
};

// "ignoring the message on TOPIC: it is no status or item document.", the
// topic made safe for a terminal; why names another reason.
std::string ignoredMessageSentence(const std::string& topic,
                                   const std::string& why = "it is no status or item document");
