// Black-box: the built expert module over this driver, loaded as a host
// loads them, with a fake camera on the private loopback plugged in and out.
#include "FakeCamera.h"
#include "HostObjects.h"
#include "LoadedModule.h"
#include "Poison.h"
#include "PrivateLoopback.h"
#include "TempDirectory.h"

#include "contract/oxSysInterfaces.h"
#include "driver/VyrexDriver.h"

#include <arv.h>
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

namespace {

// Discovery and the expert's refresh, with a generous margin.
constexpr std::chrono::seconds kDiscoveryWait{40};

std::string StringProperty(IoxSysPropertyBag* bag, uint32_t tag) {
    char16_t* value = nullptr;
    EXPECT_EQ(bag->GetStringProperty(tag, &value), 0) << std::hex << "tag 0x" << tag;
    return value == nullptr ? "<none>" : takeText(value);
}

uint32_t UnsignedProperty(IoxSysPropertyBag* bag, uint32_t tag) {
    uint32_t value = kPoisonWord;
    EXPECT_EQ(bag->GetUnsignedIntegerProperty(tag, &value), 0) << std::hex << "tag 0x" << tag;
    return value;
}

int32_t IntegerProperty(IoxSysPropertyBag* bag, uint32_t tag) {
    int32_t value = int32_t(kPoisonWord);
    EXPECT_EQ(bag->GetIntegerProperty(tag, &value), 0) << std::hex << "tag 0x" << tag;
    return value;
}

class ExpertOverAravis : public testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_PRIVATE_LOOPBACK();
        module = std::make_unique<LoadedModule>(KR_ARAVIS_DRIVER_PATH, KR_EXPERT_MODULE_PATH);
        ASSERT_EQ(module->error(), "");
        // Refresh every second instead of every two.
        iniPath = files.write("kr-rt.ini", refreshPeriodIni(1));
        module->setIniFilePath(iniPath.c_str());

        expert = module->createExpert();
        ASSERT_NE(expert, nullptr);
        void* itf = nullptr;
        ASSERT_EQ(expert->QueryInterface(IID_IoxSysExpertPlugPlay, &itf), 0);
        plugPlay = static_cast<IoxSysExpertPlugPlay*>(itf);
        ASSERT_EQ(plugPlay->RegisterNotificationCallback(&handler), 0);
    }
    void TearDown() override { unload(); }

    // Finalizes and destroys the expert, then unloads the module and driver.
    void unload() {
        if (expert != nullptr) {
            expert->Finalize();
            plugPlay->Release();
            EXPECT_EQ(expert->Release(), 0u);
            EXPECT_EQ(handler.references(), 1u) << "the expert kept the handler";
            expert = nullptr;
        }
        module.reset();
    }

    std::unique_ptr<LoadedModule> module;
    TempDirectory files;
    std::string iniPath;
    RecordingHandler handler;
    IoxSysExpert2* expert = nullptr;
    IoxSysExpertPlugPlay* plugPlay = nullptr;
};

TEST_F(ExpertOverAravis, ACameraPluggedInIsAddedWithItsPropertiesAndRemovedWhenUnplugged) {
    FakeCamera camera(LoopbackAddress(7), "1234ABCD");
    ASSERT_TRUE(camera.running());
    ASSERT_EQ(expert->Initialize(), 0);
    ASSERT_TRUE(handler.waitFor(oxSysItemChangeKind_Added, camera.deviceId(), kDiscoveryWait))
        << camera.deviceId() << " was never added";

    IoxSysPropertyBag* bag = nullptr;
    ASSERT_EQ(expert->GetPropertiesOfItem(wide(camera.deviceId()).c_str(), &bag), 0);
    ASSERT_NE(bag, nullptr);
    EXPECT_EQ(StringProperty(bag, 0x01004000), "Aravis");      // vendor
    EXPECT_EQ(StringProperty(bag, 0x01006000), "Aravis Fake"); // model text
    EXPECT_EQ(StringProperty(bag, 0x0101F000), camera.deviceId());
    EXPECT_EQ(StringProperty(bag, 0x01007000), "1234ABCD"); // serial number
    EXPECT_EQ(IntegerProperty(bag, 0x07009000), int32_t(kVyrexBusIPv4));
    EXPECT_EQ(StringProperty(bag, 0x0102C000), "127.0.0.7");
    EXPECT_EQ(StringProperty(bag, 0x01025000), "255.0.0.0");
    EXPECT_EQ(StringProperty(bag, 0x0700D000), "VyrexAravis");
    EXPECT_EQ(UnsignedProperty(bag, 0x0700C000), arv_get_major_version() << 16 |
                                                     arv_get_minor_version() << 8 |
                                                     arv_get_micro_version());
    EXPECT_EQ(UnsignedProperty(bag, 0x01002000), 6u); // network device class
    bag->Release();

    camera.stop();
    EXPECT_TRUE(handler.waitFor(oxSysItemChangeKind_Removed, camera.deviceId(), kDiscoveryWait))
        << camera.deviceId() << " was never removed";
    EXPECT_NE(expert->GetPropertiesOfItem(wide(camera.deviceId()).c_str(), &bag), 0);
}

bool DriverMapped() {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        if (line.find("libvyrexaravis.so") != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST_F(ExpertOverAravis, UnloadingStopsDiscoveryAndFreesTheDriver) {
    FakeCamera camera(LoopbackAddress(8), "ABCDEF");
    ASSERT_EQ(expert->Initialize(), 0);
    ASSERT_TRUE(handler.waitFor(oxSysItemChangeKind_Added, camera.deviceId(), kDiscoveryWait));
    EXPECT_TRUE(DriverMapped());
    // The backend's discovery thread is most likely inside a pass now.
    unload();
    EXPECT_FALSE(DriverMapped()) << "the driver stayed loaded";
}

} // namespace
