#include "WatchReport.h"

#include "ItemSummary.h"
#include "PropertyDiff.h"
#include "PropertyFormat.h"
#include "PropertyLabels.h"
#include "StatusNames.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <ctime>

namespace {

constexpr const char* kIndent = "    ";

std::string changeValueText(const std::optional<Property>& value) {
    if (!value) {
        return "(none)";
    }
    if (value->readStatus == 0 && std::holds_alternative<std::string>(value->value)) {
        return quotedValueText(*value);
    }
    return displayText(*value);
}

std::string propertyName(uint32_t tag, uint32_t busKind) {
    const std::string label = propertyLabel(tag, busKind);
    return label.empty() ? tagText(tag) : label + " (" + tagText(tag) + ")";
}

nlohmann::ordered_json changeValueJson(const std::optional<Property>& value) {
    return value ? valueJson(*value) : nlohmann::ordered_json(nullptr);
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

std::string WatchReport::report(const Notification& notification) {
    const std::string text = m_json ? jsonReport(notification) : textReport(notification);
    for (const ItemPicture& item : notification.items) {
        if (notification.change == oxSysItemChangeKind_Removed) {
            m_pictures.erase(item.name);
        } else if (item.status == 0) {
            m_pictures[item.name] = item.properties;
        }
    }
    return text;
}

std::string WatchReport::textReport(const Notification& notification) {
    std::string names;
    for (const ItemPicture& item : notification.items) {
        names += (names.empty() ? "" : ", ") + item.name;
    }
    char headline[64];
    std::snprintf(headline, sizeof headline, "%s  %-7s  ",
                  localTimeText(notification.time, false).c_str(),
                  changeName(notification.change).c_str());
    std::string out = headline + names + "\n";
    if (notification.change != oxSysItemChangeKind_Changed) {
        return out;
    }
    for (const ItemPicture& item : notification.items) {
        const std::string prefix = kIndent + item.name + ": ";
        if (item.status != 0) {
            out += prefix + "its properties cannot be read: " + describeStatus(item.status) + "\n";
            continue;
        }
        const auto earlier = m_pictures.find(item.name);
        if (earlier == m_pictures.end()) {
            out += prefix + "no earlier picture to compare with\n";
            continue;
        }
        const std::vector<PropertyChange> changes =
            diffProperties(earlier->second, item.properties);
        if (changes.empty()) {
            out += prefix + "no published property changed\n";
        }
        const uint32_t busKind = itemBusKind(item.properties);
        for (const PropertyChange& change : changes) {
            out += prefix + propertyName(change.tag, busKind) + ": " +
                   changeValueText(change.before) + " -> " + changeValueText(change.after) + "\n";
        }
    }
    return out;
}

std::string WatchReport::jsonReport(const Notification& notification) {
    nlohmann::ordered_json event;
    event["time"] = localTimeText(notification.time, true);
    event["event"] = changeName(notification.change);
    event["names"] = nlohmann::ordered_json::array();
    event["items"] = nlohmann::ordered_json::array();
    for (const ItemPicture& item : notification.items) {
        event["names"].push_back(item.name);
        const auto earlier = m_pictures.find(item.name);
        const PropertyList* picture = &item.properties;
        if (notification.change == oxSysItemChangeKind_Removed) {
            picture = earlier != m_pictures.end() ? &earlier->second : nullptr;
        }
        nlohmann::ordered_json summary = nlohmann::ordered_json{{"name", item.name}};
        if (picture != nullptr && !picture->empty()) {
            summary = summaryJson(summarizeItem(*picture));
            summary["name"] = item.name;
        }
        event["items"].push_back(summary);
    }
    if (notification.change == oxSysItemChangeKind_Changed) {
        event["changes"] = nlohmann::ordered_json::array();
        for (const ItemPicture& item : notification.items) {
            const auto earlier = m_pictures.find(item.name);
            if (item.status != 0 || earlier == m_pictures.end()) {
                continue;
            }
            const uint32_t busKind = itemBusKind(item.properties);
            for (const PropertyChange& change : diffProperties(earlier->second, item.properties)) {
                const std::string label = propertyLabel(change.tag, busKind);
                const Property& typed = change.after ? *change.after : *change.before;
                event["changes"].push_back({
                    {"name", item.name},
                    {"tag", tagText(change.tag)},
                    {"label", textOrNull(label)},
                    {"type", typeName(typed.type)},
                    {"from", changeValueJson(change.before)},
                    {"to", changeValueJson(change.after)},
                });
            }
        }
    }
    return event.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}
