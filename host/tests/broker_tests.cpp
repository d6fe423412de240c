// publish and fleet against a real MQTT broker: the retained picture a
// publisher leaves is the inventory list and show print, follows the
// scenario, survives the broker going away, and turns offline when the
// publisher dies; fleet merges what several publishers leave. Both log in
// over TLS, and each wrong credential is refused with a clear sentence.
#include "HostProcess.h"
#include "MqttBroker.h"
#include "Scenarios.h"
#include "TempDirectory.h"
#include "Waiting.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <signal.h>
#include <unistd.h>

#include <cstdlib>
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
    for (const Case& refused : cases) {
        SCOPED_TRACE(refused.message);
        const ProcessResult fleet =
            runCamexpert(joined({"fleet"}, options(refused.cafile, refused.passwordFile)));
        EXPECT_EQ(fleet.exitStatus, refused.exitStatus);
        EXPECT_EQ(fleet.err, "camexpert: " + refused.message + "\n");
        EXPECT_THAT(fleet.out, IsEmpty());
    }
}

} // namespace
