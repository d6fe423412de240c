#include "serve/LocalSource.h"

#include "cli/HostError.h"
#include "mqtt/MqttTopics.h"
#include "present/ItemDocument.h"
#include "session/PresentItems.h"

#include "contract/Version.h"

LocalSource::LocalSource(ModuleLoader& loader, std::string node, LivePicture& picture,
                         const WakeupPipe& wakeup)
    : m_loader(loader), m_node(std::move(node)), m_picture(picture), m_queue(wakeup) {
    const auto now = std::chrono::steady_clock::now();
    m_startAt = now;
    m_nextHeartbeat = now + kNodeHeartbeat;
    m_status.state = "online";
    m_status.session = newSessionId();
    m_status.version = KR_VERSION_TEXT;
    m_status.started = utcTimeText(std::chrono::system_clock::now());
    m_status.seen = m_status.started;
    m_status.heartbeatSec = int(kNodeHeartbeat.count());
}

std::optional<std::chrono::steady_clock::time_point>
LocalSource::turn(std::chrono::steady_clock::time_point now) {
    if (!m_expert && now >= m_startAt) {
        try {
            m_expert = startQueuedExpert(m_loader, m_queue);
            m_settled = false;
            m_settleDeadline = now + m_loader.settleTime();
        } catch (const HostError& error) {
            if (m_status.state != "error" || m_status.reason != error.what()) {
                m_status.state = "error";
                m_status.reason = error.what();
                tellStatus();
            }
            m_whole = true; // the picture tells why it has no items
            m_startAt = now + kExpertRetry;
        }
    }
    std::deque<Notification> notifications = m_queue.takeAll();
    // The driver's first report, or its settle time, ends the search for the
    // devices there are, as for publish.
    if (m_expert && !m_settled && (!notifications.empty() || now >= m_settleDeadline)) {
        settle();
    }
    for (const Notification& notification : notifications) {
        if (m_settled) { // else the present items tell it
            follow(notification);
        }
    }
    if (now >= m_nextHeartbeat) {
        m_status.seen = utcTimeText(std::chrono::system_clock::now());
        tellStatus();
        m_nextHeartbeat = now + kNodeHeartbeat;
    }
    auto wakeAt = m_nextHeartbeat;
    if (!m_expert) {
        wakeAt = std::min(wakeAt, m_startAt);
    } else if (!m_settled) {
        wakeAt = std::min(wakeAt, m_settleDeadline);
    }
    return wakeAt;
}

void LocalSource::settle() {
    std::set<std::string> gone = m_items;
    m_status.state = "online";
    m_status.reason.clear();
    tellStatus();
    for (const ItemPicture& item : presentItems(m_expert->expert)) {
        gone.erase(item.name);
        if (item.status == 0) {
            setItem(item.name, itemDocumentText(item.name, item.properties));
        }
    }
    for (const std::string& name : gone) {
        removeItem(name);
    }
    m_settled = true;
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
    if (m_expert) {
        m_expert->expert.finalize();
    }
}
