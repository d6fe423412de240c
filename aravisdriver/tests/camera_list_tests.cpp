#include "aravisdriver/src/CameraList.h"

#include "Poison.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace vyrexaravis {
namespace {

Camera GigECamera(const std::string& name, uint64_t serial) {
    Camera camera;
    camera.busType = kVyrexBusIPv4;
    camera.interfaceName = name;
    camera.vendorName = "Aravis";
    camera.modelName = "Fake";
    camera.spareText0 = "GV01";
    camera.spareText1 = "00:00:00:00:00:00";
    camera.serialNumber = serial;
    camera.ipAddress = 0x7F000002;
    camera.subnetMask = 0xFF000000;
    return camera;
}

Camera UsbCamera(const std::string& name, uint64_t serial) {
    Camera camera;
    camera.busType = kVyrexBusUSB3;
    camera.interfaceName = name;
    camera.serialNumber = serial;
    camera.usbVendorId = 0x2C7A;
    camera.usbProductId = 0x0104;
    return camera;
}

class Listed : public testing::Test {
protected:
    void SetUp() override {
        list.Publish({GigECamera("Aravis-Fake-GV01", 0x0000000100000002ull),
                      UsbCamera("Kroneth-U3-1280C-0001", 0x1234)});
    }
    uint32_t property(const char* name, uint32_t number) {
        uint32_t value = kPoisonWord;
        EXPECT_EQ(list.GetCameraProperty(name, number, &value), kVyrexStatusOk)
            << name << " " << number;
        return value;
    }
    CameraList list;
};

TEST(CameraList, EmptyUntilADiscoveryIsPublished) {
    CameraList list;
    uint32_t count = 7;
    EXPECT_EQ(list.EnumerateCameras(nullptr, &count, 1), kVyrexStatusOk);
    EXPECT_EQ(count, 0u);
}

TEST_F(Listed, CountingCallIgnoresTheCapacity) {
    uint32_t count = 99;
    EXPECT_EQ(list.EnumerateCameras(nullptr, &count, 1), kVyrexStatusOk);
    EXPECT_EQ(count, 2u);
}

TEST_F(Listed, FillingWritesEveryByteOfEachEntry) {
    std::vector<CameraEntry> entries = poisoned<CameraEntry>(2);
    uint32_t count = 2;
    ASSERT_EQ(list.EnumerateCameras(entries.data(), &count, 1), kVyrexStatusOk);
    ASSERT_EQ(count, 2u);
    const CameraEntry& gige = entries[0];
    EXPECT_EQ(gige.entryWord0, 0u);
    EXPECT_EQ(gige.entryWord1, 0u);
    EXPECT_EQ(gige.entryWord2, 0u);
    EXPECT_EQ(gige.serialNumberHigh, 1u);
    EXPECT_EQ(gige.serialNumberLow, 2u);
    EXPECT_EQ(gige.busType, kVyrexBusIPv4);
    EXPECT_STREQ(gige.interfaceName, "Aravis-Fake-GV01");
    EXPECT_STREQ(gige.vendorName, "Aravis");
    EXPECT_STREQ(gige.modelName, "Fake");
    EXPECT_STREQ(gige.spareText0, "GV01");
    EXPECT_STREQ(gige.spareText1, "00:00:00:00:00:00");
    // Past each terminator the field is zero, not poison.
    for (const char* field :
         {gige.interfaceName, gige.vendorName, gige.modelName, gige.spareText0, gige.spareText1}) {
        for (size_t i = std::strlen(field); i < kVyrexTextSize; ++i) {
            ASSERT_EQ(field[i], 0) << "byte " << i << " of " << field;
        }
    }
    EXPECT_EQ(entries[1].busType, kVyrexBusUSB3);
    EXPECT_STREQ(entries[1].vendorName, "");
}

TEST_F(Listed, ASmallerArrayIsFilledAsFarAsItGoes) {
    std::vector<CameraEntry> entries = poisoned<CameraEntry>(2);
    uint32_t count = 1;
    ASSERT_EQ(list.EnumerateCameras(entries.data(), &count, 1), kVyrexStatusOk);
    EXPECT_EQ(count, 2u) << "the caller learns that cameras came in";
    EXPECT_STREQ(entries[0].interfaceName, "Aravis-Fake-GV01");
    EXPECT_EQ(uint8_t(entries[1].interfaceName[0]), kPoisonByte) << "written past the capacity";
}

TEST_F(Listed, ALargerArrayKeepsItsSurplusUntouched) {
    std::vector<CameraEntry> entries = poisoned<CameraEntry>(3);
    uint32_t count = 3;
    ASSERT_EQ(list.EnumerateCameras(entries.data(), &count, 1), kVyrexStatusOk);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(uint8_t(entries[2].busType), kPoisonByte);
}

TEST_F(Listed, PropertiesOfANetworkCamera) {
    EXPECT_EQ(property("Aravis-Fake-GV01", kVyrexCameraAddress1), 0x7F000002u);
    EXPECT_EQ(property("Aravis-Fake-GV01", kVyrexCameraAddress2), 0xFF000000u);
    EXPECT_EQ(property("Aravis-Fake-GV01", kVyrexCameraIdentifier1), 0u);
    EXPECT_EQ(property("Aravis-Fake-GV01", kVyrexCameraIdentifier2), 0u);
}

TEST_F(Listed, PropertiesOfAUsbCamera) {
    EXPECT_EQ(property("Kroneth-U3-1280C-0001", kVyrexCameraAddress1), 0u);
    EXPECT_EQ(property("Kroneth-U3-1280C-0001", kVyrexCameraAddress2), 0u);
    EXPECT_EQ(property("Kroneth-U3-1280C-0001", kVyrexCameraIdentifier1), 0x2C7Au);
    EXPECT_EQ(property("Kroneth-U3-1280C-0001", kVyrexCameraIdentifier2), 0x0104u);
}

TEST_F(Listed, PropertyQueriesThatFailLeaveTheValue) {
    uint32_t value = kPoisonWord;
    EXPECT_EQ(list.GetCameraProperty("aravis-fake-gv01", 1, &value), kVyrexStatusNoSuchCamera);
    EXPECT_EQ(value, kPoisonWord);
}

TEST(CameraList, InterfaceNameIsReadNoFurtherThanOneField) {
    CameraList list;
    const std::string longName(kVyrexTextSize, 'n');
    list.Publish({GigECamera(longName, 1)});
    // A field with no terminator, followed by more text that is not the name.
    std::vector<char> field(longName.begin(), longName.end());
    field.insert(field.end(), {'x', '\0'});
    uint32_t value = 0;
    EXPECT_EQ(list.GetCameraProperty(field.data(), 1, &value), kVyrexStatusOk);
    EXPECT_EQ(value, 0x7F000002u);
}

TEST_F(Listed, DriverNameForAListedSerialNumber) {
    char buffer[kVyrexTextSize];
    std::memset(buffer, kPoisonByte, sizeof buffer);
    EXPECT_EQ(list.GetDriverName(0x0000000100000002ull, buffer, sizeof buffer), kVyrexStatusOk);
    EXPECT_STREQ(buffer, kDriverName);
    EXPECT_EQ(list.GetDriverName(0x1234, buffer, sizeof buffer), kVyrexStatusOk);
    EXPECT_STREQ(buffer, kDriverName);
}

TEST_F(Listed, DriverNameOfAnUnknownSerialNumberIsEmpty) {
    char buffer[16] = "poison";
    EXPECT_EQ(list.GetDriverName(0x2, buffer, sizeof buffer), kVyrexStatusNoSuchCamera);
    EXPECT_STREQ(buffer, "");
}

TEST_F(Listed, DriverNameIsCutToTheBuffer) {
    char buffer[6];
    std::memset(buffer, kPoisonByte, sizeof buffer);
    EXPECT_EQ(list.GetDriverName(0x1234, buffer, sizeof buffer), kVyrexStatusBufferTooSmall);
    EXPECT_STREQ(buffer, std::string(kDriverName).substr(0, 5).c_str());
}

TEST_F(Listed, APublishedDiscoveryReplacesTheWholeList) {
    list.Publish({UsbCamera("Other-Camera-9", 9)});
    uint32_t count = 0;
    list.EnumerateCameras(nullptr, &count, 1);
    EXPECT_EQ(count, 1u);
    uint32_t value = 0;
    EXPECT_EQ(list.GetCameraProperty("Aravis-Fake-GV01", 1, &value), kVyrexStatusNoSuchCamera);
    char buffer[32];
    EXPECT_EQ(list.GetDriverName(0x1234, buffer, sizeof buffer), kVyrexStatusNoSuchCamera);
}

} // namespace
} // namespace vyrexaravis
