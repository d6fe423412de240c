// publish and fleet against a real MQTT broker: the retained picture a
// publisher leaves is the inventory list and show print, follows the
// scenario, survives the broker going away, and turns offline when the
// publisher dies; fleet merges what several publishers leave.
#include "HostProcess.h"
#include "MqttBroker.h"
#include "Scenarios.h"
#include "TempDirectory.h"
#include "Waiting.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <signal.h>

#include <set>

using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

// A camera whose name holds every character topics reserve, and the escape
// character itself.
const std::string kOddlyNamedCamera =
    R"({"bus": "USB3", "interface": "lab/cam+1#%", "vendor": "Lumora", "model": "LightCam",
        "serial": "2E3F1001", "usbVendorId": "0x2C7A", "usbProductId": "0x0104"})";
const std::string kOddlyNamedTopic = "lab%2Fcam%2B1%23%25";

class BrokerTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string problem = broker.start();
        if (!problem.empty()) {
            GTEST_SKIP() << "no MQTT broker to test with: " << problem;
        }
        ini = files.write("fast.ini", refreshPeriodIni(1));
    }

    // A publisher of the default scenario, or of the scenario file given.
    std::unique_ptr<RunningCamexpert> publisher(const std::string& node,
                                                const std::string& scenario = "") {
        std::vector<std::string> arguments{"--ini", ini};
        if (!scenario.empty()) {
            arguments.insert(arguments.end(), {"--scenario", scenario});
        }
        arguments.insert(arguments.end(),
                         {"publish", "--broker", broker.address(), "--node", node});
        return std::make_unique<RunningCamexpert>(arguments);
    }

    // Item topic below camexpert/NODE/items/ -> its document.
    std::map<std::string, nlohmann::json> items(const std::string& node) {
        const std::string below = "camexpert/" + node + "/items/";
        std::map<std::string, nlohmann::json> documents;
        for (const auto& [topic, payload] : MqttProbe::retained(broker.port(), below + "+")) {
            documents[topic.substr(below.size())] = nlohmann::json::parse(payload);
        }
        return documents;
    }

    std::string status(const std::string& node) {
        const auto retained = MqttProbe::retained(broker.port(), "camexpert/" + node + "/status");
        return retained.empty() ? "" : retained.begin()->second;
    }

    // Waits until the node's retained items have these names.
    bool itemsAre(const std::string& node, const std::set<std::string>& names) {
        return waitUntil([&] {
            std::set<std::string> found;
            for (const auto& entry : items(node)) {
                found.insert(entry.first);
            }
            return found == names;
        });
    }

    bool statusIs(const std::string& node, const std::string& expected) {
        return waitUntil([&] { return status(node) == expected; });
    }

    MqttBroker broker;
    TempDirectory files;
    std::string ini;
};

nlohmann::json withoutProperties(nlohmann::json document) {
    document.erase("properties");
    return document;
}

TEST_F(BrokerTest, RetainedItemsAreWhatListAndShowPrint) {
    const ProcessResult list = runCamexpert({"list", "--json"});
    ASSERT_EQ(list.exitStatus, 0) << list.err;
    const nlohmann::json listed = nlohmann::json::parse(list.out).at("items");
    std::set<std::string> names;
    for (const nlohmann::json& item : listed) {
        names.insert(item.at("name").get<std::string>());
    }
    ASSERT_EQ(names.size(), 11u);

    const auto program = publisher("a");
    ASSERT_TRUE(statusIs("a", "online"));
    ASSERT_TRUE(itemsAre("a", names));
    const std::map<std::string, nlohmann::json> documents = items("a");
    for (const nlohmann::json& item : listed) {
        EXPECT_EQ(withoutProperties(documents.at(item.at("name"))), item);
    }
    const ProcessResult show = runCamexpert({"show", "--json", "gev0-cam0"});
    ASSERT_EQ(show.exitStatus, 0) << show.err;
    EXPECT_EQ(documents.at("gev0-cam0"), nlohmann::json::parse(show.out));
}

TEST_F(BrokerTest, EditingTheScenarioUpdatesAndClearsTheRightTopicsAndTellsTheEvents) {
    const std::string scenario = files.write(
        "scenario.json", scenarios::of(scenarios::networkCamera() + "," + kOddlyNamedCamera));
    const auto program = publisher("a", scenario);
    ASSERT_TRUE(itemsAre("a", {"gev0-cam0", kOddlyNamedTopic}));
    EXPECT_EQ(items("a").at(kOddlyNamedTopic).at("name"), "lab/cam+1#%");
    MqttProbe events(broker.port());
    events.subscribe("camexpert/a/events");

    files.write("scenario.json",
                scenarios::of(scenarios::networkCamera("192.168.10.42"), scenarios::kFrameGrabber));
    ASSERT_TRUE(itemsAre("a", {"gev0-cam0", "clfg0"}));
    EXPECT_TRUE(
        waitUntil([&] { return items("a").at("gev0-cam0").at("address") == "192.168.10.42"; }));
    EXPECT_EQ(items("a").at("clfg0").at("kind"), "frame grabber");

    // One line per notification, as watch --json prints it.
    std::map<std::string, nlohmann::json> told;
    while (told.size() < 3) {
        const auto message = events.next(std::chrono::seconds(kPatience));
        ASSERT_TRUE(message) << "events so far: " << told.size();
        const nlohmann::json event = nlohmann::json::parse(message->second);
        told[event.at("event")] = event;
    }
    EXPECT_EQ(told.at("added").at("names"), nlohmann::json{"clfg0"});
    EXPECT_EQ(told.at("removed").at("names"), nlohmann::json{"lab/cam+1#%"});
    EXPECT_EQ(told.at("changed").at("changes")[0].at("to"), "192.168.10.42");
}

TEST_F(BrokerTest, AKilledPublisherIsOfflineThroughItsLastWill) {
    const auto program = publisher("a");
    ASSERT_TRUE(statusIs("a", "online"));
    program->sendSignal(SIGKILL);
    EXPECT_TRUE(statusIs("a", "offline"));
}

TEST_F(BrokerTest, AStoppedPublisherSaysOfflineAndEndsCleanly) {
    const auto program = publisher("a");
    ASSERT_TRUE(statusIs("a", "online"));
    program->sendSignal(SIGTERM);
    const ProcessResult end = program->finish();
    EXPECT_EQ(end.signal, 0);
    EXPECT_EQ(end.exitStatus, 0);
    EXPECT_THAT(end.err, IsEmpty());
    EXPECT_EQ(status("a"), "offline");
}

TEST_F(BrokerTest, ABrokerThatComesBackEmptyGetsTheSamePictureAgain) {
    const auto program = publisher("a");
    ASSERT_TRUE(statusIs("a", "online"));
    ASSERT_TRUE(waitUntil([&] { return items("a").size() == 11; }));
    const std::map<std::string, nlohmann::json> before = items("a");

    broker.stop();
    ASSERT_EQ(broker.start(), "");
    EXPECT_TRUE(statusIs("a", "online"));
    EXPECT_TRUE(waitUntil([&] { return items("a") == before; }));

    program->sendSignal(SIGTERM);
    const ProcessResult end = program->finish();
    EXPECT_EQ(end.exitStatus, 0);
    EXPECT_EQ(end.err, "camexpert: Lost the connection to the MQTT broker at " + broker.address() +
                           " (the connection was lost); trying again.\n");
}

TEST_F(BrokerTest, FleetMergesTwoPublishers) {
    const std::string scenario = files.write("scenario.json", scenarios::of(kOddlyNamedCamera));
    const auto a = publisher("a");
    const auto b = publisher("b", scenario);
    ASSERT_TRUE(statusIs("b", "online"));
    ASSERT_TRUE(statusIs("a", "online"));
    ASSERT_TRUE(waitUntil([&] { return items("a").size() == 11 && items("b").size() == 1; }));

    const ProcessResult json = runCamexpert({"fleet", "--broker", broker.address(), "--json"});
    ASSERT_EQ(json.exitStatus, 0) << json.err;
    const nlohmann::json nodes = nlohmann::json::parse(json.out).at("nodes");
    ASSERT_EQ(nodes.size(), 2u) << json.out;
    EXPECT_EQ(nodes[0].at("node"), "a");
    EXPECT_EQ(nodes[0].at("status"), "online");
    EXPECT_EQ(nodes[0].at("items").size(), 11u);
    EXPECT_EQ(nodes[1].at("node"), "b");
    EXPECT_EQ(nodes[1].at("items"), nlohmann::json::parse(R"([{"name": "lab/cam+1#%",
        "kind": "camera", "bus": "USB3", "busClass": "USB", "vendor": "Lumora",
        "model": "LightCam", "serialNumber": "2E3F1001", "address": null}])"));

    const ProcessResult text = runCamexpert({"fleet", "--broker", broker.address()});
    EXPECT_EQ(text.exitStatus, 0) << text.err;
    EXPECT_THAT(text.out, HasSubstr("\nb     online  lab/cam+1#%"));
    EXPECT_THAT(text.out, HasSubstr("\n2 nodes: 2 online, 0 offline; 12 items: 10 cameras, 2 "
                                    "frame grabbers\n"));

    // Watching, the death of a publisher shows.
    RunningCamexpert watch({"fleet", "--broker", broker.address(), "--json", "--watch"});
    std::string line;
    ASSERT_TRUE(watch.readLine(&line));
    EXPECT_EQ(nlohmann::json::parse(line).at("nodes")[1].at("status"), "online");
    b->sendSignal(SIGKILL);
    ASSERT_TRUE(watch.readLine(&line));
    EXPECT_EQ(nlohmann::json::parse(line).at("nodes")[1].at("status"), "offline");
    watch.sendSignal(SIGINT);
    EXPECT_EQ(watch.finish().exitStatus, 0);
}

} // namespace
