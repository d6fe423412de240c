// camexpert watch run as a program while the test edits the scenario file:
// plugging, unplugging and changing arrive in order, and every way of ending
// the watch is clean.
#include "HostProcess.h"
#include "Scenarios.h"
#include "TempDirectory.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <signal.h>

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::MatchesRegex;
using ::testing::StartsWith;

namespace {

class WatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        scenario = files.write("scenario.json", scenarios::of(scenarios::networkCamera()));
    }

    std::vector<std::string> watch(std::vector<std::string> arguments) {
        const std::string ini = files.write("fast.ini", refreshPeriodIni(1));
        arguments.insert(arguments.begin(), {"--ini", ini, "--scenario", scenario, "watch"});
        return arguments;
    }

    // Replaces the scenario file as a whole, as the driver's documentation asks.
    void replaceScenario(const std::string& text) { files.write("scenario.json", text); }

    nlohmann::json nextEvent(RunningCamexpert& program) {
        std::string line;
        if (!program.readLine(&line)) {
            ADD_FAILURE() << "no event came; stderr so far: " << program.finish().err;
            return nlohmann::json::object();
        }
        return nlohmann::json::parse(line);
    }

    TempDirectory files;
    std::string scenario;
};

TEST_F(WatchTest, PlugUnplugAndChangeArriveInOrderAsJsonLines) {
    RunningCamexpert program(watch({"--json", "--count", "4"}));

    const nlohmann::json initial = nextEvent(program);
    EXPECT_EQ(initial.at("event"), "present");
    EXPECT_EQ(initial.at("names"), nlohmann::json{"gev0-cam0"});
    EXPECT_EQ(initial.at("items")[0].at("address"), "192.168.10.21");
    EXPECT_THAT(initial.at("time").get<std::string>(),
                MatchesRegex("[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3}"
                             "[-+][0-9]{2}:[0-9]{2}"));

    // A camera and a frame grabber plugged in one pass arrive in one event.
    replaceScenario(scenarios::of(scenarios::networkCamera() + "," + scenarios::kUsbCamera,
                                  scenarios::kFrameGrabber));
    const nlohmann::json plugged = nextEvent(program);
    EXPECT_EQ(plugged.at("event"), "added");
    EXPECT_EQ(plugged.at("names"), (nlohmann::json{"clfg0", "usb3-1.2"}));
    EXPECT_EQ(plugged.at("items")[0].at("kind"), "frame grabber");
    EXPECT_EQ(plugged.at("items")[1].at("model"), "LightCam");

    replaceScenario(scenarios::of(scenarios::networkCamera()));
    const nlohmann::json unplugged = nextEvent(program);
    EXPECT_EQ(unplugged.at("event"), "removed");
    EXPECT_EQ(unplugged.at("names"), (nlohmann::json{"clfg0", "usb3-1.2"}));
    // What was removed is described from the last picture of it.
    EXPECT_EQ(unplugged.at("items")[1].at("serialNumber"), "2E3F1001");

    replaceScenario(scenarios::of(scenarios::networkCamera("192.168.10.22")));
    const nlohmann::json changed = nextEvent(program);
    EXPECT_EQ(changed.at("event"), "changed");
    EXPECT_EQ(changed.at("names"), nlohmann::json{"gev0-cam0"});
    EXPECT_EQ(changed.at("changes"), nlohmann::json::parse(R"([{"name": "gev0-cam0",
        "tag": "0x0102C000", "label": "IP address", "type": "string",
        "from": "192.168.10.21", "to": "192.168.10.22"}])"));

    const ProcessResult end = program.finish();
    EXPECT_EQ(end.exitStatus, 0);
    EXPECT_THAT(end.out, IsEmpty()) << "nothing after the fourth event";
    EXPECT_THAT(end.err, IsEmpty());
}

TEST_F(WatchTest, TextTellsWhatCameAndWhatChangedFromWhatToWhat) {
    RunningCamexpert program(watch({"--count", "3"}));
    std::string line;
    ASSERT_TRUE(program.readLine(&line));
    EXPECT_THAT(line, MatchesRegex("[0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3}  present  gev0-cam0"));
    ASSERT_TRUE(program.readLine(&line));
    EXPECT_EQ(line, "    gev0-cam0: camera, ipv4, Kroneth KR GC-2450M, 192.168.10.21");

    replaceScenario(scenarios::of(scenarios::networkCamera() + "," + scenarios::kUsbCamera));
    ASSERT_TRUE(program.readLine(&line));
    EXPECT_THAT(line, MatchesRegex("[0-9:.]{12}  added    usb3-1.2"));
    ASSERT_TRUE(program.readLine(&line));
    EXPECT_EQ(line, "    usb3-1.2: camera, USB3, Lumora LightCam");

    replaceScenario(
        scenarios::of(scenarios::networkCamera("10.0.0.7") + "," + scenarios::kUsbCamera));
    ASSERT_TRUE(program.readLine(&line));
    EXPECT_THAT(line, MatchesRegex("[0-9:.]{12}  changed  gev0-cam0"));
    ASSERT_TRUE(program.readLine(&line));
    EXPECT_EQ(line, "    gev0-cam0: IP address (0x0102C000): \"192.168.10.21\" -> \"10.0.0.7\"");

    const ProcessResult end = program.finish();
    EXPECT_EQ(end.exitStatus, 0);
    EXPECT_THAT(end.out, IsEmpty());
    EXPECT_THAT(end.err, IsEmpty());
}

TEST_F(WatchTest, InterruptEndsItCleanly) {
    RunningCamexpert program(watch({"--json"}));
    const nlohmann::json initial = nextEvent(program);
    EXPECT_EQ(initial.at("event"), "present");

    program.sendSignal(SIGINT);
    const ProcessResult end = program.finish();
    EXPECT_EQ(end.signal, 0) << "the program did not catch the interrupt";
    EXPECT_EQ(end.exitStatus, 0);
    EXPECT_THAT(end.err, IsEmpty());
}

TEST_F(WatchTest, TerminateEndsItCleanlyToo) {
    RunningCamexpert program(watch({}));
    std::string line;
    ASSERT_TRUE(program.readLine(&line));
    program.sendSignal(SIGTERM);
    const ProcessResult end = program.finish();
    EXPECT_EQ(end.signal, 0);
    EXPECT_EQ(end.exitStatus, 0);
    EXPECT_THAT(end.err, IsEmpty());
}

TEST_F(WatchTest, DurationEndsIt) {
    const ProcessResult end = runCamexpert(watch({"--json", "--duration", "1.5"}));
    EXPECT_EQ(end.exitStatus, 0) << end.err;
    EXPECT_THAT(end.err, IsEmpty());
    // Only the first event: the scenario does not change meanwhile.
    ASSERT_EQ(std::count(end.out.begin(), end.out.end(), '\n'), 1) << end.out;
    EXPECT_EQ(nlohmann::json::parse(end.out).at("event"), "present");
}

// One event at once, also on an empty bench: a snapshot for scripts.
TEST_F(WatchTest, AnEmptyBenchGivesTheFirstEventToo) {
    replaceScenario("{}");
    const ProcessResult end = runCamexpert(watch({"--json", "--count", "1"}));
    EXPECT_EQ(end.exitStatus, 0) << end.err;
    const nlohmann::json event = nlohmann::json::parse(end.out);
    EXPECT_EQ(event.at("event"), "present");
    EXPECT_EQ(event.at("items"), nlohmann::json::array());
}

// Unlike the one-shot commands, watch goes on: the driver tells the problem
// and the file may yet be mended.
TEST_F(WatchTest, AScenarioThatCannotBeUsedIsToldAndTheWatchGoesOn) {
    replaceScenario("{");
    RunningCamexpert program(watch({"--json", "--count", "2"}));
    EXPECT_EQ(nextEvent(program).at("names"), nlohmann::json::array());
    replaceScenario(scenarios::of(scenarios::networkCamera()));
    const nlohmann::json mended = nextEvent(program);
    EXPECT_EQ(mended.at("event"), "added");
    EXPECT_EQ(mended.at("names"), nlohmann::json{"gev0-cam0"});
    const ProcessResult end = program.finish();
    EXPECT_EQ(end.exitStatus, 0);
    EXPECT_THAT(end.err, StartsWith("simdriver: " + scenario + ": line 1, column 2: "));
}

// A test bench may start watch before it writes the scenario.
TEST_F(WatchTest, AScenarioWrittenAfterTheWatchStartsIsTaken) {
    scenario = files.path("later.json");
    RunningCamexpert program(watch({"--json", "--count", "2"}));
    EXPECT_EQ(nextEvent(program).at("names"), nlohmann::json::array());
    files.write("later.json", scenarios::of(scenarios::networkCamera()));
    const nlohmann::json written = nextEvent(program);
    EXPECT_EQ(written.at("event"), "added");
    EXPECT_EQ(written.at("names"), nlohmann::json{"gev0-cam0"});
    const ProcessResult end = program.finish();
    EXPECT_EQ(end.exitStatus, 0);
    EXPECT_THAT(end.err, HasSubstr("simdriver: " + scenario + ": cannot open"));
}

} // namespace
