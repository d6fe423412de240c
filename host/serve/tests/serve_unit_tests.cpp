// serve's picture in-process: the events each kind of message makes, the
// backlog of the event feed, and the metrics text.
#include "commands/SettlingRound.h"
#include "mqtt/MqttTopics.h"
#include "mqtt/NodeStatus.h"
#include "serve/EventFeed.h"
#include "serve/Metrics.h"
#include "serve/PictureStore.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

using ::testing::HasSubstr;

namespace {

using Json = nlohmann::ordered_json;

std::string statusText(const std::string& state, const std::string& seen,
                       const std::string& reason = "") {
    NodeStatus status;
    status.state = state;
    status.session = "0123456789abcdef";
    status.version = "18.5";
    status.started = "2026-12-10T03:00:00Z";
    status.seen = seen;
    status.heartbeatSec = 30;
    status.reason = reason;
    return nodeStatusDocument(status);
}

std::string itemText(const std::string& name, const std::string& vendor,
                     const std::string& address) {
    return Json{
        {"name", name},
        {"kind", "camera"},
        {"bus", "ipv4"},
        {"busClass", "network"},
        {"vendor", vendor},
        {"model", "KR GC-2450M"},
        {"serialNumber", "4B52"},
        {"address", address},
        {"properties",
         {{{"tag", "0x01004000"}, {"label", "Vendor"}, {"type", "string"}, {"value", vendor}},
          {{"tag", "0x0102C000"},
           {"label", "IP address"},
           {"type", "string"},
           {"value", address}}}}}
        .dump();
}

// Each event without its time, as one line.
std::vector<std::string> told(const StoreUpdate& update) {
    std::vector<std::string> lines;
    for (Json event : update.events) {
        EXPECT_TRUE(event["time"].is_string());
        event.erase("time");
        lines.push_back(event.dump());
    }
    return lines;
}

TEST(PictureStoreTest, EachMessageIsToldAsTheEventsOfWhatItChanged) {
    PictureStore store("plant");
    const auto now = std::chrono::system_clock::now();
    struct Step {
        std::string topic;
        std::string payload;
        std::vector<std::string> events;
    };
    const Step steps[] = {
        {"plant/cell4/status",
         statusText("online", "2026-12-10T03:00:00Z"),
         {R"({"node":"cell4","event":"state","state":"online","reason":null,"lastSeen":"2026-12-10T03:00:00Z"})"}},
        {"plant/cell4/items/gev0",
         itemText("gev0", "Kroneth", "10.0.0.1"),
         {R"({"node":"cell4","event":"added","names":["gev0"],"items":[{"name":"gev0","kind":"camera","bus":"ipv4","busClass":"network","vendor":"Kroneth","model":"KR GC-2450M","serialNumber":"4B52","address":"10.0.0.1"}]})"}},
        {"plant/cell4/items/gev0", itemText("gev0", "Kroneth", "10.0.0.1"), {}},
        {"plant/cell4/items/gev0",
         itemText("gev0", "Kroneth", "10.0.0.2"),
         {R"({"node":"cell4","event":"changed","names":["gev0"],"items":[{"name":"gev0","kind":"camera","bus":"ipv4","busClass":"network","vendor":"Kroneth","model":"KR GC-2450M","serialNumber":"4B52","address":"10.0.0.2"}],"changes":[{"name":"gev0","tag":"0x0102C000","label":"IP address","type":"string","from":"10.0.0.1","to":"10.0.0.2"}]})"}},
        {"plant/cell4/status",
         statusText("online", "2026-12-10T03:00:30Z"),
         {R"({"node":"cell4","event":"seen","lastSeen":"2026-12-10T03:00:30Z"})"}},
        {"plant/cell4/status",
         statusText("error", "2026-12-10T03:00:30Z", "no scenario"),
         {R"({"node":"cell4","event":"state","state":"error","reason":"no scenario","lastSeen":"2026-12-10T03:00:30Z"})"}},
        {"plant/cell4/status", "<b>not json</b>", {}},
        {"plant/cell4/status",
         "",
         {R"({"node":"cell4","event":"state","state":null,"reason":null,"lastSeen":null})"}},
        {"plant/cell4/items/gev0",
         "",
         {R"({"node":"cell4","event":"removed","names":["gev0"],"items":[{"name":"gev0","kind":"camera","bus":"ipv4","busClass":"network","vendor":"Kroneth","model":"KR GC-2450M","serialNumber":"4B52","address":"10.0.0.2"}]})",
          R"({"node":"cell4","event":"gone"})"}},
        {"plant/cell5/items/a%2Fb",
         itemText("a/b", "<script>", ""),
         {R"({"node":"cell5","event":"state","state":null,"reason":null,"lastSeen":null})",
          R"({"node":"cell5","event":"added","names":["a/b"],"items":[{"name":"a/b","kind":"camera","bus":"ipv4","busClass":"network","vendor":"<script>","model":"KR GC-2450M","serialNumber":"4B52","address":null}]})"}},
        {"plant/cell5/items/bad", "{\"vendor\": 7}", {}},
        {"elsewhere/cell5/status", statusText("online", "2026-12-10T03:00:00Z"), {}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.topic + " " + step.payload);
        EXPECT_EQ(told(store.apply(step.topic, step.payload, now)), step.events);
    }
    EXPECT_EQ(store.itemDocument("cell5", "a/b"), itemText("a/b", "<script>", ""));
    EXPECT_EQ(store.present(now)["nodes"].size(), 1u);
}

TEST(PictureStoreTest, ChangesAreCountedOnceThePictureIsWhole) {
    PictureStore store("camexpert");
    const auto now = std::chrono::system_clock::now();
    store.apply("camexpert/a/items/x", itemText("x", "K", "10.0.0.1"), now);
    store.pictureWhole();
    store.apply("camexpert/a/items/x", itemText("x", "K", "10.0.0.2"), now);
    store.apply("camexpert/a/items/y", itemText("y", "K", "10.0.0.3"), now);
    const std::map<std::pair<std::string, std::string>, uint64_t> expected = {
        {{"a", "added"}, 1}, {{"a", "changed"}, 1}};
    EXPECT_EQ(store.changeCounts(), expected);

    // A node gone leaves no counts, and no series in the metrics.
    store.apply("camexpert/a/items/x", "", now);
    store.apply("camexpert/a/items/y", "", now);
    EXPECT_TRUE(store.changeCounts().empty());
    EXPECT_THAT(metricsText(store, {}, now), ::testing::Not(HasSubstr("node=\"a\"")));
}

TEST(EventFeedTest, AStreamBehindTheBacklogStartsAgainFromThePicture) {
    EventFeed feed(2);
    const auto past = std::chrono::steady_clock::now();
    std::vector<FedEvent> events;
    EXPECT_EQ(feed.waitAfter(0, past, events), EventFeed::Outcome::Timeout);
    for (const char* data : {"one", "two", "three"}) {
        feed.publish(data);
    }
    EXPECT_EQ(feed.waitAfter(0, past, events), EventFeed::Outcome::Behind);
    EXPECT_FALSE(feed.holdsAfter(0));
    EXPECT_TRUE(feed.holdsAfter(1));
    EXPECT_FALSE(feed.holdsAfter(9)) << "a number this feed never gave";
    ASSERT_EQ(feed.waitAfter(1, past, events), EventFeed::Outcome::Events);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].id, 2u);
    EXPECT_EQ(events[1].data, "three");

    // The text held is bounded too, but the newest event is always kept.
    EventFeed small(100, 8);
    for (const char* data : {"12345", "67890", "a text longer than the bound"}) {
        small.publish(data);
    }
    EXPECT_FALSE(small.holdsAfter(1));
    ASSERT_EQ(small.waitAfter(2, past, events), EventFeed::Outcome::Events);
    EXPECT_EQ(events.size(), 1u);

    feed.stop();
    EXPECT_EQ(feed.waitAfter(3, std::chrono::steady_clock::now() + std::chrono::hours(1), events),
              EventFeed::Outcome::Stopped);
}

TEST(MetricsTest, EveryFamilyIsDescribedAndLabelsAreEscaped) {
    PictureStore store("camexpert");
    const auto now = std::chrono::system_clock::now();
    const std::string odd = "cell \"4\"\\\nline";
    store.apply(statusTopic("camexpert", odd), statusText("online", utcTimeText(now)), now);
    store.apply(itemTopic("camexpert", odd, "x"), itemText("x", "K", "10.0.0.1"), now);
    // A byte that is not UTF-8 (as "%FF" in a topic gives) is replaced, and
    // a state word outside the four counts as unknown.
    store.apply(itemTopic("camexpert", "cell\xff", "x"), itemText("x", "K", "10.0.0.2"), now);
    store.apply(statusTopic("camexpert", "cell\xff"), statusText("booting", utcTimeText(now)), now);
    const std::string text = metricsText(store, {{{{"page", 200}, 3}}, 2, true}, now);
    EXPECT_THAT(text,
                HasSubstr("camexpert_node_state{node=\"cell\xEF\xBF\xBD\",state=\"unknown\"} 1\n"));
    EXPECT_THAT(text, ::testing::Not(HasSubstr("\xff")));
    if (access("/usr/bin/promtool", X_OK) == 0) {
        FILE* promtool = popen("/usr/bin/promtool check metrics", "w");
        ASSERT_NE(promtool, nullptr);
        std::fwrite(text.data(), 1, text.size(), promtool);
        EXPECT_EQ(pclose(promtool), 0) << "promtool check metrics on:\n" << text;
    }
    const std::string node = "node=\"cell \\\"4\\\"\\\\\\nline\"";
    EXPECT_THAT(text, HasSubstr("camexpert_node_up{" + node + "} 1\n"));
    EXPECT_THAT(text, HasSubstr("camexpert_node_state{" + node + ",state=\"unknown\"} 0\n"));
    EXPECT_THAT(text,
                HasSubstr("camexpert_node_items{" + node + ",kind=\"camera\",bus=\"ipv4\"} 1\n"));
    EXPECT_THAT(text,
                HasSubstr("camexpert_http_requests_total{handler=\"page\",code=\"200\"} 3\n"));
    EXPECT_THAT(text, HasSubstr("camexpert_event_clients 2\n"));
    EXPECT_THAT(text, HasSubstr("camexpert_broker_connected 1\n"));
    for (const char* family :
         {"camexpert_node_up", "camexpert_node_state", "camexpert_node_last_seen_timestamp_seconds",
          "camexpert_node_items", "camexpert_item_changes_total", "camexpert_http_requests_total",
          "camexpert_event_clients", "camexpert_broker_connected"}) {
        EXPECT_THAT(text, HasSubstr(std::string("# HELP ") + family + " ")) << family;
        EXPECT_THAT(text, HasSubstr(std::string("# TYPE ") + family + " ")) << family;
    }
}

} // namespace

TEST(SettlingRoundTest, OnlyTopicsNewToTheRoundHoldItBackAndNotBeyondItsLimit) {
    using std::chrono::milliseconds;
    const auto start = std::chrono::steady_clock::now();
    SettlingRound round;
    EXPECT_FALSE(round.endsAt(start)) << "no round yet";
    round.begin(start);
    round.heard("p/a/status", start + milliseconds(400));
    EXPECT_FALSE(round.endsAt(start + milliseconds(800)));
    // A heartbeat every 100 ms from a node heard already moves nothing.
    for (int beat = 1; beat <= 40; ++beat) {
        round.heard("p/a/status", start + milliseconds(400 + 100 * beat));
    }
    EXPECT_TRUE(round.endsAt(start + milliseconds(900)));
    EXPECT_FALSE(round.active());

    // New topics all the time: the round ends at its limit.
    round.begin(start);
    for (int node = 0; node < 100; ++node) {
        round.heard("p/n" + std::to_string(node) + "/status", start + milliseconds(100 * node));
    }
    EXPECT_FALSE(round.endsAt(start + milliseconds(4999)));
    EXPECT_TRUE(round.endsAt(start + milliseconds(5000)));
    EXPECT_EQ(round.topics().size(), 100u);
}
