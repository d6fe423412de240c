// camexpert with this driver, as a user runs it: a fake camera on the
// private loopback shows in list, and watch reports it added and removed
// after the first event, which tells what was there at the start.
#include "FakeCamera.h"
#include "PrivateLoopback.h"
#include "TempDirectory.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <string>

namespace {

// Runs camexpert with the aravis driver; its standard output.
std::string runCamexpert(const std::string& arguments) {
    const std::string command =
        std::string(KR_CAMEXPERT_PATH) + " --driver aravis " + arguments + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return "";
    }
    std::string out;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        out.append(buffer, n);
    }
    pclose(pipe);
    return out;
}

class CamexpertOverAravis : public testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_PRIVATE_LOOPBACK();
        iniPath = files.write("kr-rt.ini", refreshPeriodIni(1));
    }
    TempDirectory files;
    std::string iniPath;
};

TEST_F(CamexpertOverAravis, ListShowsAFakeCameraWithItsAddress) {
    FakeCamera camera(LoopbackAddress(5), "CAFE01");
    ASSERT_TRUE(camera.running());
    const nlohmann::json document =
        nlohmann::json::parse(runCamexpert("--ini " + iniPath + " list --json"));
    ASSERT_EQ(document.at("items").size(), 1u) << document.dump();
    const nlohmann::json& item = document["items"][0];
    EXPECT_EQ(item.at("name"), camera.deviceId());
    EXPECT_EQ(item.at("bus"), "ipv4");
    EXPECT_EQ(item.at("vendor"), "Aravis");
    EXPECT_EQ(item.at("serialNumber"), "CAFE01");
    EXPECT_EQ(item.at("address"), "127.0.0.5");
}

TEST_F(CamexpertOverAravis, WatchReportsTheCameraAddedThenRemoved) {
    FakeCamera camera(LoopbackAddress(6), "CAFE02");
    ASSERT_TRUE(camera.running());
    const std::string command = std::string(KR_CAMEXPERT_PATH) + " --driver aravis --ini " +
                                iniPath + " watch --json --count 3 --duration 60 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char line[65536];
    // The first event tells what the expert's first refresh found: nothing
    // yet, discovery takes longer.
    ASSERT_NE(fgets(line, sizeof line, pipe), nullptr);
    const nlohmann::json present = nlohmann::json::parse(line);
    EXPECT_EQ(present.at("event"), "present");
    EXPECT_EQ(present.at("names"), nlohmann::json::array());
    ASSERT_NE(fgets(line, sizeof line, pipe), nullptr);
    const nlohmann::json added = nlohmann::json::parse(line);
    EXPECT_EQ(added.at("event"), "added");
    EXPECT_EQ(added.at("names"), nlohmann::json::array({camera.deviceId()}));
    camera.stop();
    ASSERT_NE(fgets(line, sizeof line, pipe), nullptr);
    const nlohmann::json removed = nlohmann::json::parse(line);
    EXPECT_EQ(removed.at("event"), "removed");
    EXPECT_EQ(removed.at("names"), nlohmann::json::array({camera.deviceId()}));
    EXPECT_EQ(pclose(pipe), 0);
}

} // namespace
