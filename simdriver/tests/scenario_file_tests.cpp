#include "simdriver/tests/SimTestSupport.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
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

// As most editors save: a new file renamed over the old one.
void WriteReplacing(const std::string& path, const std::string& text) {
    const std::string temporary = path + ".new";
    WriteInPlace(temporary, text);
    ASSERT_EQ(std::rename(temporary.c_str(), path.c_str()), 0);
}

class ScenarioFile : public ::testing::Test {
protected:
    void SetUp() override {
        vyrexsim::Reset();
        // Unique per process: the configurations may run their tests at once.
        m_path = ::testing::TempDir() + "simdriver-" + std::to_string(getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".json";
    }
    void TearDown() override {
        vyrexsim::Reset();
        std::remove(m_path.c_str());
        unsetenv("VYREX_SIM_SCENARIO");
    }

    void Watch(const std::string& text) {
        WriteInPlace(m_path, text);
        std::string problem;
        ASSERT_TRUE(vyrexsim::WatchScenarioFile(m_path, &problem)) << problem;
    }

    std::string m_path;
};

TEST_F(ScenarioFile, WatchedFileIsReadAtOnce) {
    Watch(ScenarioWith({"a", "b"}));
    ASSERT_EQ(vyrexsim::Cameras().size(), 2u);
    EXPECT_EQ(InterfaceNames(), (std::vector<std::string>{"a", "b"}));
}

TEST_F(ScenarioFile, ReplacedFileIsReadAgainOnTheNextEnumeration) {
    Watch(ScenarioWith({"a", "b"}));
    WriteReplacing(m_path, ScenarioWith({"b", "c"}));
    EXPECT_EQ(vyrexsim::Cameras().size(), 2u) << "only enumerations look at the file";
    EXPECT_EQ(InterfaceNames(), (std::vector<std::string>{"b", "c"}));
    WriteReplacing(m_path, ScenarioWith({}));
    EXPECT_TRUE(InterfaceNames().empty()) << "everything unplugged";
}

TEST_F(ScenarioFile, FileEditedInPlaceIsReadAgain) {
    Watch(ScenarioWith({"a"}));
    WriteInPlace(m_path, ScenarioWith({"a", "plugged"}));
    EXPECT_EQ(InterfaceNames(), (std::vector<std::string>{"a", "plugged"}));
}

TEST_F(ScenarioFile, FrameGrabberEnumerationAlsoNoticesTheChange) {
    Watch(R"({"frameGrabbers": [{"name": "fg0"}]})");
    WriteReplacing(m_path, R"({"frameGrabbers": [{"name": "fg0"}, {"name": "fg1"}]})");
    EXPECT_EQ(EnumerateFrameGrabbers().size(), 2u);
}

TEST_F(ScenarioFile, MalformedEditKeepsTheDevicesAndIsReportedOnce) {
    Watch(ScenarioWith({"a"}));
    WriteReplacing(m_path, "{\n  \"cameras\": [ {\"bus\": \"ipv4\" \"interface\": \"b\"} ]\n}");

    ::testing::internal::CaptureStderr();
    EXPECT_EQ(InterfaceNames(), (std::vector<std::string>{"a"}));
    EXPECT_EQ(InterfaceNames(), (std::vector<std::string>{"a"}));
    const std::string messages = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(messages.rfind("simdriver: " + m_path + ": line 2, column ", 0), 0u) << messages;
    EXPECT_EQ(std::count(messages.begin(), messages.end(), '\n'), 1) << messages;

    WriteReplacing(m_path, ScenarioWith({"c"}));
    EXPECT_EQ(InterfaceNames(), (std::vector<std::string>{"c"}));
}

TEST_F(ScenarioFile, FieldProblemNamesTheFileAndTheField) {
    Watch(ScenarioWith({"a"}));
    WriteReplacing(m_path, R"({"cameras": [{"bus": "ipv4", "interface": "b", "serial": "xyz"}]})");
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
    WriteReplacing(m_path, ScenarioWith({"edited"}));
    EXPECT_EQ(InterfaceNames(), (std::vector<std::string>{"edited"}));
}

TEST_F(ScenarioFile, ControlApiDetachesTheModelFromTheFile) {
    Watch(ScenarioWith({"a"}));
    vyrexsim::PlugCamera(MakeCamera("b"));
    WriteReplacing(m_path, ScenarioWith({"c"}));
    EXPECT_EQ(InterfaceNames(), (std::vector<std::string>{"a", "b"}));
}

TEST_F(ScenarioFile, InjectedFailuresDoNotDetach) {
    Watch(ScenarioWith({"a"}));
    vyrexsim::FailFunction(vyrexsim::Function::GetDriverVersion, -1);
    vyrexsim::SetCountChange(vyrexsim::List::FrameGrabbers, 1);
    WriteReplacing(m_path, ScenarioWith({"c"}));
    EXPECT_EQ(InterfaceNames(), (std::vector<std::string>{"c"}));
}

} // namespace
