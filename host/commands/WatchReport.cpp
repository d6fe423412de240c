#include "commands/WatchReport.h"

#include "commands/ChangeDescription.h"
#include "commands/PropertyDiff.h"
#include "present/ItemSummary.h"
#include "present/JsonOutput.h"
#include "present/StatusNames.h"
#include "present/TerminalText.h"

#include <cstdio>
#include <ctime>

namespace {

constexpr const char* kIndent = "    ";

std::string eventName(const std::optional<oxSysItemChangeKind>& change) {
    return change ? changeName(*change) : "present";
}

bool isChanged(const std::optional<oxSysItemChangeKind>& change) {
    return change == oxSysItemChangeKind_Changed;
}

} // namespace

std::string localTimeText(std::chrono::system_clock::time_point time, bool iso) {
    const auto sinceEpoch = time.time_since_epoch();
    const time_t seconds =
        time_t(std::chrono::duration_cast<std::chrono::seconds>(sinceEpoch).count());
    const int milliseconds =
        int(std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count() % 1000);
    struct tm local {};
    localtime_r(&seconds, &local);
    char text[64];
    size_t length =
        std::strftime(text, sizeof text, iso ? "%Y-%m-%dT%H:%M:%S" : "%H:%M:%S", &local);
    length += size_t(std::snprintf(text + length, sizeof text - length, ".%03d", milliseconds));
    if (iso) {
        char offset[8]; // +0100
        std::strftime(offset, sizeof offset, "%z", &local);
        std::snprintf(text + length, sizeof text - length, "%.3s:%.2s", offset, offset + 3);
    }
    return text;
}

std::string WatchReport::present(std::chrono::system_clock::time_point time,
                                 const std::vector<ItemPicture>& items) {
    return told(Event{time, std::nullopt, items});
}

std::string WatchReport::report(const Notification& notification) {
    Event event{notification.time, notification.change, {}};
    for (const ItemPicture& item : notification.items) {
        const auto earlier = m_known.find(item.name);
        const bool known = earlier != m_known.end();
        const bool toldAlready = notification.change == oxSysItemChangeKind_Added
                                     ? known
                                     : notification.change == oxSysItemChangeKind_Removed && !known;
        if (!toldAlready) {
            event.items.push_back(item);
        } else if (known && !earlier->second && item.status == 0) {
            // Unreadable when told of, readable now: a later change has a
            // picture to compare with.
            earlier->second = item.properties;
        }
    }
    return event.items.empty() ? "" : told(event);
}

std::string WatchReport::told(const Event& event) {
    const std::string text = m_json ? jsonReport(event) : textReport(event);
    remember(event);
    return text;
}

void WatchReport::remember(const Event& event) {
    for (const ItemPicture& item : event.items) {
        if (event.change == oxSysItemChangeKind_Removed) {
            m_known.erase(item.name);
        } else if (item.status == 0) {
            m_known[item.name] = item.properties;
        } else {
            m_known.emplace(item.name, std::nullopt); // an earlier picture stays
        }
    }
}

std::string WatchReport::textReport(const Event& event) const {
    std::string names;
    for (const ItemPicture& item : event.items) {
        names += (names.empty() ? "" : ", ") + terminalSafe(item.name);
    }
    char headline[64];
    std::snprintf(headline, sizeof headline, "%s  %-7s  ", localTimeText(event.time, false).c_str(),
                  eventName(event.change).c_str());
    return headline + (names.empty() ? "no cameras or frame grabbers" : names) + "\n" +
           itemLines(event);
}

// Under the headline: what an added or present item is, what changed of a
// changed one; nothing for a removed one.
std::string WatchReport::itemLines(const Event& event) const {
    if (event.change == oxSysItemChangeKind_Removed) {
        return "";
    }
    std::string out;
    for (const ItemPicture& item : event.items) {
        const std::string prefix = kIndent + terminalSafe(item.name) + ": ";
        if (item.status != 0) {
            out += prefix + "its properties cannot be read: " + describeStatus(item.status) + "\n";
            continue;
        }
        if (!isChanged(event.change)) {
            out += prefix + terminalSafe(summaryLine(summarizeItem(item.properties))) + "\n";
            continue;
        }
        const auto earlier = m_known.find(item.name);
        if (earlier == m_known.end() || !earlier->second) {
            out += prefix + "no earlier picture to compare with\n";
            continue;
        }
        const std::vector<PropertyChange> changes =
            diffProperties(*earlier->second, item.properties);
        if (changes.empty()) {
            out += prefix + "no published property changed\n";
        }
        const uint32_t busKind = itemBusKind(item.properties);
        for (const PropertyChange& change : changes) {
            out += prefix + changeText(change, busKind) + "\n";
        }
    }
    return out;
}

std::string WatchReport::jsonReport(const Event& event) const {
    nlohmann::ordered_json document;
    document["time"] = localTimeText(event.time, true);
    document["event"] = eventName(event.change);
    document["names"] = nlohmann::ordered_json::array();
    document["items"] = nlohmann::ordered_json::array();
    for (const ItemPicture& item : event.items) {
        document["names"].push_back(item.name);
        const auto earlier = m_known.find(item.name);
        const PropertyList* picture = &item.properties;
        if (event.change == oxSysItemChangeKind_Removed) {
            picture = earlier != m_known.end() && earlier->second ? &*earlier->second : nullptr;
        }
        ItemSummary summary;
        if (picture != nullptr && !picture->empty()) {
            summary = summarizeItem(*picture, item.name);
        } else {
            summary.name = item.name; // known by name alone
        }
        document["items"].push_back(summaryJson(summary));
    }
    if (isChanged(event.change)) {
        document["changes"] = nlohmann::ordered_json::array();
        for (const ItemPicture& item : event.items) {
            const auto earlier = m_known.find(item.name);
            if (item.status != 0 || earlier == m_known.end() || !earlier->second) {
                continue;
            }
            const uint32_t busKind = itemBusKind(item.properties);
            for (const PropertyChange& change : diffProperties(*earlier->second, item.properties)) {
                document["changes"].push_back(changeJson(item.name, change, busKind));
            }
        }
    }
    return jsonText(document, true) + "\n";
}
