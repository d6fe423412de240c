// camexpert publish: the node's status, one retained document per item and
// every notification, on an MQTT broker (NodePublisher.h). The main thread
// starts the expert, and starts it again while its driver or scenario cannot
// be used; it follows the notifications and keeps the heartbeat.
#include "commands/BrokerCommands.h"

#include "cli/StopSignals.h"
#include "commands/NodeName.h"
#include "commands/ServiceNotifier.h"
#include "commands/WatchReport.h"
#include "mqtt/MqttClient.h"
#include "mqtt/MqttTopics.h"
#include "mqtt/NodePublisher.h"
#include "present/ItemDocument.h"
#include "present/JsonOutput.h"
#include "session/ExpertSession.h"
#include "session/HandoverQueue.h"
#include "session/NotificationHandler.h"
#include "session/PresentItems.h"
#include "session/QueuedExpert.h"

#include "contract/ComRef.h"
#include "contract/Version.h"

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
    HandoverQueue<Notification> queue(wakeup);
    StopSignals stop(wakeup);
    std::signal(SIGPIPE, SIG_IGN); // a broker that hangs up is reconnected

    const auto started = std::chrono::system_clock::now();
    NodeStatus status;
    status.state = "online";
    status.session = newSessionId();
    status.version = KR_VERSION_TEXT;
    status.started = utcTimeText(started);
    status.seen = status.started;
    status.heartbeatSec = int(kNodeHeartbeat.count());
    // The node outlives the client, whose network thread calls it.
    NodePublisher node(prefix, nodeName, status, wakeup);

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
    std::unique_ptr<QueuedExpert> published;
    bool settled = false;
    auto now = std::chrono::steady_clock::now();
    auto settleDeadline = now;
    auto startAt = now; // of the expert, while none runs
    auto nextHeartbeat = now + kNodeHeartbeat;
    while (!stop.requested() && !node.ending()) {
        now = std::chrono::steady_clock::now();
        if (!published && now >= startAt) {
            try {
                published = startQueuedExpert(loader, queue);
                settled = false;
                settleDeadline = now + loader.settleTime();
            } catch (const HostError& error) {
                node.setError(error.what());
                startAt = now + kExpertRetry;
            }
        }
        std::deque<Notification> notifications = queue.takeAll();
        // The driver's first report, or its settle time, ends the search for
        // the devices there are: only then is the broker's picture replaced.
        if (published && !settled && (!notifications.empty() || now >= settleDeadline)) {
            const std::vector<ItemPicture> present = presentItems(published->expert);
            report.present(std::chrono::system_clock::now(), present);
            std::map<std::string, std::string> documents;
            for (const ItemPicture& item : present) {
                documents[item.name] = itemDocumentText(item.name, item.properties);
            }
            node.settle(std::move(documents));
            settled = true;
        }
        for (Notification& notification : notifications) {
            if (!settled) {
                continue; // the present items tell it
            }
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
        if (!published) {
            wakeAt = std::min(wakeAt, startAt);
        }
        if (published && !settled) {
            wakeAt = std::min(wakeAt, settleDeadline);
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
    if (published) {
        published->expert.finalize();
    }
    return kExitSuccess;
}
