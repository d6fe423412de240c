#include "simdriver/tests/SimTestSupport.h"

#include <gtest/gtest.h>

#include <set>

using namespace simtest;

namespace {

class ScenarioParsing : public ::testing::Test {
protected:
    void SetUp() override { vyrexsim::Reset(); }
    void TearDown() override { vyrexsim::Reset(); }

    static void Load(const std::string& json) {
        std::string problem;
        ASSERT_TRUE(vyrexsim::LoadScenario(json, &problem)) << problem;
    }

    static uint32_t Property(const char* interfaceName, uint32_t number) {
        uint32_t value = kPoisonWord;
        EXPECT_EQ(VyrexGetCameraProperty(interfaceName, number, &value), 0) << interfaceName;
        return value;
    }

    static std::string DriverName(uint64_t serial) {
        char name[kVyrexTextSize];
        EXPECT_EQ(VyrexGetDriverName2(serial, name, sizeof name), 0);
        return name;
    }
};

TEST_F(ScenarioParsing, EveryCameraFieldReachesTheDriverFunctions) {
    Load(R"({
      "cameras": [{
        "bus": "ipv4", "interface": "gev0", "vendor": "Kroneth", "model": "KR GC-1",
        "serial": "0x0123456789ABCDEF", "ipAddress": "192.168.0.1",
        "subnetMask": "255.255.255.0", "entryWords": [1, "0x20", 3],
        "driver": "MyGigE", "spareText0": "s0", "spareText1": "s1"
      }, {
        "bus": "USB3", "interface": "usb0", "serial": 77,
        "usbVendorId": "2c7a", "usbProductId": 260
      }, {
        "bus": "1394", "interface": "fw0", "serial": "ffffffffffffffff",
        "firewireId": "0x00C0A1B2"
      }]
    })");
    const auto entries = EnumerateCameras();
    ASSERT_EQ(entries.size(), 3u);
    const CameraEntry& gev = entries[0];
    EXPECT_EQ(gev.busType, kVyrexBusIPv4);
    EXPECT_EQ(Text(gev.interfaceName), "gev0");
    EXPECT_EQ(Text(gev.vendorName), "Kroneth");
    EXPECT_EQ(Text(gev.modelName), "KR GC-1");
    EXPECT_EQ(Text(gev.spareText0), "s0");
    EXPECT_EQ(Text(gev.spareText1), "s1");
    EXPECT_EQ(gev.serialNumberHigh, 0x01234567u);
    EXPECT_EQ(gev.serialNumberLow, 0x89ABCDEFu);
    EXPECT_EQ(gev.entryWord0, 1u);
    EXPECT_EQ(gev.entryWord1, 0x20u);
    EXPECT_EQ(gev.entryWord2, 3u);
    EXPECT_EQ(Property("gev0", kVyrexCameraAddress1), 0xC0A80001u);
    EXPECT_EQ(Property("gev0", kVyrexCameraAddress2), 0xFFFFFF00u);
    EXPECT_EQ(DriverName(0x0123456789ABCDEFull), "MyGigE");

    EXPECT_EQ(entries[1].serialNumberLow, 77u);
    EXPECT_EQ(Property("usb0", kVyrexCameraIdentifier1), 0x2C7Au);
    EXPECT_EQ(Property("usb0", kVyrexCameraIdentifier2), 260u);
    EXPECT_EQ(Property("usb0", kVyrexCameraAddress1), 0u);
    EXPECT_EQ(DriverName(77), vyrexsim::DefaultDriverName(kVyrexBusUSB3));

    EXPECT_EQ(entries[2].serialNumberHigh, 0xFFFFFFFFu);
    EXPECT_EQ(entries[2].serialNumberLow, 0xFFFFFFFFu);
    EXPECT_EQ(Property("fw0", kVyrexCameraIdentifier1), 0x00C0A1B2u);
}

TEST_F(ScenarioParsing, BusKindIsAnyFourCharacters) {
    Load(R"({"cameras": [
      {"bus": "ipv4", "interface": "a"}, {"bus": "IPcm", "interface": "b"},
      {"bus": "USB3", "interface": "c"}, {"bus": "UVC ", "interface": "d"},
      {"bus": "1394", "interface": "e"}, {"bus": "CLNK", "interface": "f"},
      {"bus": " sim", "interface": "g"}, {"bus": "CXP ", "interface": "h"}]})");
    const auto entries = EnumerateCameras();
    ASSERT_EQ(entries.size(), 8u);
    const uint32_t expected[] = {kVyrexBusIPv4,      kVyrexBusIPCamera,
                                 kVyrexBusUSB3,      kVyrexBusUVC,
                                 kVyrexBusFireWire,  kVyrexBusCameraLink,
                                 kVyrexBusSimulated, VyrexFourCC('C', 'X', 'P', ' ')};
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].busType, expected[i]) << "camera " << i;
    }
}

TEST_F(ScenarioParsing, EveryFrameGrabberFieldReachesTheRecord) {
    Load(R"({"frameGrabbers": [{
        "name": "clfg0", "model": "KR FG-CL", "serial": 4294967297, "bus": "PCIe",
        "hardwareWords": ["0x10", 2, 3], "identifierA": "0x1DB5", "identifierB": 3088,
        "linkWidthA": 4, "linkWidthB": 32, "linkSpeedA": "8.0 GT/s", "linkSpeedB": 7
      }, {"name": "bare"}]})");
    const auto records = EnumerateFrameGrabbers();
    ASSERT_EQ(records.size(), 2u);
    const FrameGrabberRecord& r = records[0];
    EXPECT_EQ(Text(r.name), "clfg0");
    EXPECT_EQ(Text(r.modelName), "KR FG-CL");
    EXPECT_EQ(r.serialNumberHigh, 1u);
    EXPECT_EQ(r.serialNumberLow, 1u);
    EXPECT_EQ(r.busType, VyrexFourCC('P', 'C', 'I', 'e'));
    EXPECT_EQ(r.hardwareWord0, 0x10u);
    EXPECT_EQ(r.hardwareWord1, 2u);
    EXPECT_EQ(r.hardwareWord2, 3u);
    EXPECT_EQ(r.identifierA, 0x1DB5);
    EXPECT_EQ(r.identifierB, 3088);
    EXPECT_EQ(r.linkWidthA, 4u);
    EXPECT_EQ(r.linkWidthB, 32u);
    EXPECT_EQ(r.linkSpeedA, 2u);
    EXPECT_EQ(r.linkSpeedB, 7u) << "codes without a speed pass through";

    const FrameGrabberRecord& bare = records[1];
    EXPECT_EQ(bare.busType, 0u);
    EXPECT_EQ(bare.serialNumberLow, 0u);
    EXPECT_EQ(bare.linkWidthA, 0u);
    EXPECT_EQ(Text(bare.modelName), "");
}

TEST_F(ScenarioParsing, LinkSpeedTextsMapToTheirCodes) {
    Load(R"({"frameGrabbers": [
      {"name": "a", "linkSpeedA": "2.5 GT/s", "linkSpeedB": "5.0 GT/s"},
      {"name": "b", "linkSpeedA": 1, "linkSpeedB": 0}]})");
    const auto records = EnumerateFrameGrabbers();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].linkSpeedA, 0u);
    EXPECT_EQ(records[0].linkSpeedB, 1u);
    EXPECT_EQ(records[1].linkSpeedA, 1u);
    EXPECT_EQ(records[1].linkSpeedB, 0u);
}

TEST_F(ScenarioParsing, DriverVersionCommentsAndEmptyLists) {
    Load(R"(// a scenario with nothing connected
      {"driverVersion": "0x00040102", /* hexadecimal */ "cameras": [], "frameGrabbers": []})");
    EXPECT_TRUE(EnumerateCameras().empty());
    uint32_t version = 0;
    EXPECT_EQ(VyrexGetDriverVersion(&version), 0);
    EXPECT_EQ(version, 0x00040102u);

    Load("{}");
    EXPECT_EQ(VyrexGetDriverVersion(&version), 0);
    EXPECT_EQ(version, vyrexsim::kDefaultDriverVersion) << "a scenario without version";
}

TEST_F(ScenarioParsing, CamerasSharingAnInterfaceNameAreAllReported) {
    Load(R"({"cameras": [
      {"bus": "ipv4", "interface": "Cam0", "ipAddress": "10.0.0.1"},
      {"bus": "ipv4", "interface": "cam0"},
      {"bus": "ipv4", "interface": "Cam0", "subnetMask": "255.0.0.0"}]})");
    EXPECT_EQ(InterfaceNames(), (std::vector<std::string>{"Cam0", "cam0", "Cam0"}));
    EXPECT_EQ(Property("Cam0", kVyrexCameraAddress1), 0x0A000001u);
    EXPECT_EQ(Property("Cam0", kVyrexCameraAddress2), 0xFF000000u);
    EXPECT_EQ(Property("cam0", kVyrexCameraAddress1), 0u);
}

// Each malformed scenario is refused with a problem naming where and why.
struct Malformed {
    const char* json;
    const char* problem;
};

void PrintTo(const Malformed& malformed, std::ostream* out) {
    *out << malformed.json;
}

class MalformedScenario : public ::testing::TestWithParam<Malformed> {
protected:
    void SetUp() override { vyrexsim::Reset(); }
    void TearDown() override { vyrexsim::Reset(); }
};

TEST_P(MalformedScenario, IsRefusedWithAClearProblem) {
    vyrexsim::PlugCamera(MakeCamera("before"));
    std::string problem;
    EXPECT_FALSE(vyrexsim::LoadScenario(GetParam().json, &problem));
    EXPECT_NE(problem.find(GetParam().problem), std::string::npos) << problem;
    EXPECT_EQ(problem.find('\n'), std::string::npos) << "one line: " << problem;
    EXPECT_EQ(InterfaceNames(), (std::vector<std::string>{"before"})) << "devices kept";
}

INSTANTIATE_TEST_SUITE_P(
    EveryKindOfMistake, MalformedScenario,
    ::testing::Values(
        Malformed{"{\n\"cameras\": [\n{\"bus\": \"ipv4\",}\n]}", "line 3, column "},
        Malformed{"", "line 1, column 1"}, Malformed{"[]", "top level: expected an object"},
        Malformed{R"({"camera": []})", "top level: unknown field \"camera\""},
        Malformed{R"({"cameras": {}})", "cameras: expected an array"},
        Malformed{R"({"cameras": [5]})", "cameras[0]: expected an object"},
        Malformed{R"({"cameras": [{"interface": "a"}]})", "cameras[0]: missing field \"bus\""},
        Malformed{R"({"cameras": [{"bus": "ipv4"}]})", "cameras[0]: missing field \"interface\""},
        Malformed{R"({"cameras": [{"bus": "ipv4", "interface": "a", "serail": 1}]})",
                  "cameras[0]: unknown field \"serail\""},
        Malformed{R"({"cameras": [{"bus": "ipv44", "interface": "a"}]})",
                  "cameras[0].bus: expected four printable ASCII characters"},
        Malformed{R"({"cameras": [{"bus": "ip\tv", "interface": "a"}]})",
                  "cameras[0].bus: expected four printable"},
        Malformed{R"({"cameras": [{"bus": "ipv4", "interface": 3}]})",
                  "cameras[0].interface: expected a text"},
        Malformed{R"({"cameras": [{"bus": "ipv4", "interface": "a\u0000b"}]})",
                  "cameras[0].interface: contains a zero byte"},
        Malformed{R"({"cameras": [{"bus": "ipv4", "interface": "a", "ipAddress": "256.0.0.1"}]})",
                  "cameras[0].ipAddress: expected a dotted address"},
        Malformed{R"({"cameras": [{"bus": "ipv4", "interface": "a", "subnetMask": "1.2.3"}]})",
                  "cameras[0].subnetMask: expected a dotted address"},
        Malformed{R"({"cameras": [{"bus": "ipv4", "interface": "a", "ipAddress": "1.2.3.4x"}]})",
                  "cameras[0].ipAddress: expected a dotted address"},
        Malformed{R"({"cameras": [{"bus": "ipv4", "interface": "a", "ipAddress": 5}]})",
                  "cameras[0].ipAddress: expected a text"},
        Malformed{R"({"cameras": [{"bus": "ipv4", "interface": "a",
                     "serial": "1FFFFFFFFFFFFFFFF"}]})",
                  "cameras[0].serial: \"1FFFFFFFFFFFFFFFF\" is larger than 0xFFFFFFFFFFFFFFFF"},
        Malformed{R"({"cameras": [{"bus": "ipv4", "interface": "a", "serial": "12G4"}]})",
                  "cameras[0].serial: expected hexadecimal digits"},
        Malformed{R"({"cameras": [{"bus": "ipv4", "interface": "a", "serial": "0x"}]})",
                  "cameras[0].serial: expected hexadecimal digits"},
        Malformed{R"({"cameras": [{"bus": "ipv4", "interface": "a", "serial": -1}]})",
                  "cameras[0].serial: expected a whole number"},
        Malformed{R"({"cameras": [{"bus": "ipv4", "interface": "a", "serial": 1.5}]})",
                  "cameras[0].serial: expected a whole number"},
        Malformed{R"({"cameras": [{"bus": "USB3", "interface": "a",
                     "usbProductId": 4294967296}]})",
                  "cameras[0].usbProductId: 4294967296 is larger than 0xFFFFFFFF"},
        Malformed{R"({"cameras": [{"bus": "USB3", "interface": "a",
                     "usbVendorId": 1, "firewireId": 2}]})",
                  "cameras[0]: usbVendorId and firewireId are both property 3"},
        Malformed{R"({"cameras": [{"bus": "ipv4", "interface": "a", "entryWords": [1, 2]}]})",
                  "cameras[0].entryWords: expected an array of three numbers"},
        Malformed{R"({"cameras": [{"bus": "ipv4", "interface": "a",
                     "entryWords": [1, 2, true]}]})",
                  "cameras[0].entryWords[2]: expected a whole number"},
        Malformed{R"({"cameras": [{"bus": "ipv4", "interface": "a", "driver": null}]})",
                  "cameras[0].driver: expected a text"},
        Malformed{R"({"frameGrabbers": [{"model": "x"}]})",
                  "frameGrabbers[0]: missing field \"name\""},
        Malformed{R"({"frameGrabbers": [{"name": "x", "identifierA": "0x10000"}]})",
                  "frameGrabbers[0].identifierA: \"0x10000\" is larger than 0xFFFF"},
        Malformed{R"({"frameGrabbers": [{"name": "x", "identifierB": 65536}]})",
                  "frameGrabbers[0].identifierB: 65536 is larger than 0xFFFF"},
        Malformed{R"({"frameGrabbers": [{"name": "x", "linkWidthA": "4"}]})",
                  "frameGrabbers[0].linkWidthA: expected a whole number (0 or more), got \"4\""},
        Malformed{R"({"frameGrabbers": [{"name": "x", "linkSpeedB": "16 GT/s"}]})",
                  "frameGrabbers[0].linkSpeedB: expected a speed code"},
        Malformed{R"({"frameGrabbers": [{"name": "x", "hardwareWords": 1}]})",
                  "frameGrabbers[0].hardwareWords: expected an array of three numbers"},
        Malformed{R"({"frameGrabbers": [{"name": "x", "bus": "PCI"}]})",
                  "frameGrabbers[0].bus: expected four printable"},
        Malformed{R"({"frameGrabbers": [{"name": "x", "port": 1}]})",
                  "frameGrabbers[0]: unknown field \"port\""},
        Malformed{R"({"driverVersion": "v3"})", "driverVersion: expected hexadecimal digits"}));

TEST_F(ScenarioParsing, TextsLongerThanTheirFieldAreRefused) {
    const std::string longest(kVyrexTextSize - 1, 'm');
    Load(R"({"cameras": [{"bus": "ipv4", "interface": "a", "model": ")" + longest + "\"}]}");
    EXPECT_EQ(Text(EnumerateCameras()[0].modelName), longest);

    std::string problem;
    EXPECT_FALSE(vyrexsim::LoadScenario(
        R"({"cameras": [{"bus": "ipv4", "interface": "a", "model": ")" + longest + "m\"}]}",
        &problem));
    EXPECT_NE(problem.find("cameras[0].model: longer than 511 bytes"), std::string::npos)
        << problem;
}

TEST_F(ScenarioParsing, LoadingKeepsInjectedFailures) {
    vyrexsim::FailFunction(vyrexsim::Function::GetDriverVersion, -3);
    Load("{}");
    uint32_t version = 0;
    EXPECT_EQ(VyrexGetDriverVersion(&version), -3);
}

TEST_F(ScenarioParsing, ControlApiBuildsOnTheLoadedDevices) {
    Load(R"({"cameras": [{"bus": "ipv4", "interface": "a"}]})");
    vyrexsim::PlugCamera(MakeCamera("b"));
    EXPECT_EQ(InterfaceNames(), (std::vector<std::string>{"a", "b"}));
}

// --- The built-in default scenario ----------------------------------------

TEST_F(ScenarioParsing, DefaultScenarioHasEveryBusKindAndTwoFrameGrabbers) {
    Load(vyrexsim::DefaultScenarioText());
    std::set<uint32_t> kinds;
    std::set<std::string> interfaces;
    for (const CameraEntry& entry : EnumerateCameras()) {
        kinds.insert(entry.busType);
        interfaces.insert(Text(entry.interfaceName));
        EXPECT_FALSE(Text(entry.vendorName).empty());
        EXPECT_FALSE(Text(entry.modelName).empty());
        EXPECT_NE(entry.serialNumberLow, 0u);
        char name[kVyrexTextSize];
        const uint64_t serial = (uint64_t(entry.serialNumberHigh) << 32) | entry.serialNumberLow;
        EXPECT_EQ(VyrexGetDriverName2(serial, name, sizeof name), 0);
        EXPECT_NE(name[0], '\0');
    }
    for (uint32_t kind : {kVyrexBusIPv4, kVyrexBusIPCamera, kVyrexBusUSB3, kVyrexBusUVC,
                          kVyrexBusFireWire, kVyrexBusCameraLink, kVyrexBusSimulated}) {
        EXPECT_EQ(kinds.count(kind), 1u) << std::hex << kind;
    }
    EXPECT_GE(kinds.size(), 8u) << "one kind the expert does not know";
    EXPECT_EQ(EnumerateFrameGrabbers().size(), 2u);
    EXPECT_NE(Property("gev0-cam0", kVyrexCameraAddress1), 0u);
    EXPECT_NE(Property("usb3-1.2", kVyrexCameraIdentifier1), 0u);
}

TEST_F(ScenarioParsing, DefaultScenarioIsUsedWhenNoFileIsNamed) {
    unsetenv("VYREX_SIM_SCENARIO");
    vyrexsim::FollowEnvironment();
    EXPECT_EQ(EnumerateCameras().size(), 9u);
    EXPECT_EQ(EnumerateFrameGrabbers().size(), 2u);
}

} // namespace
