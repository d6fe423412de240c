#include "simdriver/tests/SimTestSupport.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <thread>

using namespace simtest;

namespace {

// The writers go on until they made this many changes and the readers made
// this many calls, so that both really overlap however the threads are run.
constexpr int kWriterRounds = 400;
constexpr int kReaderRounds = 50;
constexpr int kNames = 6;

std::string NameOf(int i) {
    return "cam" + std::to_string(i % kNames);
}
uint32_t AddressOf(const std::string& name) {
    return 0x0A000000u + uint32_t(name.size()) * 7;
}

class Concurrency : public ::testing::Test {
protected:
    void SetUp() override { vyrexsim::Reset(); }
    void TearDown() override { vyrexsim::Reset(); }
};

bool IsZero(const CameraEntry& entry) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&entry);
    return std::all_of(bytes, bytes + sizeof entry, [](unsigned char b) { return b == 0; });
}

// What an expert's refresh does, checking that every record it is handed
// describes one whole camera of the model.
void RefreshLikeTheExpert(int& failures) {
    uint32_t count = 0;
    VyrexEnumerateCameras(nullptr, &count, 1);
    std::vector<CameraEntry> entries(count); // value-initialised: all zero
    if (count > 0) {
        VyrexEnumerateCameras(entries.data(), &count, 1);
    }
    for (size_t i = 0; i < entries.size() && i < count; ++i) {
        // A camera unplugged between the two calls leaves its entry as it was: zero.
        if (IsZero(entries[i])) {
            continue;
        }
        const std::string name = Text(entries[i].interfaceName);
        if (name.rfind("cam", 0) != 0 || Text(entries[i].vendorName) != "Vendor of " + name) {
            ++failures;
            continue;
        }
        uint32_t address = 0;
        const int32_t status = VyrexGetCameraProperty(name.c_str(), 1, &address);
        if (status == 0 ? address != AddressOf(name) : status != kVyrexStatusNoSuchCamera) {
            ++failures;
        }
        char driver[kVyrexTextSize];
        const uint64_t serial = entries[i].serialNumberLow;
        if (VyrexGetDriverName2(serial, driver, sizeof driver) == 0 &&
            std::string(driver) != "driver-" + std::to_string(serial)) {
            ++failures;
        }
    }
    for (const FrameGrabberRecord& record : EnumerateFrameGrabbers()) {
        if (Text(record.modelName) != "Model of " + Text(record.name)) {
            ++failures;
        }
    }
}

TEST_F(Concurrency, ControlChangesWhileTheDriverIsCalled) {
    for (int i = 0; i < kNames; ++i) {
        vyrexsim::SetCameraProperty(NameOf(i), 1, AddressOf(NameOf(i)));
        vyrexsim::SetDriverName(uint64_t(i), "driver-" + std::to_string(i));
    }
    std::atomic<bool> done{false};
    std::atomic<int> refreshes{0};
    std::thread writer([&] {
        for (int round = 0; round < kWriterRounds || refreshes < kReaderRounds; ++round) {
            const std::string name = NameOf(round);
            vyrexsim::PlugCamera(MakeCamera(name, kVyrexBusIPv4, uint64_t(round % kNames)));
            vyrexsim::ChangeCamera(NameOf(round + 1), MakeCamera(NameOf(round + 1), kVyrexBusUSB3,
                                                                 uint64_t((round + 1) % kNames)));
            vyrexsim::PlugFrameGrabber(MakeFrameGrabber("fg" + name));
            // Each name is plugged and unplugged once in kNames rounds: the
            // model stays small however long the readers take.
            vyrexsim::UnplugCamera(NameOf(round + 3));
            vyrexsim::UnplugFrameGrabber("fg" + NameOf(round + 3));
            vyrexsim::SetCameraProperty(name, 1, AddressOf(name));
            vyrexsim::SetCountChange(vyrexsim::List::Cameras, round % 3 - 1);
            if (round % 50 == 0) {
                vyrexsim::FailFunction(vyrexsim::Function::GetDriverVersion, -1,
                                       vyrexsim::Calls::Every, 3);
            }
        }
        done = true;
    });
    std::vector<int> failures(2, 0);
    std::vector<std::thread> readers;
    for (int& failed : failures) {
        readers.emplace_back([&] {
            do {
                RefreshLikeTheExpert(failed);
                uint32_t version = 0;
                VyrexGetDriverVersion(&version);
                vyrexsim::CallCount(vyrexsim::Function::EnumerateCameras);
                ++refreshes;
            } while (!done);
        });
    }
    writer.join();
    for (std::thread& reader : readers) {
        reader.join();
    }
    EXPECT_EQ(failures[0] + failures[1], 0);
}

// A scenario file replaced again and again: every enumeration shows one whole
// scenario, never a mixture or a half-read file.
TEST_F(Concurrency, ScenarioFileReplacedWhileEnumerating) {
    const std::string path =
        ::testing::TempDir() + "simdriver-" + std::to_string(getpid()) + "-concurrent.json";
    const std::string three = R"({"cameras": [{"bus": "ipv4", "interface": "a0"},
        {"bus": "ipv4", "interface": "a1"}, {"bus": "ipv4", "interface": "a2"}]})";
    const std::string five = R"({"cameras": [{"bus": "USB3", "interface": "b0"},
        {"bus": "USB3", "interface": "b1"}, {"bus": "USB3", "interface": "b2"},
        {"bus": "USB3", "interface": "b3"}, {"bus": "USB3", "interface": "b4"}]})";
    const auto write = [&](const std::string& text) {
        std::ofstream(path + ".new", std::ios::binary | std::ios::trunc) << text;
        std::rename((path + ".new").c_str(), path.c_str());
    };
    write(three);
    std::string problem;
    ASSERT_TRUE(vyrexsim::WatchScenarioFile(path, &problem)) << problem;

    std::atomic<bool> done{false};
    std::atomic<int> enumerations{0};
    std::thread writer([&] {
        for (int round = 0; round < kReaderRounds || enumerations < kReaderRounds; ++round) {
            write(round % 2 == 0 ? five : three);
        }
        done = true;
    });
    int mixtures = 0;
    std::thread reader([&] {
        do {
            auto entries = poisoned<CameraEntry>(5);
            uint32_t count = 5;
            VyrexEnumerateCameras(entries.data(), &count, 1);
            const char family = entries[0].interfaceName[0];
            const uint32_t expected = family == 'a' ? 3 : 5;
            if (count != expected) {
                ++mixtures;
            }
            for (uint32_t i = 0; i < count && i < 5; ++i) {
                if (entries[i].interfaceName[0] != family) {
                    ++mixtures;
                }
            }
            vyrexsim::Cameras();
            ++enumerations;
        } while (!done);
    });
    writer.join();
    reader.join();
    EXPECT_EQ(mixtures, 0);
    vyrexsim::Reset();
    std::remove(path.c_str());
}

} // namespace
