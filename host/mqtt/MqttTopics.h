// The topics camexpert publishes under and fleet reads back:
//   PREFIX/NODE/status        retained "online", or "offline" (also the last will)
//   PREFIX/NODE/items/NAME    retained, one JSON document per item
//   PREFIX/NODE/events        one JSON line per change notification
// Node and item names come from machines and devices, so they are escaped
// where topic rules need it and decoded again by the reader.
#pragma once

#include <optional>
#include <string>

// The name with '%' and the characters that topics reserve ('/', '+', '#')
// percent-encoded ("usb3/1" -> "usb3%2F1"), as well as the control
// characters and every byte beyond ASCII, so that the level is valid UTF-8
// whatever the device reported.
std::string escapeTopicLevel(const std::string& name);

// The name escapeTopicLevel was given; none when the level is not one it
// makes (a bare '%', '+', or a byte it would have escaped).
std::optional<std::string> unescapeTopicLevel(const std::string& level);

// Why the prefix cannot begin topics ("" when it can): it must not be empty,
// hold wildcards ('+', '#') or a NUL, nor begin with '$', which brokers keep
// for themselves. It may have several levels ("plant/hall3").
std::string topicPrefixProblem(const std::string& prefix);

std::string statusTopic(const std::string& prefix, const std::string& node);
std::string itemTopic(const std::string& prefix, const std::string& node, const std::string& item);
std::string eventsTopic(const std::string& prefix, const std::string& node);

// What fleet subscribes to: the status and the items of every node.
std::string everyStatusFilter(const std::string& prefix);
std::string everyItemFilter(const std::string& prefix);

// The items of one node, which its publisher reads back to clear what it
// no longer has.
std::string nodeItemFilter(const std::string& prefix, const std::string& node);

// A topic taken apart: whose status or which item of whose.
struct TopicAddress {
    enum class Kind { Status, Item };
    Kind kind = Kind::Status;
    std::string node;
    std::string item; // Kind::Item only
};

// None for a topic outside this layout under the prefix.
std::optional<TopicAddress> parseTopic(const std::string& prefix, const std::string& topic);
