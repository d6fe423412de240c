// camexpert fleet forget NODE...: clears the retained status and items of
// nodes whose publishers are gone, so fleet lists them no more. It reads what
// the broker holds first, with the marker of NodePublisher.h (a message of
// its own, delivered after the retained ones), and clears nothing when one of
// the nodes is live or unknown.
#include "commands/BrokerCommands.h"

#include "cli/StopSignals.h"
#include "mqtt/MqttClient.h"
#include "mqtt/MqttTopics.h"
#include "mqtt/NodeStatus.h"
#include "present/TerminalText.h"
#include "session/HandoverQueue.h"

#include <cstdio>
#include <map>
#include <set>

namespace {

// How long fleet forget waits for the broker to connect and answer.
constexpr std::chrono::seconds kAnswerLimit{10};

struct Heard {
    enum class Kind { Message, Trouble };
    Kind kind = Kind::Message;
    std::string topic;
    std::string text; // the payload, or the trouble's sentence
};

struct RetainedNode {
    std::optional<NodeStatus> status;
    std::set<std::string> itemTopics;
};

} // namespace

int runFleetForget(const FleetOptions& fleet) {
    const BrokerSettings settings = brokerSettings(fleet.broker);
    const std::string& prefix = fleet.broker.topicPrefix;
    const std::string marker =
        prefix + "/" + escapeTopicLevel(fleet.forget.front()) + "/session/forget-" + newSessionId();

    WakeupPipe wakeup;
    HandoverQueue<Heard> queue(wakeup);
    StopSignals stop(wakeup);
    MqttClient* subscriber = nullptr; // set before the client starts
    MqttClient::Callbacks callbacks;
    callbacks.connected = [&] {
        std::vector<std::string> filters{marker};
        for (const std::string& node : fleet.forget) {
            filters.push_back(statusTopic(prefix, node));
            filters.push_back(nodeItemFilter(prefix, node));
        }
        subscriber->subscribe(filters);
        subscriber->publish(marker, "", false);
    };
    callbacks.message = [&queue](const std::string& topic, const std::string& payload) {
        queue.push({Heard::Kind::Message, topic, payload});
    };
    callbacks.trouble = [&queue](const std::string& sentence) {
        queue.push({Heard::Kind::Trouble, "", sentence});
    };
    callbacks.refused = callbacks.trouble;
    MqttClient client(settings, std::nullopt, callbacks);
    subscriber = &client;
    {
        StopSignalsHeldBack heldBack; // the network thread never takes a stop signal
        client.start();
    }

    std::map<std::string, RetainedNode> retained;
    const auto deadline = std::chrono::steady_clock::now() + kAnswerLimit;
    bool answered = false;
    while (!answered && !stop.requested()) {
        for (Heard& heard : queue.takeAll()) {
            if (heard.kind == Heard::Kind::Trouble) {
                throw HostError(heard.text + ".");
            }
            if (heard.topic == marker) {
                answered = true;
                continue;
            }
            const std::optional<TopicAddress> address = parseTopic(prefix, heard.topic);
            if (!address || heard.text.empty()) {
                continue;
            }
            if (address->kind == TopicAddress::Kind::Status) {
                retained[address->node].status = parseNodeStatus(heard.text);
            } else {
                retained[address->node].itemTopics.insert(heard.topic);
            }
        }
        if (!answered && std::chrono::steady_clock::now() >= deadline) {
            throw HostError("No answer from the MQTT broker at " + client.brokerText() + " in " +
                            std::to_string(kAnswerLimit.count()) + " s.");
        }
        if (!answered && !stop.requested()) {
            wakeup.wait(deadline);
        }
    }
    if (!answered) {
        return kExitSuccess; // stopped before anything was cleared
    }

    const auto now = std::chrono::system_clock::now();
    for (const std::string& node : fleet.forget) {
        const auto found = retained.find(node);
        if (found == retained.end()) {
            throw HostError("The MQTT broker at " + client.brokerText() +
                            " holds nothing of node '" + node + "' under " + prefix +
                            "; nothing was forgotten.");
        }
        const std::optional<NodeStatus>& status = found->second.status;
        if (status && nodeIsLive(*status, now)) {
            throw HostError("The node '" + node + "' is live (" + status->state +
                            (status->seen.empty() ? "" : ", last seen " + status->seen) +
                            "): stop its publisher first; nothing was forgotten.");
        }
    }
    for (const std::string& node : fleet.forget) {
        const RetainedNode& known = retained[node];
        if (known.status) {
            client.publish(statusTopic(prefix, node), "", true);
        }
        for (const std::string& topic : known.itemTopics) {
            client.publish(topic, "", true);
        }
    }
    // The marker again: once it is back, the broker has handled every clear
    // before it, and the client may hang up.
    client.publish(marker, "", false);
    bool cleared = false;
    while (!cleared && !stop.requested()) {
        for (Heard& heard : queue.takeAll()) {
            if (heard.kind == Heard::Kind::Trouble) {
                throw HostError(heard.text + ".");
            }
            cleared = cleared || heard.topic == marker;
        }
        if (!cleared && !stop.requested()) {
            wakeup.wait(std::nullopt);
        }
    }
    for (const std::string& node : fleet.forget) {
        const size_t items = retained[node].itemTopics.size();
        std::printf("Forgot node '%s' and its %zu item%s.\n", terminalSafe(node).c_str(), items,
                    items == 1 ? "" : "s");
    }
    client.stop();
    return kExitSuccess;
}
