#include "mqtt/MqttTopics.h"

#include <cstdio>

namespace {

constexpr const char* kStatusLevel = "status";
constexpr const char* kItemsLevel = "items";
constexpr const char* kEventsLevel = "events";

bool needsEscape(unsigned char byte) {
    return byte == '%' || byte == '/' || byte == '+' || byte == '#' || byte < 0x20 || byte >= 0x7F;
}

int hexDigit(char digit) {
    if (digit >= '0' && digit <= '9') {
        return digit - '0';
    }
    if (digit >= 'A' && digit <= 'F') {
        return digit - 'A' + 10;
    }
    return -1; // lower case is not what escapeTopicLevel writes
}

// The text after "prefix/" up to the end; none when the topic does not start
// so.
std::optional<std::string> belowPrefix(const std::string& prefix, const std::string& topic) {
    if (topic.size() <= prefix.size() + 1 || topic.compare(0, prefix.size(), prefix) != 0 ||
        topic[prefix.size()] != '/') {
        return std::nullopt;
    }
    return topic.substr(prefix.size() + 1);
}

} // namespace

std::string escapeTopicLevel(const std::string& name) {
    std::string level;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (needsEscape(byte)) {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
            level += escaped;
        } else {
            level += c;
        }
    }
    return level;
}

std::optional<std::string> unescapeTopicLevel(const std::string& level) {
    std::string name;
    for (size_t i = 0; i < level.size(); ++i) {
        const auto byte = static_cast<unsigned char>(level[i]);
        if (byte != '%') {
            if (needsEscape(byte)) {
                return std::nullopt;
            }
            name += level[i];
            continue;
        }
        const int high = i + 2 < level.size() ? hexDigit(level[i + 1]) : -1;
        const int low = i + 2 < level.size() ? hexDigit(level[i + 2]) : -1;
        if (high < 0 || low < 0 || !needsEscape(static_cast<unsigned char>(high * 16 + low))) {
            return std::nullopt; // only what escapeTopicLevel writes, so one name has one level
        }
        name += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return name;
}

std::string topicPrefixProblem(const std::string& prefix) {
    if (prefix.empty()) {
        return "it is empty";
    }
    if (prefix.find_first_of(std::string("+#\0", 3)) != std::string::npos) {
        return "it holds a wildcard ('+' or '#') or a NUL";
    }
    if (prefix[0] == '$') {
        return "topics beginning with '$' belong to the broker";
    }
    return "";
}

std::string statusTopic(const std::string& prefix, const std::string& node) {
    return prefix + "/" + escapeTopicLevel(node) + "/" + kStatusLevel;
}

std::string itemTopic(const std::string& prefix, const std::string& node, const std::string& item) {
    return prefix + "/" + escapeTopicLevel(node) + "/" + kItemsLevel + "/" + escapeTopicLevel(item);
}

std::string eventsTopic(const std::string& prefix, const std::string& node) {
    return prefix + "/" + escapeTopicLevel(node) + "/" + kEventsLevel;
}

std::string everyStatusFilter(const std::string& prefix) {
    return prefix + "/+/" + kStatusLevel;
}

std::string everyItemFilter(const std::string& prefix) {
    return prefix + "/+/" + kItemsLevel + "/+";
}

std::string nodeItemFilter(const std::string& prefix, const std::string& node) {
    return prefix + "/" + escapeTopicLevel(node) + "/" + kItemsLevel + "/+";
}

std::optional<TopicAddress> parseTopic(const std::string& prefix, const std::string& topic) {
    const std::optional<std::string> rest = belowPrefix(prefix, topic);
    if (!rest) {
        return std::nullopt;
    }
    const size_t nodeEnd = rest->find('/');
    if (nodeEnd == std::string::npos) {
        return std::nullopt;
    }
    const std::optional<std::string> node = unescapeTopicLevel(rest->substr(0, nodeEnd));
    if (!node) {
        return std::nullopt;
    }
    TopicAddress address;
    address.node = *node;
    const std::string below = rest->substr(nodeEnd + 1);
    const std::string itemsStart = std::string(kItemsLevel) + "/";
    if (below == kStatusLevel) {
        return address;
    }
    if (below.compare(0, itemsStart.size(), itemsStart) != 0) {
        return std::nullopt;
    }
    const std::optional<std::string> item = unescapeTopicLevel(below.substr(itemsStart.size()));
    if (!item) {
        return std::nullopt; // a deeper level, or one no publisher writes
    }
    address.kind = TopicAddress::Kind::Item;
    address.item = *item;
    return address;
}
