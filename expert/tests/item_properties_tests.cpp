// The exact properties of each kind of item, read through the built module.
#include "PropertyText.h"
#include "RunningExpert.h"

#include "hostkit/PropertyReading.h"

#include <map>

namespace {

// Every property of a bag as tag -> "type:value".
using Properties = std::map<uint32_t, std::string>;

Properties propertiesOf(IoxSysPropertyBag* bag) {
    const std::optional<PropertyList> read = readProperties(bag);
    EXPECT_TRUE(read) << "the bag enumerates its properties";
    Properties all;
    for (const Property& property : read.value_or(PropertyList{})) {
        all[property.tag] = propertyText(property);
    }
    return all;
}

class ItemProperties : public RunningExpert {
protected:
    Properties read(const char16_t* name) {
        IoxSysPropertyBag* bag = nullptr;
        EXPECT_EQ(expert->GetPropertiesOfItem(name, &bag), 0);
        if (bag == nullptr) {
            return {};
        }
        Properties all = propertiesOf(bag);
        bag->Release();
        return all;
    }
    void load(const std::string& json) {
        std::string problem;
        ASSERT_TRUE(vyrexsim::LoadScenario(json, &problem)) << problem;
        start();
        waitForFirstPass();
    }
};

// The properties every camera carries; the bus adds its own.
Properties commonCamera(const std::string& name, const std::string& busType,
                        const std::string& serial, const std::string& vendor,
                        const std::string& model, const std::string& interfaceName,
                        const std::string& driver) {
    return {
        {0x07006000, "uint:1"},         {0x07007000, "uint:2"},
        {0x07008000, "uint:3"},         {0x07009000, "int:" + busType},
        {0x01007000, "text:" + serial}, {0x01004000, "text:" + vendor},
        {0x01006000, "text:" + model},  {0x0101C000, "int:1"},
        {0x0101D000, "text:" + name},   {0x01054000, "bool:0"},
        {0x0102A000, "int:100"},        {0x01001000, "bool:1"},
        {0x01028000, "bool:0"},         {0x01024000, "int:1"},
        {0x01008000, "bool:0"},         {0x0101F000, "text:" + interfaceName},
        {0x01022000, "guid:000"},       {0x0700C000, "uint:197121"},
        {0x0700D000, "text:" + driver},
    };
}

Properties with(Properties base, const Properties& extra) {
    for (const auto& [tag, value] : extra) {
        base[tag] = value;
    }
    return base;
}

TEST_F(ItemProperties, NetworkCamera) {
    load(R"({"cameras": [{"bus": "ipv4", "interface": "eth-cam", "vendor": "Acme",
        "model": "GX-1", "serial": "0x1A2B3C4D5E", "entryWords": [1, 2, 3],
        "ipAddress": "192.168.0.1", "subnetMask": "255.255.255.0", "driver": "GigE"}]})");
    EXPECT_EQ(read(u"eth-cam"),
              with(commonCamera("eth-cam", std::to_string(0x69707634), "1A2B3C4D5E", "Acme",
                                "Acme GX-1", "eth-cam", "GigE"),
                   {{0x01002000, "uint:6"},
                    {0x0102C000, "text:192.168.0.1"},
                    {0x01025000, "text:255.255.255.0"},
                    {0x0102B000, "int:1"},
                    {0x01033000, "text:"},
                    {0x01034000, "bool:0"}}));
}

TEST_F(ItemProperties, UsbCameraOfTheMaker) {
    load(R"({"cameras": [{"bus": "USB3", "interface": "usb-1", "vendor": "Kroneth Imaging",
        "model": "U3-20", "serial": 0, "entryWords": [1, 2, 3],
        "usbVendorId": "0x2C7A", "usbProductId": "0x0101", "driver": "U3V"}]})");
    EXPECT_EQ(read(u"usb-1"), with(commonCamera("usb-1", std::to_string(0x55534233), "0",
                                                "Kroneth Imaging", "KR U3-20", "usb-1", "U3V"),
                                   {{0x01003000, "uint:11386"},
                                    {0x01005000, "uint:257"},
                                    {0x01002000, "uint:2"},
                                    {0x0101B000, "uint:1"}}));
}

TEST_F(ItemProperties, FireWireCameraWhoseModelAlreadyHasThePrefix) {
    load(R"({"cameras": [{"bus": "1394", "interface": "fw", "vendor": "Kroneth",
        "model": "KR FW-1", "serial": 255, "entryWords": [1, 2, 3], "firewireId": 77,
        "driver": "FW"}]})");
    EXPECT_EQ(read(u"fw"), with(commonCamera("fw", std::to_string(0x31333934), "FF", "Kroneth",
                                             "KR FW-1", "fw", "FW"),
                                {{0x01002000, "uint:12"}, {0x01003000, "uint:77"}}));
}

TEST_F(ItemProperties, CameraLinkCameraIsNamedByItsPort) {
    load(R"({"cameras": [{"bus": "CLNK", "interface": "clport_0", "vendor": "Acme",
        "model": "CL", "serial": 255, "entryWords": [1, 2, 3], "driver": "CL"}]})");
    EXPECT_EQ(read(u"clport::0"), with(commonCamera("clport::0", std::to_string(0x434C4E4B), "FF",
                                                    "Acme", "Acme CL", "clport_0", "CL"),
                                       {{0x01002000, "uint:0"}, {0x0100A000, "text:000000FF"}}));
}

TEST_F(ItemProperties, SimulatedAndOtherCameras) {
    load(R"({"cameras": [
        {"bus": " sim", "interface": "sim", "vendor": "V", "model": "M", "serial": 1,
         "entryWords": [1, 2, 3], "driver": "S"},
        {"bus": "CXP ", "interface": "cxp", "vendor": "V", "model": "M", "serial": 1,
         "entryWords": [1, 2, 3], "driver": "S"}]})");
    EXPECT_EQ(read(u"sim"),
              with(commonCamera("sim", std::to_string(0x2073696D), "1", "V", "V M", "sim", "S"),
                   {{0x01009000, "bool:1"}, {0x01002000, "uint:0"}}));
    EXPECT_EQ(read(u"cxp"),
              with(commonCamera("cxp", std::to_string(0x43585020), "1", "V", "V M", "cxp", "S"),
                   {{0x01002000, "uint:0"}}))
        << "19 common properties and the device class only";
}

TEST_F(ItemProperties, FrameGrabber) {
    load(R"({"frameGrabbers": [{"name": "fg0", "model": "FG-CL", "serial": "0x100000002",
        "bus": "PCIe", "hardwareWords": [7, 8, 9], "identifierA": "0xABCD",
        "identifierB": 12, "linkWidthA": 4, "linkWidthB": 3, "linkSpeedA": 1,
        "linkSpeedB": 3}]})");
    const Properties expected = {
        {0x07009000, "int:" + std::to_string(0x50434965)},
        {0x0700C000, "uint:197121"},
        {0x0700D000, "text:Vyrex"},
        {0x01007000, "text:100000002"},
        {0x01004000, "text:Kroneth"},
        {0x01003000, "uint:43981"},
        {0x01006000, "text:FG-CL"},
        {0x01005000, "uint:12"},
        {0x0100A000, "text:"},
        {0x0100B000, "int:-1"},
        {0x0101C000, "int:1"},
        {0x0101D000, "text:FG0"},
        {0x0101F000, "text:FG0"},
        {0x01054000, "bool:0"},
        {0x0102A000, "int:100"},
        {0x01001000, "bool:1"},
        {0x01028000, "bool:0"},
        {0x01024000, "int:1"},
        {0x01008000, "bool:1"},
        {0x01002000, "uint:1"},
        {0x01018000, "uint:7"},
        {0x01019000, "uint:8"},
        {0x0101A000, "uint:9"},
        {0x0700F000, "text:N/A"},
        {0x01026000, "uint:0"},
        {0x01027000, "text:00000002"},
        {0x07012000, "text:5.0 GT/s"},
        {0x01078000, "int:1"},
        {0x07013000, "text:Not Detected"},
        {0x01079000, "int:-1"},
        {0x07010000, "text:X4"},
        {0x01031000, "int:4"},
        {0x07011000, "text:Not Detected"},
        {0x01030000, "int:-1"},
    };
    EXPECT_EQ(read(u"FG0"), expected);
}

} // namespace
