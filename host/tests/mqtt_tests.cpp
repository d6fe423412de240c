// The plain parts of publish and fleet, without a broker: the topic layout
// and its escaping, the broker address, and the fleet's merge of what nodes
// retained.
#include "mqtt/BrokerAddress.h"
#include "mqtt/BrokerUrl.h"
#include "mqtt/FleetInventory.h"
#include "mqtt/MqttTopics.h"
#include "mqtt/NodeClaim.h"
#include "mqtt/NodeStatus.h"

#include <gtest/gtest.h>

namespace {

TEST(MqttTopics, NamesAreEscapedWhereTopicsNeedItAndComeBackWhole) {
    const struct {
        std::string name;
        std::string level;
    } cases[] = {
        {"gev0-cam0", "gev0-cam0"},   {"clfg0::1", "clfg0::1"},
        {"usb3/1.2", "usb3%2F1.2"},   {"a+b#c", "a%2Bb%23c"},
        {"100%", "100%25"},           {"tab\there", "tab%09here"},
        {"caf\xC3\xA9", "caf%C3%A9"}, {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(escapeTopicLevel(c.name), c.level) << c.name;
        EXPECT_EQ(unescapeTopicLevel(c.level), c.name) << c.level;
    }
}

TEST(MqttTopics, LevelsNoPublisherWritesAreNotNames) {
    for (const std::string level : {"a/b", "a+", "#", "50%", "%2", "%2f", "%41", "%G0"}) {
        EXPECT_EQ(unescapeTopicLevel(level), std::nullopt) << level;
    }
}

TEST(MqttTopics, TopicsAreTakenApartUnderThePrefix) {
    EXPECT_EQ(itemTopic("plant/hall3", "ctl/7", "usb3/1"), "plant/hall3/ctl%2F7/items/usb3%2F1");
    const std::optional<TopicAddress> item =
        parseTopic("plant/hall3", "plant/hall3/ctl%2F7/items/usb3%2F1");
    ASSERT_TRUE(item);
    EXPECT_EQ(item->kind, TopicAddress::Kind::Item);
    EXPECT_EQ(item->node, "ctl/7");
    EXPECT_EQ(item->item, "usb3/1");
    const std::optional<TopicAddress> status = parseTopic("camexpert", "camexpert/a/status");
    ASSERT_TRUE(status);
    EXPECT_EQ(status->kind, TopicAddress::Kind::Status);
    EXPECT_EQ(status->node, "a");
    for (const std::string topic :
         {"camexpert/a/events", "camexpert/a/items/x/y", "camexpert/a", "camexpertx/a/status",
          "other/a/status", "camexpert/a%/status"}) {
        EXPECT_EQ(parseTopic("camexpert", topic), std::nullopt) << topic;
    }
    EXPECT_EQ(topicPrefixProblem("plant/hall3"), "");
    for (const std::string prefix : {"", "a/+", "a/#", "$SYS"}) {
        EXPECT_NE(topicPrefixProblem(prefix), "") << prefix;
    }
}

TEST(BrokerAddress, HostAndPort) {
    const struct {
        std::string text;
        std::optional<std::string> host;
        int port;
    } cases[] = {
        {"broker.plant", "broker.plant", 1883},
        {"10.0.0.5:1884", "10.0.0.5", 1884},
        {"[fd00::5]:99", "fd00::5", 99},
        {"fd00::5", "fd00::5", 1883},
        {"[fd00::5]", "fd00::5", 1883},
        {"", std::nullopt, 0},
        {":1883", std::nullopt, 0},
        {"host:", std::nullopt, 0},
        {"host:0", std::nullopt, 0},
        {"host:65536", std::nullopt, 0},
        {"host:18x", std::nullopt, 0},
        {"[fd00::5]x", std::nullopt, 0},
    };
    for (const auto& c : cases) {
        const std::optional<BrokerAddress> address = parseBrokerAddress(c.text, 1883);
        ASSERT_EQ(address.has_value(), c.host.has_value()) << c.text;
        if (address) {
            EXPECT_EQ(address->host, *c.host) << c.text;
            EXPECT_EQ(address->port, c.port) << c.text;
        }
    }
    EXPECT_EQ(brokerAddressText({"fd00::5", 99}), "[fd00::5]:99");
}

TEST(BrokerUrl, EveryAcceptedFormAndNothingElse) {
    const struct {
        std::string text;
        bool cafile;
        std::optional<std::string> host;
        int port;
        bool tls;
    } cases[] = {
        {"broker.plant", false, "broker.plant", 1883, false},
        {"broker.plant", true, "broker.plant", 8883, true},
        {"10.0.0.5:1884", false, "10.0.0.5", 1884, false},
        {"[fd00::5]:99", false, "fd00::5", 99, false},
        {"fd00::5", false, "fd00::5", 1883, false},
        {"mqtt://host:1883", false, "host", 1883, false},
        {"mqtt://host", false, "host", 1883, false},
        {"mqtts://host", false, "host", 8883, true},
        {"mqtts://[fd00::5]:8884", false, "fd00::5", 8884, true},
        {"mqtt://host:1883", true, "host", 1883, false}, // refused with --cafile by the caller
        {"http://host", false, std::nullopt, 0, false},
        {"tcp://host:1883", false, std::nullopt, 0, false},
        {"mqtt://host/x", false, std::nullopt, 0, false},
        {"mqtt://", false, std::nullopt, 0, false},
        {"mqtts://fd00::5", false, std::nullopt, 0, false},
        {"host:1883:1", false, std::nullopt, 0, false},
        {"host:99999", false, std::nullopt, 0, false},
    };
    for (const auto& c : cases) {
        const std::optional<BrokerUrl> url = parseBrokerUrl(c.text, c.cafile);
        ASSERT_EQ(url.has_value(), c.host.has_value()) << c.text;
        if (url) {
            EXPECT_EQ(url->address.host, *c.host) << c.text;
            EXPECT_EQ(url->address.port, c.port) << c.text;
            EXPECT_EQ(url->tls, c.tls) << c.text;
        }
    }
}

TEST(NodeStatus, TheDocumentComesBackWhole) {
    const NodeStatus status{
        "error", "0123456789abcdef",        "18.5", "2026-12-10T03:05:00Z", "2026-12-10T03:07:30Z",
        30,      "Cannot use the scenario."};
    const std::optional<NodeStatus> read = parseNodeStatus(nodeStatusDocument(status));
    ASSERT_TRUE(read);
    EXPECT_EQ(nodeStatusDocument(*read), nodeStatusDocument(status));
    EXPECT_EQ(parseUtcTime("2026-12-10T03:05:00Z"),
              std::chrono::system_clock::from_time_t(1796871900));
    for (const std::string payload : {"", "maybe", "[]", R"({"state": "gone"})"}) {
        EXPECT_FALSE(parseNodeStatus(payload).has_value()) << payload;
    }
    EXPECT_EQ(parseNodeStatus("online")->state, "online");
}

TEST(NodeClaim, OnlyALiveOwnerHoldsTheNode) {
    const auto now = std::chrono::system_clock::from_time_t(1796871900); // 2026-12-10T03:05:00Z
    const struct {
        std::string state;
        std::string session;
        std::string seen;
        int heartbeatSec;
        bool held;
    } cases[] = {
        {"online", "other", "2026-12-10T03:04:00Z", 30, true},
        {"error", "other", "2026-12-10T03:04:00Z", 30, true},
        {"online", "other", "2026-12-10T03:03:30Z", 30, true}, // three heartbeats late
        {"online", "other", "2026-12-10T03:03:29Z", 30, false},
        {"offline", "other", "2026-12-10T03:05:00Z", 30, false},
        {"online", "mine", "2026-12-10T03:05:00Z", 30, false},
        {"online", "", "", 0, true}, // an earlier publisher's bare "online"
    };
    for (const auto& c : cases) {
        NodeStatus retained;
        retained.state = c.state;
        retained.session = c.session;
        retained.seen = c.seen;
        retained.heartbeatSec = c.heartbeatSec;
        EXPECT_EQ(heldByAnother(retained, "mine", now), c.held) << c.state << " " << c.seen;
    }
    EXPECT_FALSE(heldByAnother(std::nullopt, "mine", now));

    NodeStatus first{"online", "b", "", "2026-12-10T03:00:00Z", "", 30, ""};
    NodeStatus second{"online", "a", "", "2026-12-10T03:00:01Z", "", 30, ""};
    EXPECT_TRUE(keepsNodeAgainst(first, second));
    EXPECT_FALSE(keepsNodeAgainst(second, first));
}

std::string itemDocument(const std::string& name, const std::string& kind) {
    return R"({"name": ")" + name + R"(", "kind": ")" + kind +
           R"(", "bus": "USB3", "busClass": "USB", "vendor": "Lumora", "model": "LightCam",
              "serialNumber": "7F3A21", "address": null, "properties": []})";
}

TEST(FleetInventory, MergesNodesAndForgetsWhatIsCleared) {
    FleetInventory fleet("camexpert");
    EXPECT_EQ(fleet.apply("camexpert/b/status", "online"), FleetUpdate::Changed);
    EXPECT_EQ(fleet.apply("camexpert/b/items/fg", itemDocument("fg", "frame grabber")),
              FleetUpdate::Changed);
    EXPECT_EQ(fleet.apply("camexpert/b/items/Cam2%2Fx", itemDocument("Cam2/x", "camera")),
              FleetUpdate::Changed);
    EXPECT_EQ(fleet.apply("camexpert/b/items/cam1", itemDocument("cam1", "camera")),
              FleetUpdate::Changed);
    EXPECT_EQ(fleet.apply("camexpert/b/items/cam1", itemDocument("cam1", "camera")),
              FleetUpdate::Unchanged);
    EXPECT_EQ(fleet.apply("camexpert/a/items/x", itemDocument("x", "camera")),
              FleetUpdate::Changed);
    EXPECT_EQ(fleet.apply("camexpert/a/events", "{}"), FleetUpdate::NotOurs);
    EXPECT_EQ(fleet.apply("camexpert/a/status", "maybe"), FleetUpdate::Malformed);
    EXPECT_EQ(fleet.apply("camexpert/a/items/y", "[1]"), FleetUpdate::Malformed);
    EXPECT_EQ(fleet.apply("camexpert/a/items/y", R"({"vendor": 7})"), FleetUpdate::Malformed);

    std::vector<FleetNode> nodes = fleet.nodes();
    ASSERT_EQ(nodes.size(), 2u);
    EXPECT_EQ(nodes[0].name, "a");
    EXPECT_EQ(nodes[0].status, "") << "no status retained for a";
    ASSERT_EQ(nodes[1].items.size(), 3u);
    EXPECT_EQ(nodes[1].status, "online");
    // Cameras first, names letter case aside, as list orders them.
    EXPECT_EQ(nodes[1].items[0].name, "cam1");
    EXPECT_EQ(nodes[1].items[1].name, "Cam2/x");
    EXPECT_EQ(nodes[1].items[2].name, "fg");
    EXPECT_EQ(nodes[1].items[2].model, "LightCam");
    EXPECT_EQ(nodes[1].items[2].address, "");

    EXPECT_EQ(fleet.apply("camexpert/a/items/x", ""), FleetUpdate::Changed);
    EXPECT_EQ(fleet.apply("camexpert/b/items/fg", ""), FleetUpdate::Changed);
    EXPECT_EQ(fleet.apply("camexpert/b/items/fg", ""), FleetUpdate::Unchanged);
    EXPECT_EQ(fleet.apply("camexpert/b/status", R"({"state": "offline", "session": "5",
        "seen": "2026-12-10T03:07:30Z", "heartbeatSec": 30})"),
              FleetUpdate::Changed);
    nodes = fleet.nodes();
    ASSERT_EQ(nodes.size(), 1u) << "a node with neither status nor items is gone";
    EXPECT_EQ(nodes[0].name, "b");
    EXPECT_EQ(nodes[0].status, "offline");
    EXPECT_EQ(nodes[0].lastSeen, "2026-12-10T03:07:30Z");
    EXPECT_EQ(nodes[0].items.size(), 2u);
}

} // namespace
