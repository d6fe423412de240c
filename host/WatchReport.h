// The lines that camexpert watch prints for each change notification. It
// keeps the last picture of every item it has seen, to tell for a changed
// item which properties changed and from what to what.
#pragma once

#include "NotificationHandler.h"

#include <chrono>
#include <map>
#include <string>

class WatchReport {
public:
    explicit WatchReport(bool json) : m_json(json) {}

    // The text of one notification, ending in a newline: a headline with the
    // time, the change and the names, and under it the property changes of
    // each changed item; or one JSON document on one line. Remembers the
    // pictures of added and changed items and forgets removed ones.
    std::string report(const Notification& notification);

private:
    std::string textReport(const Notification& notification);
    std::string jsonReport(const Notification& notification);

    bool m_json;
    std::map<std::string, PropertyList> m_pictures;
};

// Local time: "14:03:07.412", or with the date and the UTC offset in ISO 8601
// ("2024-03-10T14:03:07.412+01:00").
std::string localTimeText(std::chrono::system_clock::time_point time, bool iso);
