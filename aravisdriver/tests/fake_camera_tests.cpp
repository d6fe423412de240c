// Fake GigE Vision cameras on the private loopback, seen through the
// exported driver functions as the expert sees them.
#include "DriverCalls.h"
#include "FakeCamera.h"
#include "Poison.h"
#include "PrivateLoopback.h"
#include "Waiting.h"
#include "aravisdriver/src/Camera.h"
#include "aravisdriver/src/Identity.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

using namespace vyrexaravis;

constexpr uint32_t kLoopbackMask = 0xFF000000;

uint32_t Property(const std::string& interfaceName, uint32_t property) {
    uint32_t value = kPoisonWord;
    EXPECT_EQ(VyrexGetCameraProperty(interfaceName.c_str(), property, &value), 0)
        << interfaceName << " property " << property;
    return value;
}

std::string DriverName(uint64_t serialNumber) {
    char name[kVyrexTextSize] = "poison";
    VyrexGetDriverName2(serialNumber, name, sizeof name);
    return name;
}

bool Listed(const FakeCamera& camera) {
    return FindCamera(camera.deviceId()).has_value();
}

class FakeCameras : public testing::Test {
protected:
    void SetUp() override { SKIP_WITHOUT_PRIVATE_LOOPBACK(); }
};

TEST_F(FakeCameras, OneAppearsWithItsIdentityAndAddressAndGoesWhenStopped) {
    // A serial text of hex digits is the serial number itself.
    FakeCamera camera(LoopbackAddress(2), "1234ABCD");
    ASSERT_TRUE(camera.running());
    ASSERT_TRUE(waitUntil([&] { return Listed(camera); })) << camera.deviceId() << " never came";

    const CameraEntry entry = *FindCamera(camera.deviceId());
    EXPECT_EQ(entry.busType, kVyrexBusIPv4);
    EXPECT_STREQ(entry.vendorName, "Aravis");
    EXPECT_STREQ(entry.modelName, "Fake");
    EXPECT_STREQ(entry.spareText0, "1234ABCD");
    EXPECT_STREQ(entry.spareText1, "00:00:00:00:00:00");
    EXPECT_EQ(SerialNumberOf(entry), 0x1234ABCDull);
    EXPECT_EQ(entry.entryWord0 | entry.entryWord1 | entry.entryWord2, 0u);
    EXPECT_EQ(Property(camera.deviceId(), kVyrexCameraAddress1), 0x7F000002u);
    EXPECT_EQ(Property(camera.deviceId(), kVyrexCameraAddress2), kLoopbackMask);
    EXPECT_EQ(Property(camera.deviceId(), kVyrexCameraIdentifier1), 0u);
    EXPECT_EQ(Property(camera.deviceId(), kVyrexCameraIdentifier2), 0u);
    EXPECT_EQ(DriverName(SerialNumberOf(entry)), kDriverName);

    camera.stop();
    ASSERT_TRUE(waitUntil([&] { return !Listed(camera); })) << camera.deviceId() << " stayed";
    uint32_t value = kPoisonWord;
    EXPECT_EQ(VyrexGetCameraProperty(camera.deviceId().c_str(), 1, &value),
              kVyrexStatusNoSuchCamera);
    EXPECT_EQ(DriverName(0x1234ABCD), "");
}

TEST_F(FakeCameras, SeveralAtOnceEachWithItsOwnAddressAndSerialNumber) {
    std::vector<std::unique_ptr<FakeCamera>> cameras;
    for (unsigned host = 3; host <= 5; ++host) {
        cameras.push_back(
            std::make_unique<FakeCamera>(LoopbackAddress(host), "GV0" + std::to_string(host)));
        ASSERT_TRUE(cameras.back()->running()) << LoopbackAddress(host);
    }
    ASSERT_TRUE(waitUntil(
        [&] { return Listed(*cameras[0]) && Listed(*cameras[1]) && Listed(*cameras[2]); }));
    for (unsigned i = 0; i < cameras.size(); ++i) {
        const std::string& id = cameras[i]->deviceId();
        const CameraEntry entry = *FindCamera(id);
        // Their MAC address is all zero and "GV0n" is no number: the device id's hash.
        EXPECT_EQ(SerialNumberOf(entry), HashText(id)) << id;
        EXPECT_EQ(Property(id, kVyrexCameraAddress1), 0x7F000003u + i) << id;
        EXPECT_EQ(Property(id, kVyrexCameraAddress2), kLoopbackMask) << id;
    }

    cameras[1]->stop();
    ASSERT_TRUE(waitUntil([&] { return !Listed(*cameras[1]); }));
    EXPECT_TRUE(Listed(*cameras[0]));
    EXPECT_TRUE(Listed(*cameras[2]));
}

// The expert calls the driver with its map lock held, often; discovery
// meanwhile waits on the network for about a second per pass. Two threads
// call all the while the camera is stopped and discovery notices.
TEST_F(FakeCameras, CallsWhileDiscoveriesAreInProgress) {
    FakeCamera camera(LoopbackAddress(6), "C0FFEE");
    ASSERT_TRUE(waitUntil([&] { return Listed(camera); }));
    std::atomic<bool> done{false};
    std::atomic<int> rounds{0};
    auto caller = [&] {
        while (!done) {
            for (const CameraEntry& entry : EnumerateAllCameras()) {
                uint32_t value = 0;
                VyrexGetCameraProperty(entry.interfaceName, 1, &value);
                VyrexGetCameraProperty(entry.interfaceName, 2, &value);
                char name[kVyrexTextSize];
                VyrexGetDriverName2(SerialNumberOf(entry), name, sizeof name);
            }
            ++rounds;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    };
    std::thread first(caller);
    std::thread second(caller);
    ASSERT_TRUE(waitUntil([&] { return rounds >= 10; })) << "the calls are under way";
    camera.stop();
    // The camera goes only with a discovery that began after it stopped.
    EXPECT_TRUE(waitUntil([&] { return !Listed(camera); }));
    done = true;
    first.join();
    second.join();
}

} // namespace
