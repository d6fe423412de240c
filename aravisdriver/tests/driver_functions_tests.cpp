// The exported functions' answers that need no camera.
#include "PrivateLoopback.h"
#include "aravisdriver/src/Status.h"
#include "driver/VyrexDriver.h"

#include <arv.h>
#include <gtest/gtest.h>

namespace {

using namespace vyrexaravis;

TEST(FrameGrabbers, NoneAtAll) {
    uint32_t count = 5;
    EXPECT_EQ(VyrexEnumerateFrameGrabbers(nullptr, &count), 0);
    EXPECT_EQ(count, 0u);
    FrameGrabberRecord record{};
    record.busType = 0xdeadbeef;
    count = 1;
    EXPECT_EQ(VyrexEnumerateFrameGrabbers(&record, &count), 0);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(record.busType, 0xdeadbeefu) << "no record to fill";
    EXPECT_EQ(VyrexEnumerateFrameGrabbers(&record, nullptr), kStatusBadArgument);
}

// Every camera call starts discovery, which must not reach the machine's
// network: these run inside the private namespace only.
TEST(DriverVersion, IsAravisRunTimeVersion) {
    SKIP_WITHOUT_PRIVATE_LOOPBACK();
    uint32_t version = 0xdeadbeef;
    ASSERT_EQ(VyrexGetDriverVersion(&version), 0);
    EXPECT_EQ(version, arv_get_major_version() << 16 | arv_get_minor_version() << 8 |
                           arv_get_micro_version());
    EXPECT_EQ(VyrexGetDriverVersion(nullptr), kStatusBadArgument);
}

TEST(DriverFunctions, RefuseBadArguments) {
    SKIP_WITHOUT_PRIVATE_LOOPBACK();
    uint32_t count = 0;
    CameraEntry entry{};
    EXPECT_EQ(VyrexEnumerateCameras(nullptr, nullptr, 1), kStatusBadArgument);
    EXPECT_EQ(VyrexEnumerateCameras(&entry, &count, 0), kStatusBadArgument);
    uint32_t value = 0xdeadbeef;
    EXPECT_EQ(VyrexGetCameraProperty(nullptr, 1, &value), kStatusBadArgument);
    EXPECT_EQ(VyrexGetCameraProperty("x", 5, &value), kStatusBadArgument);
    EXPECT_EQ(VyrexGetCameraProperty("x", 1, nullptr), kStatusBadArgument);
    EXPECT_EQ(VyrexGetCameraProperty("no such camera", 1, &value), kStatusNoSuchCamera);
    EXPECT_EQ(value, 0xdeadbeefu);
    char name[16] = "poison";
    EXPECT_EQ(VyrexGetDriverName2(0x1234, nullptr, 16), kStatusBadArgument);
    EXPECT_EQ(VyrexGetDriverName2(0x1234, name, 0), kStatusBadArgument);
    EXPECT_EQ(VyrexGetDriverName2(0x1234, name, sizeof name), kStatusNoSuchCamera);
    EXPECT_STREQ(name, "");
}

} // namespace
