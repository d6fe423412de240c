#include "simdriver/tests/SimTestSupport.h"

#include <gtest/gtest.h>

using namespace simtest;
using vyrexsim::List;

namespace {

class HostileRecords : public ::testing::Test {
protected:
    void SetUp() override { vyrexsim::Reset(); }
    void TearDown() override { vyrexsim::Reset(); }
};

bool HasNoTerminator(const char (&field)[kVyrexTextSize]) {
    return std::memchr(field, '\0', kVyrexTextSize) == nullptr;
}

TEST_F(HostileRecords, UnterminatedTextsFillEveryTextField) {
    vyrexsim::PlugCamera(MakeCamera("gev0", kVyrexBusIPv4, 1));
    vyrexsim::PlugFrameGrabber(MakeFrameGrabber("fg0"));
    vyrexsim::SetUnterminatedTexts(true);

    const auto cameras = EnumerateCameras();
    ASSERT_EQ(cameras.size(), 1u);
    const CameraEntry& c = cameras[0];
    EXPECT_TRUE(HasNoTerminator(c.interfaceName));
    EXPECT_TRUE(HasNoTerminator(c.vendorName));
    EXPECT_TRUE(HasNoTerminator(c.modelName));
    EXPECT_TRUE(HasNoTerminator(c.spareText0)) << "even an empty text";
    EXPECT_TRUE(HasNoTerminator(c.spareText1));
    EXPECT_EQ(std::string(c.interfaceName, 5), "gev0#");
    EXPECT_EQ(c.serialNumberLow, 1u) << "numbers stay as they are";

    const auto grabbers = EnumerateFrameGrabbers();
    ASSERT_EQ(grabbers.size(), 1u);
    EXPECT_TRUE(HasNoTerminator(grabbers[0].name));
    EXPECT_TRUE(HasNoTerminator(grabbers[0].modelName));
    EXPECT_EQ(std::string(grabbers[0].name, 4), "fg0#");

    char name[16];
    EXPECT_EQ(VyrexGetDriverName2(1, name, sizeof name), 0);
    EXPECT_EQ(std::memchr(name, '\0', sizeof name), nullptr);

    vyrexsim::SetUnterminatedTexts(false);
    EXPECT_EQ(Text(EnumerateCameras()[0].interfaceName), "gev0");
}

TEST_F(HostileRecords, UnterminatedTextStillKeepsToTheCallersBuffer) {
    vyrexsim::PlugCamera(MakeCamera("gev0", kVyrexBusIPv4, 1));
    vyrexsim::SetUnterminatedTexts(true);
    char name[8];
    std::memset(name, kPoisonByte, sizeof name);
    EXPECT_EQ(VyrexGetDriverName2(1, name, 4), 0);
    EXPECT_EQ(uint8_t(name[4]), kPoisonByte);
}

TEST_F(HostileRecords, MoreCamerasOnTheFillingCallThanTheCountingCallReported) {
    for (const char* name : {"a", "b", "c"}) {
        vyrexsim::PlugCamera(MakeCamera(name));
    }
    vyrexsim::SetCountChange(List::Cameras, 2);
    uint32_t count = 0;
    EXPECT_EQ(VyrexEnumerateCameras(nullptr, &count, 1), 0);
    EXPECT_EQ(count, 3u) << "the counting call tells the truth";
    auto entries = poisoned<CameraEntry>(4);
    EXPECT_EQ(VyrexEnumerateCameras(entries.data(), &count, 1), 0);
    EXPECT_EQ(count, 5u) << "more than the capacity of 3";
    EXPECT_EQ(Text(entries[2].interfaceName), "c");
    EXPECT_TRUE(isPoisoned(entries[3])) << "nothing written past the capacity";
}

TEST_F(HostileRecords, FewerCamerasOnTheFillingCall) {
    for (const char* name : {"a", "b", "c"}) {
        vyrexsim::PlugCamera(MakeCamera(name));
    }
    vyrexsim::SetCountChange(List::Cameras, -1);
    auto entries = poisoned<CameraEntry>(3);
    uint32_t count = 3;
    EXPECT_EQ(VyrexEnumerateCameras(entries.data(), &count, 1), 0);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(Text(entries[1].interfaceName), "b");
    EXPECT_TRUE(isPoisoned(entries[2]));

    vyrexsim::SetCountChange(List::Cameras, -10);
    count = 3;
    EXPECT_EQ(VyrexEnumerateCameras(entries.data(), &count, 1), 0);
    EXPECT_EQ(count, 0u) << "never below zero";
}

TEST_F(HostileRecords, FrameGrabberCountChangesOnItsOwn) {
    vyrexsim::PlugCamera(MakeCamera("a"));
    vyrexsim::PlugFrameGrabber(MakeFrameGrabber("fg0"));
    vyrexsim::PlugFrameGrabber(MakeFrameGrabber("fg1"));
    vyrexsim::SetCountChange(List::FrameGrabbers, -1);
    EXPECT_EQ(EnumerateFrameGrabbers().size(), 1u);
    EXPECT_EQ(EnumerateCameras().size(), 1u);

    vyrexsim::SetCountChange(List::FrameGrabbers, 1);
    auto records = poisoned<FrameGrabberRecord>(2);
    uint32_t count = 2;
    EXPECT_EQ(VyrexEnumerateFrameGrabbers(records.data(), &count), 0);
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(Text(records[1].name), "fg1");
}

} // namespace
