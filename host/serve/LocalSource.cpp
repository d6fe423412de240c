#include "serve/LocalSource.h"

#include "commands/ThisNode.h"
#include "mqtt/MqttTopics.h"
#include "present/ItemDocument.h"

LocalSource::LocalSource(ModuleLoader& loader, std::string node, LivePicture& picture,
                         const WakeupPipe& wakeup)
    : m_node(std::move(node)), m_picture(picture), m_expert(loader, wakeup),
      m_status(startingNodeStatus()),
      m_nextHeartbeat(std::chrono::steady_clock::now() + kNodeHeartbeat) {}

std::optional<std::chrono::steady_clock::time_point>
LocalSource::turn(std::chrono::steady_clock::time_point now) {
    RetriedExpert::Turn turn = m_expert.turn(now);
    if (!turn.problem.empty()) {
        tellProblem(turn.problem);
    }
    if (turn.settled) {
        settle(*turn.settled);
    }
    for (const Notification& notification : turn.notifications) {
        follow(notification);
    }
    if (now >= m_nextHeartbeat) {
        m_status.seen = utcTimeText(std::chrono::system_clock::now());
        tellStatus();
        m_nextHeartbeat = now + kNodeHeartbeat;
    }
    const auto nextTurn = m_expert.nextTurn();
    return nextTurn ? std::min(*nextTurn, m_nextHeartbeat) : m_nextHeartbeat;
}

// The node's state is error while the expert cannot start; its items stay as
// they were, as publish leaves them on the broker.
void LocalSource::tellProblem(const std::string& problem) {
    if (m_status.state != "error" || m_status.reason != problem) {
        m_status.state = "error";
        m_status.reason = problem;
        tellStatus();
    }
    m_whole = true; // the picture tells why it has no items
}

void LocalSource::settle(const std::vector<ItemPicture>& present) {
    std::set<std::string> gone = m_items;
    m_status.state = "online";
    m_status.reason.clear();
    tellStatus();
    for (const ItemPicture& item : present) {
        gone.erase(item.name);
        if (item.status == 0) {
            setItem(item.name, itemDocumentText(item.name, item.properties));
        }
    }
    for (const std::string& name : gone) {
        removeItem(name);
    }
    m_whole = true;
    m_picture.pictureWhole();
}

// An item whose properties could not be read keeps the document it had.
void LocalSource::follow(const Notification& notification) {
    for (const ItemPicture& item : notification.items) {
        if (notification.change == oxSysItemChangeKind_Removed) {
            removeItem(item.name);
        } else if (item.status == 0) {
            setItem(item.name, itemDocumentText(item.name, item.properties));
        }
    }
}

void LocalSource::setItem(const std::string& name, const std::string& document) {
    m_items.insert(name);
    m_picture.apply(itemTopic(kLocalPrefix, m_node, name), document);
}

void LocalSource::removeItem(const std::string& name) {
    if (m_items.erase(name) != 0) {
        m_picture.apply(itemTopic(kLocalPrefix, m_node, name), "");
    }
}

void LocalSource::tellStatus() {
    m_picture.apply(statusTopic(kLocalPrefix, m_node), nodeStatusDocument(m_status));
}

void LocalSource::stop() {
    m_expert.finalize();
}
