// camexpert publish: the node's status, one retained document per item and
// every notification, on an MQTT broker. The items are kept here as the
// broker should hold them, and published whole each time the connection is
// made, so that the broker's retained picture comes back to the truth after
// it went away, or after this program did.
#include "commands/BrokerCommands.h"

#include "cli/StopSignals.h"
#include "commands/WatchReport.h"
#include "mqtt/MqttClient.h"
#include "mqtt/MqttTopics.h"
#include "present/ItemDocument.h"
#include "present/JsonOutput.h"
#include "session/FollowedExpert.h"
#include "session/NotificationHandler.h"
#include "session/PresentItems.h"

#include <limits.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <mutex>

namespace {

constexpr const char* kOnline = "online";
constexpr const char* kOffline = "offline";

std::string hostName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') {
        throw UsageError("The host name cannot be read: --node NAME gives the name to publish "
                         "under.");
    }
    return name;
}

// The documents of the node's items, shared by the main thread, which
// follows the expert, and the network thread, which publishes them all on
// each connection. Every publication happens under the lock, so the broker
// receives them in the order the picture changed.
class NodePicture {
public:
    NodePicture(std::string prefix, std::string node)
        : m_prefix(std::move(prefix)), m_node(std::move(node)) {}

    // Before the client starts.
    void publishTo(MqttClient& client) { m_client = &client; }

    void setItem(const std::string& name, const std::string& document) {
        std::lock_guard<std::mutex> hold(m_lock);
        std::string& known = m_documents[name];
        if (known != document) {
            known = document;
            m_client->publish(itemTopic(m_prefix, m_node, name), document, true);
        }
    }

    void removeItem(const std::string& name) {
        std::lock_guard<std::mutex> hold(m_lock);
        if (m_documents.erase(name) != 0) {
            m_client->publish(itemTopic(m_prefix, m_node, name), "", true);
        }
    }

    void publishEvent(const std::string& line) {
        std::lock_guard<std::mutex> hold(m_lock);
        m_client->publish(eventsTopic(m_prefix, m_node), line, false);
    }

    // Network thread, on each connection: the whole picture, then reading
    // back the node's items the broker holds, to clear those it should not.
    void connected() {
        std::lock_guard<std::mutex> hold(m_lock);
        m_client->publish(statusTopic(m_prefix, m_node), kOnline, true);
        for (const auto& [name, document] : m_documents) {
            m_client->publish(itemTopic(m_prefix, m_node, name), document, true);
        }
        m_client->subscribe({nodeItemFilter(m_prefix, m_node)});
    }

    // Network thread: an item of this node that the broker holds or that was
    // just published. One that the node no longer has (removed while the
    // broker was away, or before this program started) is cleared.
    void heardItem(const std::string& topic, const std::string& payload) {
        const std::optional<TopicAddress> address = parseTopic(m_prefix, topic);
        if (payload.empty() || !address || address->kind != TopicAddress::Kind::Item) {
            return;
        }
        std::lock_guard<std::mutex> hold(m_lock);
        if (m_documents.count(address->item) == 0) {
            m_client->publish(topic, "", true);
        }
    }

    void goOffline() {
        std::lock_guard<std::mutex> hold(m_lock);
        m_client->publish(statusTopic(m_prefix, m_node), kOffline, true);
    }

private:
    MqttClient* m_client = nullptr;
    const std::string m_prefix;
    const std::string m_node;
    std::mutex m_lock;
    std::map<std::string, std::string> m_documents; // compact JSON, by item name
};

std::string documentText(const ItemPicture& item) {
    return jsonText(itemDocument(item.name, item.properties), true);
}

// An item whose properties could not be read keeps the document it had; it
// is published once a later notification reads them.
void follow(NodePicture& picture, const Notification& notification) {
    for (const ItemPicture& item : notification.items) {
        if (notification.change == oxSysItemChangeKind_Removed) {
            picture.removeItem(item.name);
        } else if (item.status == 0) {
            picture.setItem(item.name, documentText(item));
        }
    }
}

} // namespace

int runPublish(ModuleLoader& loader, const PublishOptions& publish) {
    const BrokerSettings settings = brokerSettings(publish.broker);
    const std::string& prefix = publish.broker.topicPrefix;
    const std::string node = publish.node.empty() ? hostName() : publish.node;

    FollowedExpert followed(loader); // a broker that hangs up is reconnected
    ExpertSession& expert = followed.expert;

    // The picture outlives the client, whose network thread calls it.
    NodePicture picture(prefix, node);
    MqttClient::Callbacks callbacks;
    callbacks.connected = [&picture] { picture.connected(); };
    callbacks.message = [&picture](const std::string& topic, const std::string& payload) {
        picture.heardItem(topic, payload);
    };
    callbacks.trouble = [](const std::string& sentence) {
        std::fprintf(stderr, "camexpert: %s; trying again.\n", sentence.c_str());
    };
    MqttClient client(settings, LastWill{statusTopic(prefix, node), kOffline}, callbacks);
    picture.publishTo(client);

    // The report keeps the last picture of every item, to tell what changed;
    // the event topic carries the notifications after the present items.
    WatchReport report(true);
    const std::vector<ItemPicture> present = presentItems(expert);
    report.present(std::chrono::system_clock::now(), present);
    for (const ItemPicture& item : present) {
        picture.setItem(item.name, documentText(item));
    }
    {
        StopSignalsHeldBack heldBack; // the network thread never takes a stop signal
        client.start();
    }
    if (isatty(STDERR_FILENO)) {
        std::fprintf(stderr, "Publishing to %s under %s/%s; Ctrl-C stops.\n",
                     client.brokerText().c_str(), prefix.c_str(), escapeTopicLevel(node).c_str());
    }

    while (!followed.stop.requested()) {
        for (Notification& notification : followed.queue.takeAll()) {
            follow(picture, notification);
            std::string line = report.report(notification);
            if (!line.empty()) {
                line.pop_back(); // one message per line, without its newline
                picture.publishEvent(line);
            }
        }
        if (!followed.stop.requested()) {
            followed.wakeup.wait(std::nullopt);
        }
    }
    picture.goOffline();
    client.stop();
    expert.finalize();
    return kExitSuccess;
}
