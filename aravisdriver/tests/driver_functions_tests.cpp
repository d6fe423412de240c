// The exported functions' answers that need no camera.
#include "Poison.h"
#include "PrivateLoopback.h"
#include "driver/VyrexDriver.h"

#include <arv.h>
#include <gtest/gtest.h>

namespace {

TEST(FrameGrabbers, NoneAtAll) {
    uint32_t count = 5;
    EXPECT_EQ(VyrexEnumerateFrameGrabbers(nullptr, &count), 0);
    EXPECT_EQ(count, 0u);
    FrameGrabberRecord record{};
    record.busType = kPoisonWord;
    count = 1;
    EXPECT_EQ(VyrexEnumerateFrameGrabbers(&record, &count), 0);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(record.busType, kPoisonWord) << "no record to fill";
    EXPECT_EQ(VyrexEnumerateFrameGrabbers(&record, nullptr), kVyrexStatusBadArgument);
}

// Every camera call starts discovery, which must not reach the machine's
// network: these run inside the private namespace only.
TEST(DriverVersion, IsAravisRunTimeVersion) {
    SKIP_WITHOUT_PRIVATE_LOOPBACK();
    uint32_t version = kPoisonWord;
    ASSERT_EQ(VyrexGetDriverVersion(&version), 0);
    EXPECT_EQ(version, arv_get_major_version() << 16 | arv_get_minor_version() << 8 |
                           arv_get_micro_version());
    EXPECT_EQ(VyrexGetDriverVersion(nullptr), kVyrexStatusBadArgument);
}

TEST(DriverFunctions, RefuseBadArguments) {
    SKIP_WITHOUT_PRIVATE_LOOPBACK();
    uint32_t count = 0;
    CameraEntry entry{};
    EXPECT_EQ(VyrexEnumerateCameras(nullptr, nullptr, 1), kVyrexStatusBadArgument);
    EXPECT_EQ(VyrexEnumerateCameras(&entry, &count, 0), kVyrexStatusBadArgument);
    uint32_t value = kPoisonWord;
    EXPECT_EQ(VyrexGetCameraProperty(nullptr, 1, &value), kVyrexStatusBadArgument);
    EXPECT_EQ(VyrexGetCameraProperty("x", 5, &value), kVyrexStatusBadArgument);
    EXPECT_EQ(VyrexGetCameraProperty("x", 1, nullptr), kVyrexStatusBadArgument);
    EXPECT_EQ(VyrexGetCameraProperty("no such camera", 1, &value), kVyrexStatusNoSuchCamera);
    EXPECT_EQ(value, kPoisonWord);
    char name[16] = "poison";
    EXPECT_EQ(VyrexGetDriverName2(0x1234, nullptr, 16), kVyrexStatusBadArgument);
    EXPECT_EQ(VyrexGetDriverName2(0x1234, name, 0), kVyrexStatusBadArgument);
    EXPECT_EQ(VyrexGetDriverName2(0x1234, name, sizeof name), kVyrexStatusNoSuchCamera);
    EXPECT_STREQ(name, "");
}

} // namespace
