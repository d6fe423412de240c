// What publish keeps of its node and puts on the broker: the status, the
// documents of the items and the events. The main thread follows the expert
// and the heartbeat; the network thread claims the node on each connection
// and publishes the whole picture again. Every publication happens under
// one lock, so the broker receives them in the order the picture changed.
//
// On each connection, before it publishes anything, the publisher reads the
// node's retained status and items: it subscribes to them and to a topic of
// its own session, and sends itself a message there, which the broker
// delivers after what it retained. Then it claims the node (see NodeClaim.h)
// or ends. Items the broker holds that the node does not have are cleared
// only once the driver's inventory has settled, so a restart blanks nothing.
// After the settled picture it sends the message again: when that comes
// back, the broker holds the picture (publish is then ready).
#pragma once

#include "cli/StopSignals.h"
#include "mqtt/NodeStatus.h"

#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>

class MqttClient;

class NodePublisher {
public:
    // status holds the session, version, start time and heartbeat period;
    // wakeup is woken when the publisher must end.
    NodePublisher(std::string prefix, std::string node, NodeStatus status,
                  const WakeupPipe& wakeup);

    // Before the client starts.
    void publishTo(MqttClient& client) { m_client = &client; }

    // The last will to give the client: this session's offline status.
    std::string willDocument() const;

    // Main thread: the driver's settled inventory, item name to document.
    // From now on the items the node does not have are cleared; the state is
    // online.
    void settle(std::map<std::string, std::string> documents);
    void setItem(const std::string& name, const std::string& document);
    void removeItem(const std::string& name);
    void publishEvent(const std::string& line);
    // The driver or scenario cannot be used: state error, items kept.
    void setError(const std::string& reason);
    void heartbeat();
    void goOffline();
    // Why the program must end (another publisher holds the node, the broker
    // refuses for good), once it must.
    std::optional<std::string> ending() const;
    void endWith(const std::string& sentence);
    // Whether the node was claimed and the broker holds its settled picture.
    bool published() const;

    // Network thread.
    void connected();
    void heard(const std::string& topic, const std::string& payload);

private:
    void claim();            // under m_lock
    void publishStatus();    // under m_lock, when claimed
    void publishWholeNode(); // under m_lock, when claimed
    void publishItem(const std::string& name, const std::string& document); // under m_lock

    MqttClient* m_client = nullptr;
    const std::string m_prefix;
    const std::string m_node;
    const std::string m_statusTopic;
    const std::string m_markerTopic;
    const WakeupPipe& m_wakeup;

    mutable std::mutex m_lock;
    NodeStatus m_status;
    bool m_claimed = false; // on this connection
    bool m_settled = false;
    bool m_delivered = false; // the settled picture's marker came back on this connection
    std::optional<NodeStatus> m_retainedStatus;     // another session's, read before the claim
    std::set<std::string> m_retainedItems;          // the node's item names the broker holds
    std::map<std::string, std::string> m_documents; // compact JSON, by item name
    std::optional<std::string> m_ending;
};
