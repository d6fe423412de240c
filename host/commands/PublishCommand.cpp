// camexpert publish: the node's status, one retained document per item and
// every notification, on an MQTT broker (NodePublisher.h). The main thread
// starts the expert, and starts it again while its driver or scenario cannot
// be used; it follows the notifications and keeps the heartbeat.
#include "commands/BrokerCommands.h"

#include "cli/StopSignals.h"
#include "commands/ServiceNotifier.h"
#include "commands/ThisNode.h"
#include "commands/WatchReport.h"
#include "mqtt/MqttClient.h"
#include "mqtt/MqttTopics.h"
#include "mqtt/NodePublisher.h"
#include "present/ItemDocument.h"
#include "present/JsonOutput.h"
#include "session/NotificationHandler.h"
#include "session/RetriedExpert.h"

#include <csignal>
#include <cstdio>
#include <map>
#include <memory>

namespace {

// An item whose properties could not be read keeps the document it had; it
// is published once a later notification reads them.
void follow(NodePublisher& node, const Notification& notification) {
    for (const ItemPicture& item : notification.items) {
        if (notification.change == oxSysItemChangeKind_Removed) {
            node.removeItem(item.name);
        } else if (item.status == 0) {
            node.setItem(item.name, itemDocumentText(item.name, item.properties));
        }
    }
}

void logLine(const std::string& sentence) {
    std::fprintf(stderr, "camexpert: %s\n", sentence.c_str());
}

} // namespace

int runPublish(ModuleLoader& loader, const PublishOptions& publish) {
    const BrokerSettings settings = brokerSettings(publish.broker);
    const std::string& prefix = publish.broker.topicPrefix;
    const std::string nodeName = nodeNameOrHostName(publish.node);

    WakeupPipe wakeup;
    StopSignals stop(wakeup);
    std::signal(SIGPIPE, SIG_IGN); // a broker that hangs up is reconnected

    // The node outlives the client, whose network thread calls it.
    NodePublisher node(prefix, nodeName, startingNodeStatus(), wakeup);

    std::string brokerText;
    int connections = 0; // network thread
    MqttClient::Callbacks callbacks;
    callbacks.connected = [&] {
        logLine((connections++ == 0 ? "Connected to" : "Reconnected to") +
                std::string(" the MQTT broker at ") + brokerText + ".");
        node.connected();
    };
    callbacks.message = [&node](const std::string& topic, const std::string& payload) {
        node.heard(topic, payload);
    };
    callbacks.trouble = [](const std::string& sentence) { logLine(sentence + "; trying again."); };
    callbacks.refused = [&node](const std::string& sentence) { node.endWith(sentence + "."); };
    MqttClient client(settings, LastWill{statusTopic(prefix, nodeName), node.willDocument()},
                      callbacks);
    brokerText = client.brokerText();
    node.publishTo(client);
    {
        StopSignalsHeldBack heldBack; // the network thread never takes a stop signal
        client.start();
    }

    // The report keeps the last picture of every item, to tell what changed;
    // the event topic carries the notifications after the settled items.
    WatchReport report(true);
    ServiceNotifier service;
    bool ready = false;
    RetriedExpert expert(loader, wakeup);
    auto nextHeartbeat = std::chrono::steady_clock::now() + kNodeHeartbeat;
    while (!stop.requested() && !node.ending()) {
        const auto now = std::chrono::steady_clock::now();
        RetriedExpert::Turn turn = expert.turn(now);
        if (!turn.problem.empty()) {
            node.setError(turn.problem);
        }
        // Only once the driver settled is the broker's picture replaced.
        if (turn.settled) {
            report.present(std::chrono::system_clock::now(), *turn.settled);
            std::map<std::string, std::string> documents;
            for (const ItemPicture& item : *turn.settled) {
                documents[item.name] = itemDocumentText(item.name, item.properties);
            }
            node.settle(std::move(documents));
        }
        for (Notification& notification : turn.notifications) {
            follow(node, notification);
            std::string line = report.report(notification);
            if (!line.empty()) {
                line.pop_back(); // one message per line, without its newline
                node.publishEvent(line);
            }
        }
        if (now >= nextHeartbeat) {
            node.heartbeat();
            nextHeartbeat = now + kNodeHeartbeat;
        }
        if (!ready && node.published()) {
            service.ready("Publishing node '" + nodeName + "' to " + brokerText);
            ready = true;
        }
        service.alive(); // the loop turns: notifications and heartbeats go out
        auto wakeAt = nextHeartbeat;
        if (const auto nextAlive = service.nextAlive()) {
            wakeAt = std::min(wakeAt, *nextAlive);
        }
        if (const auto nextTurn = expert.nextTurn()) {
            wakeAt = std::min(wakeAt, *nextTurn);
        }
        if (!stop.requested() && !node.ending()) {
            wakeup.wait(wakeAt);
        }
    }
    if (const std::optional<std::string> ending = node.ending()) {
        client.stop();
        throw HostError(*ending);
    }
    service.stopping();
    node.goOffline();
    client.stop();
    expert.finalize();
    return kExitSuccess;
}
