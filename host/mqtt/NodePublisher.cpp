#include "mqtt/NodePublisher.h"

#include "mqtt/MqttClient.h"
#include "mqtt/MqttTopics.h"
#include "mqtt/NodeClaim.h"

NodePublisher::NodePublisher(std::string prefix, std::string node, NodeStatus status,
                             const WakeupPipe& wakeup)
    : m_prefix(std::move(prefix)), m_node(std::move(node)),
      m_statusTopic(statusTopic(m_prefix, m_node)),
      m_markerTopic(m_prefix + "/" + escapeTopicLevel(m_node) + "/session/" + status.session),
      m_wakeup(wakeup), m_status(std::move(status)) {}

std::string NodePublisher::willDocument() const {
    std::lock_guard<std::mutex> hold(m_lock);
    NodeStatus offline = m_status;
    offline.state = "offline";
    offline.reason.clear();
    return nodeStatusDocument(offline);
}

void NodePublisher::settle(std::map<std::string, std::string> documents) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_settled = true;
    m_documents = std::move(documents);
    m_status.state = "online";
    m_status.reason.clear();
    if (m_claimed) {
        publishWholeNode();
    }
}

void NodePublisher::setItem(const std::string& name, const std::string& document) {
    std::lock_guard<std::mutex> hold(m_lock);
    std::string& known = m_documents[name];
    if (known != document) {
        known = document;
        if (m_claimed) {
            publishItem(name, document);
        }
    }
}

void NodePublisher::removeItem(const std::string& name) {
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_documents.erase(name) != 0 && m_claimed) {
        m_client->publish(itemTopic(m_prefix, m_node, name), "", true);
    }
}

void NodePublisher::publishEvent(const std::string& line) {
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_claimed) {
        m_client->publish(eventsTopic(m_prefix, m_node), line, false);
    }
}

void NodePublisher::setError(const std::string& reason) {
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_status.state == "error" && m_status.reason == reason) {
        return;
    }
    m_status.state = "error";
    m_status.reason = reason;
    m_settled = false; // the items the broker holds stay until the driver is back
    if (m_claimed) {
        publishStatus();
    }
}

void NodePublisher::heartbeat() {
    std::lock_guard<std::mutex> hold(m_lock);
    m_status.seen = utcTimeText(std::chrono::system_clock::now());
    if (m_claimed) {
        publishStatus();
    }
}

void NodePublisher::goOffline() {
    std::lock_guard<std::mutex> hold(m_lock);
    m_status.state = "offline";
    m_status.reason.clear();
    if (m_claimed) {
        publishStatus();
    }
}

std::optional<std::string> NodePublisher::ending() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_ending;
}

void NodePublisher::endWith(const std::string& sentence) {
    {
        std::lock_guard<std::mutex> hold(m_lock);
        if (!m_ending) {
            m_ending = sentence;
        }
        m_claimed = false; // nothing more goes out under this node
    }
    m_wakeup.wake();
}

bool NodePublisher::published() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_claimed && m_settled && m_delivered;
}

void NodePublisher::connected() {
    std::lock_guard<std::mutex> hold(m_lock);
    m_claimed = false;
    m_delivered = false;
    m_retainedStatus.reset();
    m_retainedItems.clear();
    m_client->subscribe({m_statusTopic, nodeItemFilter(m_prefix, m_node), m_markerTopic});
    m_client->publish(m_markerTopic, m_status.session, false);
}

void NodePublisher::heard(const std::string& topic, const std::string& payload) {
    bool woken = false;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        if (m_ending) {
            return;
        }
        if (topic == m_markerTopic) {
            if (m_claimed) {
                m_delivered = m_settled; // the broker has what went out before it
            } else {
                claim();
            }
            woken = true;
        } else if (topic == m_statusTopic) {
            const std::optional<NodeStatus> status = parseNodeStatus(payload);
            if (!status || status->session == m_status.session) {
                return; // cleared, or our own
            }
            if (!m_claimed) {
                m_retainedStatus = status;
            } else if (!nodeIsLive(*status, std::chrono::system_clock::now())) {
                publishStatus(); // another's will or goodbye took our place
            } else if (keepsNodeAgainst(m_status, *status)) {
                publishWholeNode(); // it claimed at the same time and may have cleared ours
            } else {
                m_ending = heldNodeSentence(m_node, *status);
                m_claimed = false;
                woken = true;
            }
        } else if (const std::optional<TopicAddress> address = parseTopic(m_prefix, topic);
                   address && address->kind == TopicAddress::Kind::Item) {
            if (payload.empty()) {
                m_retainedItems.erase(address->item);
            } else if (m_claimed && m_settled && m_documents.count(address->item) == 0) {
                m_client->publish(topic, "", true); // removed while the broker was away
            } else {
                m_retainedItems.insert(address->item);
            }
        }
    }
    if (woken) {
        m_wakeup.wake();
    }
}

void NodePublisher::claim() {
    if (heldByAnother(m_retainedStatus, m_status.session, std::chrono::system_clock::now())) {
        m_ending = heldNodeSentence(m_node, *m_retainedStatus);
        return;
    }
    m_claimed = true;
    publishWholeNode();
}

void NodePublisher::publishStatus() {
    m_client->publish(m_statusTopic, nodeStatusDocument(m_status), true);
}

// The status, and once the inventory has settled every item, clearing those
// the broker holds that the node no longer has.
void NodePublisher::publishWholeNode() {
    publishStatus();
    if (!m_settled) {
        return;
    }
    for (const auto& [name, document] : m_documents) {
        publishItem(name, document);
    }
    for (const std::string& name : m_retainedItems) {
        if (m_documents.count(name) == 0) {
            m_client->publish(itemTopic(m_prefix, m_node, name), "", true);
        }
    }
    // The marker again: once it comes back, the broker holds the picture.
    m_client->publish(m_markerTopic, m_status.session, false);
}

void NodePublisher::publishItem(const std::string& name, const std::string& document) {
    m_client->publish(itemTopic(m_prefix, m_node, name), document, true);
}
