// camexpert serve run as a user runs it, asked over HTTP on 127.0.0.1: who
// may listen where, basic authentication, HTTPS, the JSON API of this
// controller and of a fleet on a real broker, two event streams following a
// scenario, the requests refused before any path is looked at, and a broker
// message that is no document.
#include "MqttBroker.h"
#include "NotifySocket.h"
#include "Scenarios.h"
#include "ServedProgram.h"
#include "TempDirectory.h"
#include "Waiting.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <signal.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

using Json = nlohmann::ordered_json;

class ServeTest : public ::testing::Test {
protected:
    void SetUp() override { ini = files.write("fast.ini", refreshPeriodIni(1)); }

    // serve of this controller's simulated driver with the scenario given.
    std::vector<std::string> local(const std::string& scenario,
                                   const std::vector<std::string>& more = {}) {
        std::vector<std::string> arguments{"--ini",  ini,     "--scenario", scenario,     "serve",
                                           "--node", "bench", "--listen",   "127.0.0.1:0"};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return arguments;
    }

    // Runs the command in the test's folder, its output in a log there.
    bool shell(const std::string& command) {
        return std::system(
                   ("cd " + files.path() + " && " + command + " >>tools.log 2>&1").c_str()) == 0;
    }

    static Json json(const httplib::Result& result) {
        return result ? Json::parse(result->body, nullptr, false) : Json();
    }

    // /api/nodes once its first node has so many items, or as it is when
    // that does not come.
    template <typename Client>
    static Json nodesOnceOneHas(Client& client, size_t items) {
        Json nodes;
        waitUntil([&] {
            nodes = json(client.Get("/api/nodes"));
            return nodes["nodes"].size() >= 1 && nodes["nodes"][0]["items"].size() == items;
        });
        return nodes;
    }

    static std::vector<std::string> keys(const Json& object) {
        std::vector<std::string> names;
        for (auto entry = object.begin(); entry != object.end(); ++entry) {
            names.push_back(entry.key());
        }
        return names;
    }

    // Ends the program with SIGTERM, as systemd does; it must end by itself.
    static void stop(ServedProgram& served) {
        served.program().sendSignal(SIGTERM);
        EXPECT_EQ(served.program().finish(std::chrono::seconds(10)).exitStatus, 0);
    }

    TempDirectory files;
    std::string ini;
};

bool hasOpenssl() {
    return access("/usr/bin/openssl", X_OK) == 0;
}

// A crypt(3) hash of the password, as openssl passwd -6 makes it.
std::string passwordHash(const std::string& password) {
    FILE* openssl = popen(("openssl passwd -6 " + password).c_str(), "r");
    std::string hash;
    char chunk[256];
    while (openssl != nullptr && std::fgets(chunk, sizeof chunk, openssl) != nullptr) {
        hash += chunk;
    }
    if (openssl != nullptr) {
        pclose(openssl);
    }
    return hash.substr(0, hash.find('\n'));
}

TEST_F(ServeTest, ListensOnLoopbackUnlessToldWhoMayLook) {
    if (!hasOpenssl()) {
        GTEST_SKIP() << "/usr/bin/openssl is not installed (Debian package openssl)";
    }
    const std::string good = files.write("good", "alice:" + passwordHash("s3cret") + "\n");
    const std::string noHash = files.write("no-hash", "# users\n\nalice:s3cret\n");
    const std::string noUser = files.write("no-user", ":$6$salt$hash\n");
    const std::string twice = files.write("twice", "alice:$6$a$b\nbob:$6$c$d\nalice:$6$e$f\n");
    const std::string scenario = files.write("bench.json", scenarios::of(scenarios::kUsbCamera));
    struct Case {
        std::vector<std::string> options;
        int status; // 0: it serves, with this beginning of its line
        std::string told;
    };
    const Case cases[] = {
        {{}, 0, "camexpert: Serving http://127.0.0.1:"},
        {{"--listen", "localhost:0"}, 0, "camexpert: Serving http://localhost:"},
        {{"--listen", "0.0.0.0:0"},
         2,
         "camexpert: --listen 0.0.0.0:0 serves beyond this machine: give --password-file FILE "
         "to ask for a password, or --no-auth to serve anyone who reaches it.\n"},
        {{"--listen", "0.0.0.0:0", "--no-auth"}, 0, "camexpert: Serving http://0.0.0.0:"},
        {{"--listen", "0.0.0.0:0", "--password-file", good},
         0,
         "camexpert: Serving http://0.0.0.0:"},
        {{"--listen", "0.0.0.0:0", "--password-file", good, "--no-auth"},
         2,
         "camexpert: --password-file and --no-auth exclude each other: give one of them.\n"},
        {{"--password-file", noHash},
         2,
         "camexpert: Line 3 of the password file " + noHash +
             " is not USER:HASH with a crypt(3) hash ($6$, $5$, $y$, $2b$ or $2y$; openssl "
             "passwd -6 makes one).\n"},
        {{"--password-file", noUser},
         2,
         "camexpert: Line 1 of the password file " + noUser +
             " is not USER:HASH with a crypt(3) hash ($6$, $5$, $y$, $2b$ or $2y$; openssl "
             "passwd -6 makes one).\n"},
        {{"--password-file", twice},
         2,
         "camexpert: Line 3 of the password file " + twice +
             " names the user alice again, first named on line 1: give each user one line.\n"},
        {{"--listen", "8480"},
         2,
         "camexpert: --listen must be ADDRESS:PORT or [IPv6]:PORT, with a port from 0 to 65535 "
         "(0 picks a free one).\n"},
        {{"--tls-cert", good},
         2,
         "camexpert: --tls-cert and --tls-key go together: HTTPS needs the certificate and its "
         "key.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.options));
        const std::vector<std::string> arguments = local(scenario, c.options);
        if (c.status != 0) {
            const ProcessResult result = runCamexpert(arguments);
            EXPECT_EQ(result.exitStatus, c.status);
            EXPECT_EQ(result.err, c.told);
            continue;
        }
        ServedProgram served(arguments);
        EXPECT_THAT(served.line(), StartsWith(c.told));
        EXPECT_THAT(served.line(), HasSubstr("(this controller, node bench)."));
        stop(served);
    }
    // Without --listen, the address is the loopback one.
    EXPECT_THAT(runCamexpert({"serve", "--help"}).out, HasSubstr("127.0.0.1:8480"));
}

TEST_F(ServeTest, BasicAuthenticationAdmitsOnlyTheRightPassword) {
    if (!hasOpenssl()) {
        GTEST_SKIP() << "/usr/bin/openssl is not installed (Debian package openssl)";
    }
    const std::string users =
        files.write("users", "# who may look\nalice:" + passwordHash("s3cret") + " \t\r\n");
    const std::string scenario = files.write("bench.json", scenarios::of(scenarios::kUsbCamera));
    ServedProgram served(local(scenario, {"--password-file", users}));
    ASSERT_TRUE(served.serving()) << served.logBefore();
    struct Case {
        std::string user;
        std::string password;
        int status;
    };
    for (const Case& c :
         {Case{"", "", 401}, Case{"alice", "wrong", 401}, Case{"bob", "s3cret", 401},
          Case{"alice", "s3cret", 200}, Case{"alice", "s3cret", 200}}) {
        SCOPED_TRACE(c.user + ":" + c.password);
        httplib::Client client = served.client();
        if (!c.user.empty()) {
            client.set_basic_auth(c.user.c_str(), c.password.c_str());
        }
        const httplib::Result result = client.Get("/api/nodes");
        ASSERT_TRUE(result);
        EXPECT_EQ(result->status, c.status);
        if (c.status == 401) {
            EXPECT_EQ(result->get_header_value("WWW-Authenticate"), "Basic realm=\"camexpert\"");
        }
    }
    stop(served);
}

TEST_F(ServeTest, ServesHttpsWithItsCertificate) {
    if (!hasOpenssl()) {
        GTEST_SKIP() << "/usr/bin/openssl is not installed (Debian package openssl)";
    }
    ASSERT_TRUE(shell("openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes "
                      "-days 2 -keyout web.key -out web.crt -subj /CN=127.0.0.1 "
                      "-addext subjectAltName=IP:127.0.0.1"));
    const std::string scenario = files.write("bench.json", scenarios::of(scenarios::kUsbCamera));
    ServedProgram served(
        local(scenario, {"--tls-cert", files.path("web.crt"), "--tls-key", files.path("web.key")}));
    ASSERT_TRUE(served.serving()) << served.logBefore();
    EXPECT_THAT(served.line(), StartsWith("camexpert: Serving https://127.0.0.1:"));
    httplib::SSLClient client("127.0.0.1", served.port());
    client.set_ca_cert_path(files.path("web.crt").c_str());
    client.enable_server_certificate_verification(true);
    const httplib::Result result = client.Get("/api/nodes");
    ASSERT_TRUE(result) << httplib::to_string(result.error());
    EXPECT_EQ(result->status, 200);
    EXPECT_EQ(nodesOnceOneHas(client, 1)["nodes"][0]["node"], "bench");
    EXPECT_FALSE(served.client().Get("/api/nodes")) << "no plain HTTP on the HTTPS port";

    const ProcessResult wrong = runCamexpert(
        local(scenario, {"--tls-cert", files.path("web.key"), "--tls-key", files.path("web.crt")}));
    EXPECT_EQ(wrong.exitStatus, 1);
    EXPECT_THAT(wrong.err, HasSubstr("Cannot serve HTTPS with the certificate"));
    stop(served);
}

TEST_F(ServeTest, AnswersThisControllersPictureAsJson) {
    const std::string scenario = files.write(
        "bench.json", scenarios::of(scenarios::networkCamera() + "," + scenarios::kUsbCamera,
                                    scenarios::kFrameGrabber));
    ServedProgram served(local(scenario));
    ASSERT_TRUE(served.serving()) << served.logBefore();
    httplib::Client client = served.client();
    const Json nodes = nodesOnceOneHas(client, 3);
    ASSERT_EQ(nodes["nodes"].size(), 1u) << nodes;
    const Json& node = nodes["nodes"][0];
    EXPECT_THAT(keys(nodes), ElementsAre("nodes"));
    EXPECT_THAT(keys(node), ElementsAre("node", "status", "lastSeen", "reason", "items"));
    EXPECT_EQ(node["node"], "bench");
    EXPECT_EQ(node["status"], "online");
    EXPECT_TRUE(node["reason"].is_null());
    EXPECT_THAT(keys(node["items"][0]), ElementsAre("name", "kind", "bus", "busClass", "vendor",
                                                    "model", "serialNumber", "address"));
    EXPECT_EQ(node["items"][0]["name"], "gev0-cam0");
    EXPECT_EQ(node["items"][2]["kind"], "frame grabber");

    EXPECT_EQ(json(client.Get("/api/nodes/bench")), node);
    const Json item = json(client.Get("/api/nodes/bench/items/gev0-cam0"));
    EXPECT_EQ(item["address"], "192.168.10.21");
    EXPECT_GT(item["properties"].size(), 10u);
    EXPECT_EQ(json(client.Get("/api/nodes?kind=grabber"))["nodes"][0]["items"].size(), 1u);
    EXPECT_EQ(json(client.Get("/api/nodes?name=usb*&name=GEV*"))["nodes"][0]["items"].size(), 2u);
    EXPECT_EQ(json(client.Get("/api/nodes?node=other"))["nodes"].size(), 0u);

    struct Case {
        std::string path;
        int status;
        std::string error;
    };
    const Case cases[] = {
        {"/api/nodes/elsewhere", 404, "There is no node \"elsewhere\"."},
        {"/api/nodes/bench/items/none", 404, "Node \"bench\" has no item \"none\"."},
        {"/api/nodes?kind=lens", 400,
         "unknown kind 'lens': --kind must be camera, grabber or frame grabber."},
        {"/api/elsewhere", 404, "There is nothing at this path."},
    };
    for (const Case& c : cases) {
        const httplib::Result result = client.Get(c.path);
        ASSERT_TRUE(result) << c.path;
        EXPECT_EQ(result->status, c.status) << c.path;
        EXPECT_EQ(json(result)["error"], c.error) << c.path;
    }
    for (const char* page : {"/", "/nodes/bench/items/gev0-cam0"}) {
        const httplib::Result result = client.Get(page);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->get_header_value("Content-Type"), "text/html; charset=utf-8") << page;
    }
    stop(served);
}

// An event stream's reader, which collects the stream's text on a thread of
// its own until the server ends it.
class EventReader {
public:
    // From the start, or after the event lastEventId names.
    explicit EventReader(int port, const std::string& lastEventId = "")
        : m_thread([this, port, lastEventId] {
              httplib::Client client("127.0.0.1", port);
              client.set_read_timeout(std::chrono::seconds(60));
              httplib::Headers headers;
              if (!lastEventId.empty()) {
                  headers.emplace("Last-Event-ID", lastEventId);
              }
              client.Get("/api/events", headers, [this](const char* data, size_t length) {
                  std::lock_guard<std::mutex> hold(m_lock);
                  m_text.append(data, length);
                  return true;
              });
          }) {}
    ~EventReader() { m_thread.join(); }

    std::string text() const {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_text;
    }

    // The first whole event ("id: RUN-N\ndata: ...\n\n") whose data holds the
    // text, or "".
    std::string eventWith(const std::string& needle) const {
        const std::string all = text();
        for (size_t start = 0; start < all.size();) {
            const size_t end = all.find("\n\n", start);
            if (end == std::string::npos) {
                break;
            }
            const std::string event = all.substr(start, end + 2 - start);
            if (event.find(needle) != std::string::npos) {
                return event;
            }
            start = end + 2;
        }
        return "";
    }

private:
    mutable std::mutex m_lock;
    std::string m_text;
    std::thread m_thread; // last: it uses the rest
};

TEST_F(ServeTest, TwoEventStreamsSeeThePictureThenTheSameChangeAndAReturnGoesOn) {
    const std::string scenario =
        files.write("bench.json", scenarios::of(scenarios::networkCamera("192.168.10.21")));
    ServedProgram served(local(scenario));
    ASSERT_TRUE(served.serving()) << served.logBefore();
    {
        EventReader first(served.port());
        EventReader second(served.port());
        for (const EventReader* reader : {&first, &second}) {
            ASSERT_TRUE(waitUntil([&] { return reader->eventWith("\"gev0-cam0\"") != ""; }))
                << reader->text();
        }
        // The first event is the picture, whole or not yet: the rest comes
        // as events.
        EXPECT_THAT(first.text(), StartsWith("id: "));
        EXPECT_THAT(first.text(), HasSubstr("\"event\":\"present\","));

        files.write("bench.json", scenarios::of(scenarios::networkCamera("192.168.10.42")));
        ASSERT_TRUE(waitUntil([&] {
            return first.eventWith("\"changed\"") != "" && second.eventWith("\"changed\"") != "";
        })) << first.text();
        const std::string changed = first.eventWith("\"changed\"");
        EXPECT_EQ(second.eventWith("\"changed\""), changed);
        EXPECT_THAT(changed, HasSubstr("\"node\":\"bench\",\"event\":\"changed\","
                                       "\"names\":[\"gev0-cam0\"]"));
        EXPECT_THAT(changed, HasSubstr("\"from\":\"192.168.10.21\",\"to\":\"192.168.10.42\""));

        // A client that comes back with the number of its last event gets
        // what came after it instead of the picture.
        const std::string present = first.eventWith("\"present\"");
        EventReader again(served.port(), present.substr(4, present.find('\n') - 4));
        ASSERT_TRUE(waitUntil([&] { return again.eventWith("\"changed\"") != ""; }))
            << again.text();
        EXPECT_EQ(again.eventWith("\"changed\""), changed);
        EXPECT_EQ(again.eventWith("\"present\""), "");
        // An id of another run of the server, kept by a browser over a
        // restart, gets the picture.
        const std::string otherRun =
            "0000000000000000" +
            present.substr(present.find('-'), present.find('\n') - present.find('-'));
        EventReader returning(served.port(), otherRun);
        ASSERT_TRUE(waitUntil([&] { return returning.eventWith("\"present\"") != ""; }))
            << returning.text();

        const auto stopping = std::chrono::steady_clock::now();
        served.program().sendSignal(SIGTERM); // the streams end with the server
        EXPECT_EQ(served.program().finish(std::chrono::seconds(10)).exitStatus, 0);
        EXPECT_LT(std::chrono::steady_clock::now() - stopping, std::chrono::seconds(5));
    }
}

TEST_F(ServeTest, TheServiceManagerHearsReadyOnceThePictureIsWholeAndTheWatchdogFed) {
    const std::string scenario = files.write("bench.json", scenarios::of(scenarios::kUsbCamera));
    const std::string path = files.path("notify");
    NotifySocket manager(path);
    setenv("NOTIFY_SOCKET", path.c_str(), 1);
    setenv("WATCHDOG_USEC", "400000", 1);
    ServedProgram served(local(scenario));
    unsetenv("NOTIFY_SOCKET");
    unsetenv("WATCHDOG_USEC");
    ASSERT_TRUE(served.serving()) << served.logBefore();

    const std::string ready = manager.next();
    EXPECT_EQ(ready,
              "READY=1\nSTATUS=Serving http://127.0.0.1:" + std::to_string(served.port()) + "/");
    EXPECT_EQ(json(served.client().Get("/api/nodes"))["nodes"][0]["items"].size(), 1u)
        << "ready comes after the items";
    EXPECT_EQ(manager.next(), "WATCHDOG=1");
    EXPECT_EQ(manager.next(), "WATCHDOG=1");
    served.program().sendSignal(SIGTERM);
    EXPECT_EQ(manager.next(), "STOPPING=1");
    EXPECT_EQ(served.program().finish().exitStatus, 0);
}

TEST_F(ServeTest, RefusesOtherMethodsOriginsAndHosts) {
    const std::string scenario = files.write("bench.json", scenarios::of(scenarios::kUsbCamera));
    ServedProgram served(local(scenario));
    ASSERT_TRUE(served.serving()) << served.logBefore();
    const std::string here = "127.0.0.1:" + std::to_string(served.port());
    struct Case {
        std::string method;
        httplib::Headers headers;
        int status;
    };
    const Case cases[] = {
        {"GET", {}, 200},
        {"HEAD", {}, 200},
        {"GET", {{"Origin", "http://" + here}}, 200},
        {"GET", {{"Host", "localhost:8480"}}, 200},
        {"POST", {}, 405},
        {"DELETE", {}, 405},
        {"OPTIONS", {{"Origin", "http://elsewhere.example"}}, 405},
        {"GET", {{"Origin", "http://elsewhere.example"}}, 403},
        {"GET", {{"Origin", "http://127.0.0.1:1"}}, 403},
        {"GET", {{"Origin", "null"}}, 403},
        {"GET", {{"Host", "rebound.example:8480"}}, 403},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.method + " " + ::testing::PrintToString(c.headers));
        httplib::Request request;
        request.method = c.method;
        request.path = "/api/nodes";
        request.headers = c.headers;
        httplib::Client client = served.client();
        const httplib::Result result = client.send(request);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->status, c.status);
        EXPECT_EQ(result->get_header_value("X-Content-Type-Options"), "nosniff");
        EXPECT_THAT(result->get_header_value("Content-Security-Policy"),
                    StartsWith("default-src 'none'; script-src 'self';"));
        EXPECT_EQ(result->get_header_value("Referrer-Policy"), "no-referrer");
        for (const auto& [name, value] : result->headers) {
            EXPECT_THAT(name, ::testing::Not(StartsWith("Access-Control-Allow")));
        }
    }
    stop(served);
}

class FleetServeTest : public ServeTest {
protected:
    void SetUp() override {
        ServeTest::SetUp();
        const std::string problem = broker.start();
        if (!problem.empty()) {
            GTEST_SKIP() << "no MQTT broker to test with: " << problem;
        }
    }

    MqttBroker broker;
};

TEST_F(FleetServeTest, AnswersTheFleetOnTheBrokerAsJson) {
    RunningCamexpert publisher(
        {"--ini", ini, "publish", "--broker", broker.address(), "--node", "cell4"});
    ServedProgram served({"serve", "--broker", broker.address(), "--listen", "127.0.0.1:0"});
    ASSERT_TRUE(served.serving()) << served.logBefore();
    EXPECT_THAT(served.line(),
                HasSubstr("(the fleet on the MQTT broker at " + broker.address() + ")."));
    httplib::Client client = served.client();
    const Json nodes = nodesOnceOneHas(client, 11);
    ASSERT_EQ(nodes["nodes"].size(), 1u) << nodes;
    const Json& node = nodes["nodes"][0];
    EXPECT_THAT(keys(node), ElementsAre("node", "status", "lastSeen", "reason", "items"));
    EXPECT_EQ(node["node"], "cell4");
    EXPECT_EQ(node["status"], "online");
    EXPECT_TRUE(node["lastSeen"].is_string());
    EXPECT_EQ(json(client.Get("/api/nodes/cell4")), node);
    const Json item = json(client.Get("/api/nodes/cell4/items/usb3-1.2"));
    EXPECT_EQ(item["vendor"], "Kroneth");
    EXPECT_EQ(item["properties"].size(), 23u);
    EXPECT_EQ(json(client.Get("/api/nodes?bus=usb"))["nodes"][0]["items"].size(), 2u);
    const httplib::Result metrics = client.Get("/metrics");
    ASSERT_TRUE(metrics);
    EXPECT_EQ(metrics->get_header_value("Content-Type"),
              "text/plain; version=0.0.4; charset=utf-8");
    EXPECT_THAT(metrics->body, HasSubstr("camexpert_node_up{node=\"cell4\"} 1\n"));
    EXPECT_THAT(metrics->body, HasSubstr("camexpert_broker_connected 1\n"));
    stop(served);
}

TEST_F(FleetServeTest, HeartbeatsOfALiveFleetDoNotHoldTheFirstPictureBack) {
    std::mutex lock;
    std::condition_variable changed;
    bool stopped = false;
    std::thread heartbeats([&] {
        MqttProbe probe(broker.port());
        std::unique_lock<std::mutex> hold(lock);
        while (!stopped) {
            probe.publish("camexpert/cell6/status", "online", true);
            changed.wait_for(hold, std::chrono::milliseconds(100), [&] { return stopped; });
        }
    });
    const std::string path = files.path("notify");
    NotifySocket manager(path);
    setenv("NOTIFY_SOCKET", path.c_str(), 1);
    ServedProgram served({"serve", "--broker", broker.address(), "--listen", "127.0.0.1:0"});
    unsetenv("NOTIFY_SOCKET");
    EXPECT_TRUE(served.serving()) << served.logBefore();
    EXPECT_THAT(manager.next(), StartsWith("READY=1\n"));
    {
        std::lock_guard<std::mutex> hold(lock);
        stopped = true;
    }
    changed.notify_all();
    heartbeats.join();
    stop(served);
}

TEST_F(FleetServeTest, RidesOutTheBrokerGoingAwayAndForgetsWhatItNoLongerHolds) {
    RunningCamexpert publisher(
        {"--ini", ini, "publish", "--broker", broker.address(), "--node", "cell4"});
    MqttProbe(broker.port()).publish("camexpert/ghost/status", "online", true);
    ServedProgram served({"serve", "--broker", broker.address(), "--listen", "127.0.0.1:0"});
    ASSERT_TRUE(served.serving()) << served.logBefore();
    httplib::Client client = served.client();
    const auto metricsHold = [&](const std::string& text) {
        const httplib::Result metrics = client.Get("/metrics");
        return metrics && metrics->body.find(text) != std::string::npos;
    };
    // The nodes, by name, and the items of the first.
    const auto nodesAre = [&](std::vector<std::string> names) {
        const Json nodes = json(client.Get("/api/nodes"))["nodes"];
        std::vector<std::string> shown;
        for (const Json& node : nodes) {
            shown.push_back(node["node"]);
        }
        return shown == names && nodes[0]["items"].size() == 11;
    };
    ASSERT_TRUE(waitUntil([&] { return nodesAre({"cell4", "ghost"}); }));
    ASSERT_TRUE(metricsHold("camexpert_broker_connected 1"));

    broker.stop(); // it keeps nothing: only the publisher brings its node back
    ASSERT_TRUE(waitUntil([&] { return metricsHold("camexpert_broker_connected 0"); }));
    EXPECT_TRUE(nodesAre({"cell4", "ghost"})) << "the picture stays while the broker is away";

    ASSERT_EQ(broker.start(), "");
    ASSERT_TRUE(waitUntil([&] { return nodesAre({"cell4"}); }))
        << json(client.Get("/api/nodes")).dump();
    EXPECT_TRUE(metricsHold("camexpert_broker_connected 1"));
    served.program().sendSignal(SIGTERM);
    const ProcessResult end = served.program().finish(std::chrono::seconds(10));
    EXPECT_EQ(end.exitStatus, 0);
    EXPECT_THAT(end.err, HasSubstr("camexpert: Reconnected to the MQTT broker at " +
                                   broker.address() + ".\n"));
}

TEST_F(FleetServeTest, AMessageThatIsNoDocumentIsIgnoredWithOneLine) {
    MqttProbe probe(broker.port());
    probe.publish("camexpert/cell5/items/bad", "<img src=x onerror=alert(1)>", true);
    probe.publish("camexpert/cell5/status", "{\"state\": 7}", true);
    // Read whole, a document this deep would overflow the stack.
    const size_t depth = 100000;
    probe.publish("camexpert/cell5/items/deep",
                  "{\"properties\": " + std::string(depth, '[') + std::string(depth, ']') + "}",
                  true);
    probe.publish("camexpert/cell5/items/huge",
                  "{\"properties\": \"" + std::string(1 << 20, 'x') + "\"}", true);
    ServedProgram served({"serve", "--broker", broker.address(), "--listen", "127.0.0.1:0"});
    ASSERT_TRUE(served.serving()) << served.logBefore();
    std::vector<std::string> lines(4);
    for (std::string& line : lines) {
        ASSERT_TRUE(served.program().readErrorLine(&line));
    }
    EXPECT_THAT(
        lines, ::testing::UnorderedElementsAre(
                   "camexpert: ignoring the message on camexpert/cell5/items/bad: it is no status "
                   "or item document.",
                   "camexpert: ignoring the message on camexpert/cell5/status: it is no status or "
                   "item document.",
                   "camexpert: ignoring the message on camexpert/cell5/items/deep: it nests deeper "
                   "than 64 levels.",
                   "camexpert: ignoring the message on camexpert/cell5/items/huge: it is larger "
                   "than 1 MiB."));
    EXPECT_EQ(json(served.client().Get("/api/nodes")), Json::parse(R"({"nodes": []})"));
    served.program().sendSignal(SIGTERM);
    const ProcessResult result = served.program().finish(std::chrono::seconds(10));
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.err, "") << "one line each, no more";
}

} // namespace
