#include "simdriver/tests/SimTestSupport.h"

#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

using namespace simtest;

namespace {

std::string ScenarioWith(std::initializer_list<const char*> interfaces) {
    std::string json = "{\"cameras\": [";
    const char* separator = "";
    for (const char* name : interfaces) {
        json += separator;
        json += std::string("{\"bus\": \"ipv4\", \"interface\": \"") + name + "\"}";
        separator = ", ";
    }
    return json + "]}";
}

void WriteInPlace(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

class ScenarioFile : public ::testing::Test {
protected:
    void SetUp() override { vyrexsim::Reset(); }
    void TearDown() override {
        vyrexsim::Reset();
        unsetenv("VYREX_SIM_SCENARIO");
    }

    // As most editors save: a new file renamed over the old one.
    void WriteReplacing(const std::string& text) { m_files.write("scenario.json", text); }

    void Watch(const std::string& text) {
        WriteInPlace(m_path, text);
        std::string problem;
        ASSERT_TRUE(vyrexsim::WatchScenarioFile(m_path, &problem)) << problem;
    }

    TempDirectory m_files;
    const std::string m_path = m_files.path("scenario.json");
};

TEST_F(ScenarioFile, WatchedFileIsReadAtOnce) {
    Watch(ScenarioWith({"a", "b"}));
    ASSERT_EQ(vyrexsim::Cameras().size(), 2u);
    EXPECT_EQ(InterfaceNames(), (std::vector<std::string>{"a", "b"}));
}

TEST_F(ScenarioFile, ReplacedFileIsReadAgainOnTheNextEnumeration) {
    Watch(ScenarioWith({"a", "b"}));
    WriteReplacing(ScenarioWith({"b", "c"}));
    EXPECT_EQ(vyrexsim::Cameras().size(), 2u) << "only enumerations look at the file";
    EXPECT_EQ(InterfaceNames(), (std::vector<std::string>{"b", "c"}));
    WriteReplacing(ScenarioWith({}));
    EXPECT_TRUE(InterfaceNames().empty()) << "everything unplugged";
}

TEST_F(ScenarioFile, FileEditedInPlaceIsReadAgain) {
    Watch(ScenarioWith({"a"}));
    WriteInPlace(m_path, ScenarioWith({"a", "plugged"}));
    EXPECT_EQ(InterfaceNames(), (std::vector<std::string>{"a", "plugged"}));
}

TEST_F(ScenarioFile, FrameGrabberEnumerationAlsoNoticesTheChange) {
    Watch(R"({"frameGrabbers": [{"name": "fg0"}]})");
    WriteReplacing(R"({"frameGrabbers": [{"name": "fg0"}, {"name": "fg1"}]})");
    EXPECT_EQ(EnumerateFrameGrabbers().size(), 2u);
}

TEST_F(ScenarioFile, MalformedEditKeepsTheDevicesAndIsReportedOnce) {
    Watch(ScenarioWith({"a"}));
    WriteReplacing("{\n  \"cameras\": [ {\"bus\": \"ipv4\" \"interface\": \"b\"} ]\n}");

    ::testing::internal::CaptureStderr();
    EXPECT_EQ(InterfaceNames(), (std::vector<std::string>{"a"}));
    EXPECT_EQ(InterfaceNames(), (std::vector<std::string>{"a"}));
    const std::string messages = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(messages.rfind("simdriver: " + m_path + ": line 2, column ", 0), 0u) << messages;
    EXPECT_EQ(std::count(messages.begin(), messages.end(), '\n'), 1) << messages;

    WriteReplacing(ScenarioWith({"c"}));
    EXPECT_EQ(InterfaceNames(), (std::vector<std::string>{"c"}));
}

TEST_F(ScenarioFile, FieldProblemNamesTheFileAndTheField) {
    Watch(ScenarioWith({"a"}));
    WriteReplacing(R"({"cameras": [{"bus": "ipv4", "interface": "b", "serial": "xyz"}]})");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(InterfaceNames(), (std::vector<std::string>{"a"}));
    const std::string messages = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(messages.rfind("simdriver: " + m_path + ": cameras[0].serial: ", 0), 0u) << messages;
}

TEST_F(ScenarioFile, VanishedFileKeepsTheDevicesUntilItComesBack) {
    Watch(ScenarioWith({"a"}));
    std::remove(m_path.c_str());
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(InterfaceNames(), (std::vector<std::string>{"a"}));
    EXPECT_EQ(InterfaceNames(), (std::vector<std::string>{"a"}));
    const std::string messages = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(messages.find(m_path + ": cannot open: "), std::string::npos) << messages;
    EXPECT_EQ(std::count(messages.begin(), messages.end(), '\n'), 1) << messages;

    WriteInPlace(m_path, ScenarioWith({"back"}));
    EXPECT_EQ(InterfaceNames(), (std::vector<std::string>{"back"}));
}

TEST_F(ScenarioFile, WatchingAMalformedFileReturnsTheProblem) {
    vyrexsim::PlugCamera(MakeCamera("kept"));
    WriteInPlace(m_path, "{");
    std::string problem;
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(vyrexsim::WatchScenarioFile(m_path, &problem));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), problem + "\n");
    EXPECT_EQ(problem.rfind("simdriver: " + m_path + ": line 1", 0), 0u) << problem;
    EXPECT_EQ(InterfaceNames(), (std::vector<std::string>{"kept"}));

    WriteInPlace(m_path, ScenarioWith({"fixed"}));
    EXPECT_EQ(InterfaceNames(), (std::vector<std::string>{"fixed"})) << "still watched";
}

TEST_F(ScenarioFile, EnvironmentVariableNamesTheFile) {
    WriteInPlace(m_path, ScenarioWith({"from-env"}));
    ASSERT_EQ(setenv("VYREX_SIM_SCENARIO", m_path.c_str(), 1), 0);
    vyrexsim::FollowEnvironment();
    EXPECT_EQ(InterfaceNames(), (std::vector<std::string>{"from-env"}));
    WriteReplacing(ScenarioWith({"edited"}));
    EXPECT_EQ(InterfaceNames(), (std::vector<std::string>{"edited"}));
}

// camexpert asks through VyrexSimScenarioProblem and tells the problem itself.
TEST_F(ScenarioFile, AHostAsksForTheProblemAndIsTheOneToTellIt) {
    WriteInPlace(m_path, R"({"cameras": [{"bus": "USB", "interface": "a"}]})");
    ASSERT_EQ(setenv("VYREX_SIM_SCENARIO", m_path.c_str(), 1), 0);
    vyrexsim::FollowEnvironment();
    char text[512];
    ::testing::internal::CaptureStderr();
    const uint32_t length = VyrexSimScenarioProblem(text, sizeof text);
    EXPECT_TRUE(InterfaceNames().empty());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "told to the caller alone";
    EXPECT_EQ(std::string(text),
              m_path + ": cameras[0].bus: expected four printable ASCII characters, got \"USB\"");
    EXPECT_EQ(length, std::strlen(text));

    char cut[8];
    EXPECT_EQ(VyrexSimScenarioProblem(cut, sizeof cut), length);
    EXPECT_EQ(std::string(cut), m_path.substr(0, 7));

    WriteReplacing(ScenarioWith({"b"}));
    EXPECT_EQ(VyrexSimScenarioProblem(text, sizeof text), 0u);
    EXPECT_STREQ(text, "");
}

TEST_F(ScenarioFile, ControlApiDetachesTheModelFromTheFile) {
    Watch(ScenarioWith({"a"}));
    vyrexsim::PlugCamera(MakeCamera("b"));
    WriteReplacing(ScenarioWith({"c"}));
    EXPECT_EQ(InterfaceNames(), (std::vector<std::string>{"a", "b"}));
}

TEST_F(ScenarioFile, InjectedFailuresDoNotDetach) {
    Watch(ScenarioWith({"a"}));
    vyrexsim::FailFunction(vyrexsim::Function::GetDriverVersion, -1);
    vyrexsim::SetCountChange(vyrexsim::List::FrameGrabbers, 1);
    WriteReplacing(ScenarioWith({"c"}));
    EXPECT_EQ(InterfaceNames(), (std::vector<std::string>{"c"}));
}

} // namespace
