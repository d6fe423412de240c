#include "aravisdriver/src/UsbIds.h"

#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace vyrexaravis {
namespace {

namespace fs = std::filesystem;

// A directory laid out like /sys/bus/usb/devices, removed at the end.
class FakeSysfs : public testing::Test {
protected:
    void device(const std::string& name, const std::string& serial, const std::string& vendorId,
                const std::string& productId, const std::string& manufacturer = "Kroneth",
                const std::string& product = "U3-1280C") {
        const fs::path dir = root / name;
        fs::create_directories(dir);
        attribute(dir, "serial", serial);
        attribute(dir, "idVendor", vendorId);
        attribute(dir, "idProduct", productId);
        attribute(dir, "manufacturer", manufacturer);
        attribute(dir, "product", product);
    }
    static void attribute(const fs::path& dir, const char* name, const std::string& value) {
        std::ofstream(dir / name) << value << "\n";
    }
    std::optional<UsbIds> find(const std::string& serial,
                               const std::string& manufacturer = "Kroneth",
                               const std::string& product = "U3-1280C") {
        return FindUsbIds(root.string(), serial, manufacturer, product);
    }

    TempDirectory sysfs;
    fs::path root = sysfs.path();
};

TEST_F(FakeSysfs, TheDeviceWithTheSerialGivesItsIds) {
    device("usb1", "", "1d6b", "0002");
    device("1-2", "ABC123", "2c7a", "0104");
    device("1-3", "XYZ", "046d", "c52b");
    const std::optional<UsbIds> ids = find("ABC123");
    ASSERT_TRUE(ids.has_value());
    EXPECT_EQ(ids->vendorId, 0x2C7Au);
    EXPECT_EQ(ids->productId, 0x0104u);
}

TEST_F(FakeSysfs, InterfacesOfTheDeviceAreNotDevices) {
    device("1-2", "ABC123", "2c7a", "0104");
    device("1-2:1.0", "ABC123", "ffff", "ffff");
    const std::optional<UsbIds> ids = find("ABC123");
    ASSERT_TRUE(ids.has_value());
    EXPECT_EQ(ids->vendorId, 0x2C7Au);
}

TEST_F(FakeSysfs, ASharedSerialIsNarrowedByManufacturerAndProduct) {
    device("1-2", "0001", "2c7a", "0104");
    device("1-3", "0001", "1ab2", "0001", "Other", "Cam");
    const std::optional<UsbIds> ids = find("0001", "Other", "Cam");
    ASSERT_TRUE(ids.has_value());
    EXPECT_EQ(ids->vendorId, 0x1AB2u);
    EXPECT_EQ(ids->productId, 0x0001u);
}

TEST_F(FakeSysfs, AmbiguousOrMissingDevicesGiveNothing) {
    device("1-2", "0001", "2c7a", "0104");
    device("1-3", "0001", "2c7a", "0105");
    EXPECT_FALSE(find("0001").has_value()) << "two devices fit";
    EXPECT_FALSE(find("0002").has_value()) << "no device fits";
    EXPECT_FALSE(find("").has_value()) << "an empty serial fits too many devices to tell";
}

TEST_F(FakeSysfs, MalformedIdsGiveNothing) {
    device("1-2", "A", "2c7a0", "0104");
    device("1-3", "B", "", "0104");
    device("1-4", "C", "2c7a", "01g4");
    for (const char* serial : {"A", "B", "C"}) {
        EXPECT_FALSE(find(serial).has_value()) << serial;
    }
}

TEST(UsbIds, AMissingDirectoryGivesNothing) {
    EXPECT_FALSE(FindUsbIds("/nonexistent/usb/devices", "ABC", "", "").has_value());
}

} // namespace
} // namespace vyrexaravis
