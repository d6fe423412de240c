// The host's change listener, registered with the expert. The expert calls it
// on its refresh thread; it reads the names (and, for added and changed
// items, their properties at that moment) and hands them on as plain values.
#pragma once

#include "hostkit/HostObject.h"
#include "hostkit/Property.h"

#include "contract/oxSysInterfaces.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

struct ItemPicture {
    std::string name;
    PropertyList properties; // empty for removed items
    int32_t status = 0;      // of GetPropertiesOfItem; not 0 when properties could not be read
};

struct Notification {
    std::chrono::system_clock::time_point time;
    oxSysItemChangeKind change = oxSysItemChangeKind_Added;
    std::vector<ItemPicture> items;
};

using NotificationSink = std::function<void(Notification&&)>;

class NotificationHandler final : public HostObject<Owned, IoxSysFrameworkNotificationHandler> {
public:
    // A new handler with one reference for the caller. The sink is called on
    // the expert's refresh thread and must not block; without a sink the
    // notifications are only acknowledged.
    static NotificationHandler* create(NotificationSink sink = nullptr) {
        return new NotificationHandler(std::move(sink));
    }

    // Always 0: what the host does with a notification is its own business.
    int32_t OnItemsChanged(IoxSysExpert2* expert, oxSysItemChangeKind change,
                           IoxSysEnumStringList* names) override;

private:
    explicit NotificationHandler(NotificationSink sink) : m_sink(std::move(sink)) {}

    const NotificationSink m_sink;
};

// "added", "removed", "changed", or "change N".
std::string changeName(oxSysItemChangeKind change);
