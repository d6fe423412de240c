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
}

// Every camera call starts discovery, which must not reach the machine's
// network: these run inside the private namespace only.
TEST(DriverVersion, IsAravisRunTimeVersion) {
    SKIP_WITHOUT_PRIVATE_LOOPBACK();
    uint32_t version = kPoisonWord;
    ASSERT_EQ(VyrexGetDriverVersion(&version), 0);
    EXPECT_EQ(version, arv_get_major_version() << 16 | arv_get_minor_version() << 8 |
                           arv_get_micro_version());
}

// The argument rules are every driver's (driver/tests/conformance_tests.cpp).
TEST(DriverFunctions, UnknownCamerasAreNoSuchCamera) {
    SKIP_WITHOUT_PRIVATE_LOOPBACK();
    uint32_t value = kPoisonWord;
    EXPECT_EQ(VyrexGetCameraProperty("no such camera", 1, &value), kVyrexStatusNoSuchCamera);
    EXPECT_EQ(value, kPoisonWord);
    char name[16] = "poison";
    EXPECT_EQ(VyrexGetDriverName2(0x1234, name, sizeof name), kVyrexStatusNoSuchCamera);
    EXPECT_STREQ(name, "");
}

} // namespace
