// publish and fleet against a real MQTT broker: the retained picture a
// publisher leaves is the inventory list and show print, follows the
// scenario, survives the broker going away, and turns offline when the
// publisher dies; fleet merges what several publishers leave. Both log in
// over TLS, and each wrong credential is refused with a clear sentence.
#include "HostProcess.h"
#include "MqttBroker.h"
#include "NotifySocket.h"
#include "Scenarios.h"
#include "TempDirectory.h"
#include "Waiting.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
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

    // The node's retained status document; null when there is none.
    nlohmann::json statusDocument(const std::string& node) {
        const auto retained = MqttProbe::retained(broker.port(), "camexpert/" + node + "/status");
        return retained.empty() ? nlohmann::json()
                                : nlohmann::json::parse(retained.begin()->second);
    }

    std::string status(const std::string& node) {
        const nlohmann::json document = statusDocument(node);
        return document.is_object() ? document.at("state").get<std::string>() : "";
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

    // The node as a publisher of one network camera left it when it stopped;
    // the path of that scenario file.
    std::string publishedAndStopped(const std::string& node) {
        const std::string scenario =
            files.write("scenario.json", scenarios::of(scenarios::networkCamera()));
        const auto program = publisher(node, scenario);
        EXPECT_TRUE(itemsAre(node, {"gev0-cam0"}));
        program->sendSignal(SIGTERM);
        EXPECT_EQ(program->finish().exitStatus, 0);
        return scenario;
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
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        const auto program = publisher("a");
        ASSERT_TRUE(statusIs("a", "online"));
        program->sendSignal(signal);
        const ProcessResult end = program->finish();
        EXPECT_EQ(end.signal, 0);
        EXPECT_EQ(end.exitStatus, 0);
        EXPECT_EQ(end.err,
                  "camexpert: Connected to the MQTT broker at " + broker.address() + ".\n");
        EXPECT_EQ(status("a"), "offline");
    }
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
    const std::string at = "the MQTT broker at " + broker.address();
    EXPECT_EQ(end.err, "camexpert: Connected to " + at +
                           ".\n"
                           "camexpert: Lost the connection to " +
                           at +
                           " (the connection was lost); trying again.\n"
                           "camexpert: Reconnected to " +
                           at + ".\n");
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

// "2026-12-10T03:05:00Z", the given time before now.
std::string utcTimeAgo(std::chrono::seconds ago) {
    const time_t when =
        std::chrono::system_clock::to_time_t(std::chrono::system_clock::now() - ago);
    struct tm utc {};
    gmtime_r(&when, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

TEST_F(BrokerTest, ASecondPublisherOfALiveNodeLeavesItAloneAndSaysWhy) {
    const auto first = publisher("a");
    ASSERT_TRUE(statusIs("a", "online"));
    ASSERT_TRUE(waitUntil([&] { return items("a").size() == 11; }));
    const nlohmann::json owner = statusDocument("a");

    const std::string scenario = files.write("scenario.json", scenarios::of(kOddlyNamedCamera));
    const ProcessResult second = publisher("a", scenario)->finish();
    EXPECT_EQ(second.exitStatus, 1);
    EXPECT_EQ(second.err, "camexpert: Connected to the MQTT broker at " + broker.address() +
                              ".\ncamexpert: The node 'a' is published by another camexpert "
                              "(session " +
                              owner.at("session").get<std::string>() + ") since " +
                              owner.at("started").get<std::string>() + ", last seen " +
                              owner.at("seen").get<std::string>() +
                              "; give this controller a name of its own with --node NAME.\n");
    EXPECT_EQ(items("a").size(), 11u);
    EXPECT_EQ(statusDocument("a").at("session"), owner.at("session"));
    EXPECT_EQ(status("a"), "online");
}

TEST_F(BrokerTest, ANodeIsTakenFromAnOwnerThatDiedOnly) {
    const struct {
        std::string state;
        std::chrono::seconds seenAgo;
        bool taken;
    } cases[] = {
        {"online", std::chrono::seconds(0), false},
        {"error", std::chrono::seconds(0), false},
        {"online", std::chrono::hours(1), true}, // its heartbeat is stale
        {"offline", std::chrono::seconds(0), true},
    };
    const std::string scenario = files.write("scenario.json", scenarios::of(kOddlyNamedCamera));
    MqttProbe probe(broker.port());
    int number = 0;
    for (const auto& c : cases) {
        const std::string node = "n" + std::to_string(number++);
        SCOPED_TRACE(node + " " + c.state);
        const std::string seen = utcTimeAgo(c.seenAgo);
        probe.publish("camexpert/" + node + "/status",
                      R"({"state": ")" + c.state + R"(", "session": "0dead", "version": "1",
                          "started": ")" +
                          seen + R"(", "seen": ")" + seen +
                          R"(", "heartbeatSec": 30, "reason": null})",
                      true);
        probe.publish("camexpert/" + node + "/items/old-cam", "{}", true);
        const auto program = publisher(node, scenario);
        if (c.taken) {
            EXPECT_TRUE(itemsAre(node, {kOddlyNamedTopic}));
            EXPECT_NE(statusDocument(node).at("session"), "0dead");
            EXPECT_EQ(status(node), "online");
        } else {
            EXPECT_EQ(program->finish().exitStatus, 1);
            EXPECT_TRUE(itemsAre(node, {"old-cam"}));
            EXPECT_EQ(statusDocument(node).at("session"), "0dead");
        }
    }
}

// A driver that reports its devices only a while after it starts: the
// restarted publisher waits for them before it touches the node's items.
TEST_F(BrokerTest, ARestartOverALateDriverClearsNothingAndTellsNoEvent) {
    const std::string scenario = publishedAndStopped("a");
    const std::string camera = scenarios::of(scenarios::networkCamera());
    files.write("scenario.json", scenarios::of(""));
    MqttProbe watcher(broker.port());
    watcher.subscribe("camexpert/a/#");
    RunningCamexpert restarted({"--ini", ini, "--scenario", scenario, "--settle", "60", "publish",
                                "--broker", broker.address(), "--node", "a"});
    ASSERT_TRUE(statusIs("a", "online"));
    files.write("scenario.json", camera);
    ASSERT_TRUE(waitUntil([&] {
        const auto message = watcher.next(std::chrono::seconds(1));
        return message && message->first == "camexpert/a/items/gev0-cam0";
    })) << "the settled item is published again";
    restarted.sendSignal(SIGTERM);
    ASSERT_EQ(restarted.finish().exitStatus, 0);
    // Everything the publisher sent came before its offline status.
    for (;;) {
        const auto message = watcher.next(std::chrono::seconds(kPatience));
        ASSERT_TRUE(message);
        EXPECT_NE(message->first, "camexpert/a/events") << message->second;
        EXPECT_NE(message->second, "") << message->first << " was cleared";
        if (message->first == "camexpert/a/status" &&
            nlohmann::json::parse(message->second).at("state") == "offline") {
            break;
        }
    }
    EXPECT_TRUE(itemsAre("a", {"gev0-cam0"}));
}

TEST_F(BrokerTest, ABrokenScenarioShowsErrorKeepsTheItemsAndIsTriedAgain) {
    const std::string scenario = publishedAndStopped("a");
    files.write("scenario.json", "{\"cameras\": [");
    const auto program = publisher("a", scenario);
    ASSERT_TRUE(statusIs("a", "error"));
    EXPECT_THAT(statusDocument("a").at("reason").get<std::string>(),
                HasSubstr("Cannot use the scenario " + scenario));
    EXPECT_TRUE(itemsAre("a", {"gev0-cam0"}));

    files.write("scenario.json",
                scenarios::of(scenarios::networkCamera(), scenarios::kFrameGrabber));
    EXPECT_TRUE(statusIs("a", "online"));
    EXPECT_TRUE(itemsAre("a", {"gev0-cam0", "clfg0"}));
    EXPECT_TRUE(statusDocument("a").at("reason").is_null());
}

TEST_F(BrokerTest, FleetForgetClearsGoneNodesOnly) {
    const auto live = publisher("live");
    const auto gone = publisher("gone");
    ASSERT_TRUE(
        waitUntil([&] { return items("live").size() == 11 && items("gone").size() == 11; }));
    gone->sendSignal(SIGTERM);
    ASSERT_EQ(gone->finish().exitStatus, 0);

    const struct {
        std::vector<std::string> nodes;
        int exitStatus;
        std::string out;
        std::string err;
    } cases[] = {
        {{"gone", "live"},
         1,
         "",
         "camexpert: The node 'live' is live (online, last seen " +
             statusDocument("live").at("seen").get<std::string>() +
             "): stop its publisher first; nothing was forgotten.\n"},
        {{"nobody"},
         1,
         "",
         "camexpert: The MQTT broker at " + broker.address() +
             " holds nothing of node 'nobody' under camexpert; nothing was forgotten.\n"},
        {{"gone"}, 0, "Forgot node 'gone' and its 11 items.\n", ""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments{"fleet", "--broker", broker.address(), "forget"};
        arguments.insert(arguments.end(), c.nodes.begin(), c.nodes.end());
        const ProcessResult forget = runCamexpert(arguments);
        EXPECT_EQ(forget.exitStatus, c.exitStatus) << c.nodes[0];
        EXPECT_EQ(forget.out, c.out);
        EXPECT_EQ(forget.err, c.err);
    }
    EXPECT_TRUE(itemsAre("gone", {}));
    EXPECT_EQ(status("gone"), "");
    EXPECT_EQ(items("live").size(), 11u);
}

TEST_F(BrokerTest, FleetFiltersAndTellsChangesALineEach) {
    const std::string scenario = files.write("scenario.json", scenarios::of(kOddlyNamedCamera));
    const auto a = publisher("a");
    const auto b = publisher("b", scenario);
    ASSERT_TRUE(waitUntil([&] { return items("a").size() == 11 && items("b").size() == 1; }));

    const struct {
        std::vector<std::string> filters;
        std::string out;
    } cases[] = {
        {{"-q", "--node", "b"}, "b\tlab/cam+1#%\n"},
        {{"-q", "gev*", "LAB*"}, "a\tgev0-cam0\nb\tlab/cam+1#%\n"},
        {{"-q", "--kind", "grabber", "--node", "[ab]"}, "a\tclfg0\na\tcxpfg0\n"},
        {{"-q", "--bus", "network"}, "a\tgev0-cam0\na\tipcam0\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments{"fleet", "--broker", broker.address()};
        arguments.insert(arguments.end(), c.filters.begin(), c.filters.end());
        const ProcessResult fleet = runCamexpert(arguments);
        EXPECT_EQ(fleet.exitStatus, 0) << fleet.err;
        EXPECT_EQ(fleet.out, c.out) << c.filters[1];
    }

    RunningCamexpert watch(
        {"fleet", "--broker", broker.address(), "--json", "--watch", "--changes", "--node", "b"});
    std::string line;
    ASSERT_TRUE(watch.readLine(&line));
    EXPECT_EQ(nlohmann::json::parse(line).at("nodes").size(), 1u) << "the picture first";
    files.write("scenario.json", scenarios::of(kOddlyNamedCamera + "," + scenarios::kUsbCamera));
    ASSERT_TRUE(watch.readLine(&line));
    nlohmann::json change = nlohmann::json::parse(line);
    EXPECT_EQ(change.at("node"), "b");
    EXPECT_EQ(change.at("event"), "added");
    EXPECT_EQ(change.at("item").at("name"), "usb3-1.2");
    b->sendSignal(SIGTERM);
    ASSERT_TRUE(watch.readLine(&line));
    change = nlohmann::json::parse(line);
    EXPECT_EQ(change.at("event"), "state");
    EXPECT_EQ(change.at("state"), "offline");
    watch.sendSignal(SIGINT);
    EXPECT_EQ(watch.finish().exitStatus, 0);
}

TEST_F(BrokerTest, TheServiceManagerHearsReadyOnceTheNodeIsPublishedAndTheWatchdogFed) {
    const std::string path = files.path("notify");
    NotifySocket manager(path);
    setenv("NOTIFY_SOCKET", path.c_str(), 1);
    setenv("WATCHDOG_USEC", "400000", 1);
    const auto program = publisher("a");
    unsetenv("NOTIFY_SOCKET");
    unsetenv("WATCHDOG_USEC");

    const std::string ready = manager.next();
    EXPECT_EQ(ready, "READY=1\nSTATUS=Publishing node 'a' to " + broker.address());
    EXPECT_EQ(items("a").size(), 11u) << "ready comes after the items";
    EXPECT_EQ(manager.next(), "WATCHDOG=1");
    EXPECT_EQ(manager.next(), "WATCHDOG=1");
    program->sendSignal(SIGTERM);
    EXPECT_EQ(manager.next(), "STOPPING=1");
    EXPECT_EQ(program->finish().exitStatus, 0);
}

// A broker that takes only TLS connections that log in, with a CA, a server
// certificate for 127.0.0.1 and a password file made for the test, and a
// second CA that signed nothing the broker shows.
class SecureBrokerTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* program : {"/usr/bin/openssl", "/usr/bin/mosquitto_passwd"}) {
            if (access(program, X_OK) != 0) {
                GTEST_SKIP() << program << " is not installed (Debian packages openssl, mosquitto)";
            }
        }
        const std::string key = "-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2";
        ASSERT_TRUE(shell("openssl req -x509 " + key + " -keyout ca.key -out ca.crt -subj /CN=ca"));
        ASSERT_TRUE(shell("openssl req -x509 " + key +
                          " -keyout other.key -out other.crt -subj /CN=other"));
        ASSERT_TRUE(shell("openssl req -x509 -CA ca.crt -CAkey ca.key " + key +
                          " -keyout server.key -out server.crt -subj /CN=127.0.0.1"
                          " -addext subjectAltName=IP:127.0.0.1"));
        ASSERT_TRUE(shell("mosquitto_passwd -c -b passwd alice s3cret"));
        password = files.write("password", "s3cret\n"); // as an editor leaves it
        login = {files.path("ca.crt"), "alice", "s3cret"};

        broker = std::make_unique<MqttBroker>(
            "cafile " + files.path("ca.crt") + "\ncertfile " + files.path("server.crt") +
            "\nkeyfile " + files.path("server.key") + "\nallow_anonymous false\npassword_file " +
            files.path("passwd") + "\n");
        const std::string problem = broker->start();
        if (!problem.empty()) {
            GTEST_SKIP() << "no MQTT broker to test with: " << problem;
        }
    }

    // Runs the command in the test's folder, its output in a log there.
    bool shell(const std::string& command) {
        return std::system(
                   ("cd " + files.path() + " && " + command + " >>tools.log 2>&1").c_str()) == 0;
    }

    // The connection options, with the CA file and password file given.
    std::vector<std::string> options(const std::string& cafile, const std::string& passwordFile) {
        return {"--broker",   broker->address(), "--cafile",        cafile,
                "--username", "alice",           "--password-file", passwordFile};
    }

    TempDirectory files;
    std::string password;
    MqttLogin login;
    std::unique_ptr<MqttBroker> broker;
};

std::vector<std::string> joined(std::vector<std::string> first,
                                const std::vector<std::string>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

TEST_F(SecureBrokerTest, PublishAndFleetLogInOverTls) {
    const std::vector<std::string> connection = options(files.path("ca.crt"), password);
    RunningCamexpert publisher(joined({"publish", "--node", "a"}, connection));
    std::map<std::string, std::string> retained;
    ASSERT_TRUE(waitUntil([&] {
        retained = MqttProbe::retained(broker->port(), "camexpert/a/items/+", login);
        return retained.size() == 11;
    }));
    EXPECT_EQ(nlohmann::json::parse(retained.at("camexpert/a/items/gev0-cam0")).at("name"),
              "gev0-cam0");

    const ProcessResult fleet = runCamexpert(joined({"fleet", "--json"}, connection));
    ASSERT_EQ(fleet.exitStatus, 0) << fleet.err;
    const nlohmann::json nodes = nlohmann::json::parse(fleet.out).at("nodes");
    ASSERT_EQ(nodes.size(), 1u) << fleet.out;
    EXPECT_EQ(nodes[0].at("status"), "online");
    EXPECT_EQ(nodes[0].at("items").size(), 11u);

    // A broker that comes back empty gets the whole picture again, over TLS
    // as over plain TCP.
    broker->stop();
    ASSERT_EQ(broker->start(), "");
    EXPECT_TRUE(waitUntil([&] {
        return MqttProbe::retained(broker->port(), "camexpert/a/items/+", login).size() == 11;
    }));
    publisher.sendSignal(SIGTERM);
    const ProcessResult end = publisher.finish();
    EXPECT_EQ(end.exitStatus, 0);
    EXPECT_THAT(end.err, HasSubstr("camexpert: Reconnected to the MQTT broker at " +
                                   broker->address() + ".\n"));
}

TEST_F(SecureBrokerTest, WrongCredentialsAreRefusedWithOneSentence) {
    const std::string wrongPassword = files.write("wrong", "s3cret \n");
    const std::string notACertificate = files.write("notes.pem", "s3cret\n");
    const std::string at = "MQTT broker at " + broker->address();
    struct Case {
        std::string cafile;
        std::string passwordFile;
        int exitStatus;
        std::string message; // after "camexpert: "
    };
    const Case cases[] = {
        {files.path("ca.crt"), wrongPassword, 1,
         "The " + at + " refuses the connection: not authorised."},
        {files.path("none.crt"), password, 2,
         "there is no file '" + files.path("none.crt") +
             "': --cafile needs the path of a PEM file of CA certificates"},
        {notACertificate, password, 2,
         "'" + notACertificate +
             "' holds no PEM certificate: --cafile needs the path of a PEM file of CA "
             "certificates"},
        {files.path("other.crt"), password, 1,
         "Cannot reach the " + at + ": TLS failed (certificate verify failed)."},
        {files.path("ca.crt"), files.path(), 2,
         "'" + files.path() +
             "' is a directory: --password-file needs the path of a file holding the password"},
    };
    // Both end at once rather than trying again: a service manager shows why.
    for (const Case& refused : cases) {
        for (const char* command : {"fleet", "publish"}) {
            SCOPED_TRACE(std::string(command) + ": " + refused.message);
            const ProcessResult ended = runCamexpert(
                joined({command}, options(refused.cafile, refused.passwordFile)), kPatience);
            EXPECT_EQ(ended.exitStatus, refused.exitStatus);
            EXPECT_EQ(ended.err, "camexpert: " + refused.message + "\n");
            EXPECT_THAT(ended.out, IsEmpty());
        }
    }
}

// A listener on 127.0.0.1 that takes each connection and hangs up at once,
// as a broker does while it starts or stops.
class HangingUpListener {
public:
    HangingUpListener() {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        m_fd = socket(AF_INET, SOCK_STREAM, 0);
        if (bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            listen(m_fd, 8) != 0 ||
            getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            throw std::runtime_error("cannot listen on 127.0.0.1");
        }
        m_port = ntohs(address.sin_port);
    }
    ~HangingUpListener() { close(m_fd); }

    std::string address() const { return "127.0.0.1:" + std::to_string(m_port); }

    // Waits for the next connection and closes it; false after the limit.
    bool hangUpNext() {
        pollfd readable{m_fd, POLLIN, 0};
        if (poll(&readable, 1, int(std::chrono::milliseconds(kPatience).count())) != 1) {
            return false;
        }
        close(accept(m_fd, nullptr, nullptr));
        return true;
    }

private:
    int m_fd = -1;
    int m_port = 0;
};

double childrenCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Over TLS as over plain TCP, a broker that is not there costs no CPU: the
// publisher waits, half a second and then twice as long each time.
TEST_F(SecureBrokerTest, ATlsPublisherWithoutItsBrokerWaitsWithoutSpinning) {
    HangingUpListener listener;
    const std::vector<std::string> connection = {"--broker", listener.address(), "--cafile",
                                                 files.path("ca.crt")};
    const double cpuBefore = childrenCpuSeconds();
    RunningCamexpert publisher(joined({"publish", "--node", "a"}, connection));
    const auto start = std::chrono::steady_clock::now();
    for (int attempt = 0; attempt < 5; ++attempt) {
        ASSERT_TRUE(listener.hangUpNext()) << "attempt " << attempt;
    }
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(7000)) << "0.5 + 1 + 2 + 4 s between attempts";
    publisher.sendSignal(SIGTERM);
    const ProcessResult end = publisher.finish();
    EXPECT_EQ(end.exitStatus, 0);
    EXPECT_LT(childrenCpuSeconds() - cpuBefore, 1.0) << end.err;
    EXPECT_EQ(end.err, "camexpert: Cannot reach the MQTT broker at " + listener.address() +
                           ": TLS failed (unexpected eof while reading); trying again.\n");

    // A closed port is refused as quickly as over plain TCP.
    broker->stop();
    const ProcessResult fleet =
        runCamexpert(joined({"fleet"}, options(files.path("ca.crt"), password)));
    EXPECT_EQ(fleet.exitStatus, 1);
    EXPECT_EQ(fleet.err, "camexpert: Cannot reach the MQTT broker at " + broker->address() +
                             ": connection refused.\n");
}

} // namespace
