// The lines that camexpert watch prints: first the items present when it
// starts, then one event per change notification. It keeps the last picture
// of every item it has told of, to tell for a changed item which properties
// changed and from what to what, and to describe a removed item.
#pragma once

#include "session/NotificationHandler.h"

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

class WatchReport {
public:
    explicit WatchReport(bool json) : m_json(json) {}

    // The first event, "present", with the items there are (none, too).
    std::string present(std::chrono::system_clock::time_point time,
                        const std::vector<ItemPicture>& items);

    // The event of one notification, ending in a newline: a headline with the
    // time, the change and the names, and under it what is new of each item
    // (for added items what they are, for changed items which properties
    // changed); or one JSON document on one line. "" when the notification
    // tells nothing the report has not told already: it may come after the
    // first event but describe the time before it.
    std::string report(const Notification& notification);

private:
    struct Event {
        std::chrono::system_clock::time_point time;
        std::optional<oxSysItemChangeKind> change; // none: the items present at the start
        std::vector<ItemPicture> items;
    };

    std::string told(const Event& event);
    std::string textReport(const Event& event) const;
    std::string jsonReport(const Event& event) const;
    std::string itemLines(const Event& event) const;
    void remember(const Event& event);

    bool m_json;
    std::map<std::string, std::optional<PropertyList>> m_known; // none: properties unreadable
};

// Local time: "14:03:07.412", or with the date and the UTC offset in ISO 8601
// ("2024-03-10T14:03:07.412+01:00").
std::string localTimeText(std::chrono::system_clock::time_point time, bool iso);
