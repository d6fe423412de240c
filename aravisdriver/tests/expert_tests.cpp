// Black-box: the built expert module over this driver, loaded as a host
// loads them, with a fake camera on the private loopback plugged in and out.
#include "FakeCamera.h"
#include "LoadedModule.h"
#include "PrivateLoopback.h"

#include "driver/VyrexDriver.h"
#include "objectmodel/BStr.h"
#include "objectmodel/oxSysInterfaces.h"

#include <arv.h>
#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// The host's handler: keeps every notification it is given.
class RecordingHandler : public IoxSysFrameworkNotificationHandler {
public:
    int32_t QueryInterface(const _GUID&, void** ppv) override {
        *ppv = nullptr;
        return int32_t(0x80004002);
    }
    uint32_t AddRef() override { return ++m_references; }
    uint32_t Release() override { return --m_references; }

    int32_t OnItemsChanged(IoxSysExpert2*, oxSysItemChangeKind kind,
                           IoxSysEnumStringList* names) override {
        std::vector<std::string> taken;
        char16_t* name = nullptr;
        uint32_t fetched = 0;
        while (names->Next(1, &name, &fetched) == 0 && fetched == 1) {
            taken.push_back(std::string(name, name + BStrLen(name)));
            BStrFree(name);
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const std::string& item : taken) {
            m_seen.emplace_back(kind, item);
        }
        m_changed.notify_all();
        return 0;
    }

    // Waits, with a generous limit, for a notification of kind naming item.
    bool waitFor(oxSysItemChangeKind kind, const std::string& item) {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(40), [&] {
            for (const auto& seen : m_seen) {
                if (seen.first == kind && seen.second == item) {
                    return true;
                }
            }
            return false;
        });
    }

    uint32_t references() const { return m_references; }

private:
    uint32_t m_references = 1; // the test's own
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::pair<oxSysItemChangeKind, std::string>> m_seen;
};

std::u16string Wide(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

std::string StringProperty(IoxSysPropertyBag* bag, uint32_t tag) {
    char16_t* value = nullptr;
    EXPECT_EQ(bag->GetStringProperty(tag, &value), 0) << std::hex << "tag 0x" << tag;
    std::string text = value == nullptr ? "<none>" : std::string(value, value + BStrLen(value));
    BStrFree(value);
    return text;
}

uint32_t UnsignedProperty(IoxSysPropertyBag* bag, uint32_t tag) {
    uint32_t value = 0xdeadbeef;
    EXPECT_EQ(bag->GetUnsignedIntegerProperty(tag, &value), 0) << std::hex << "tag 0x" << tag;
    return value;
}

int32_t IntegerProperty(IoxSysPropertyBag* bag, uint32_t tag) {
    int32_t value = int32_t(0xdeadbeef);
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
        char path[] = "/tmp/vyrexaravis-ini-XXXXXX";
        const int fd = mkstemp(path);
        ASSERT_GE(fd, 0);
        close(fd);
        iniPath = path;
        std::ofstream(iniPath) << "[VYREX]\nSystemapiExpertCameraListRefreshTimeInSec=1\n";
        *module->iniFilePath = iniPath.c_str();

        expert = module->createExpert();
        ASSERT_NE(expert, nullptr);
        void* itf = nullptr;
        ASSERT_EQ(expert->QueryInterface(IID_IoxSysExpertPlugPlay, &itf), 0);
        plugPlay = static_cast<IoxSysExpertPlugPlay*>(itf);
        ASSERT_EQ(plugPlay->RegisterNotificationCallback(&handler), 0);
    }
    void TearDown() override {
        unload();
        if (!iniPath.empty()) {
            std::remove(iniPath.c_str());
        }
    }

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
    std::string iniPath;
    RecordingHandler handler;
    IoxSysExpert2* expert = nullptr;
    IoxSysExpertPlugPlay* plugPlay = nullptr;
};

TEST_F(ExpertOverAravis, ACameraPluggedInIsAddedWithItsPropertiesAndRemovedWhenUnplugged) {
    FakeCamera camera(LoopbackAddress(7), "1234ABCD");
    ASSERT_TRUE(camera.running());
    ASSERT_EQ(expert->Initialize(), 0);
    ASSERT_TRUE(handler.waitFor(oxSysItemChangeKind_Added, camera.deviceId()))
        << camera.deviceId() << " was never added";

    IoxSysPropertyBag* bag = nullptr;
    ASSERT_EQ(expert->GetPropertiesOfItem(Wide(camera.deviceId()).c_str(), &bag), 0);
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
    EXPECT_TRUE(handler.waitFor(oxSysItemChangeKind_Removed, camera.deviceId()))
        << camera.deviceId() << " was never removed";
    EXPECT_NE(expert->GetPropertiesOfItem(Wide(camera.deviceId()).c_str(), &bag), 0);
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
    ASSERT_TRUE(handler.waitFor(oxSysItemChangeKind_Added, camera.deviceId()));
    EXPECT_TRUE(DriverMapped());
    // The backend's discovery thread is most likely inside a pass now.
    unload();
    EXPECT_FALSE(DriverMapped()) << "the driver stayed loaded";
}

} // namespace
