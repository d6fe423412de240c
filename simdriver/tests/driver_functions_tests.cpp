#include "simdriver/tests/SimTestSupport.h"

#include <gtest/gtest.h>

using namespace simtest;
using vyrexsim::Calls;
using vyrexsim::Function;

namespace {

class DriverFunctions : public ::testing::Test {
protected:
    void SetUp() override { vyrexsim::Reset(); }
    void TearDown() override { vyrexsim::Reset(); }
};

// --- The two-call enumeration of cameras ----------------------------------

TEST_F(DriverFunctions, EmptyModelReportsNoCameraAndNoFrameGrabber) {
    uint32_t count = kPoisonWord;
    EXPECT_EQ(VyrexEnumerateCameras(nullptr, &count, 1), 0);
    EXPECT_EQ(count, 0u);
    count = kPoisonWord;
    EXPECT_EQ(VyrexEnumerateFrameGrabbers(nullptr, &count), 0);
    EXPECT_EQ(count, 0u);
}

TEST_F(DriverFunctions, CountingCallThenFillingCallDeliverEveryField) {
    vyrexsim::Camera camera = MakeCamera("gev0", kVyrexBusIPv4, 0x0123456789ABCDEFull);
    camera.vendorName = "Kroneth";
    camera.modelName = "KR GC-1";
    camera.spareText0 = "spare zero";
    camera.spareText1 = "spare one";
    camera.entryWords = {7, 8, 9};
    vyrexsim::PlugCamera(camera);
    vyrexsim::PlugCamera(MakeCamera("usb0", kVyrexBusUSB3, 5));

    uint32_t count = 0;
    ASSERT_EQ(VyrexEnumerateCameras(nullptr, &count, 1), 0);
    ASSERT_EQ(count, 2u);
    auto entries = poisoned<CameraEntry>(2);
    ASSERT_EQ(VyrexEnumerateCameras(entries.data(), &count, 1), 0);
    ASSERT_EQ(count, 2u);

    const CameraEntry& first = entries[0];
    EXPECT_EQ(first.entryWord0, 7u);
    EXPECT_EQ(first.entryWord1, 8u);
    EXPECT_EQ(first.entryWord2, 9u);
    EXPECT_EQ(first.serialNumberHigh, 0x01234567u);
    EXPECT_EQ(first.serialNumberLow, 0x89ABCDEFu);
    EXPECT_EQ(first.busType, kVyrexBusIPv4);
    EXPECT_EQ(Text(first.interfaceName), "gev0");
    EXPECT_EQ(Text(first.vendorName), "Kroneth");
    EXPECT_EQ(Text(first.modelName), "KR GC-1");
    EXPECT_EQ(Text(first.spareText0), "spare zero");
    EXPECT_EQ(Text(first.spareText1), "spare one");
    // Every byte after a terminator is zero, poison included.
    EXPECT_EQ(first.vendorName[kVyrexTextSize - 1], '\0');
    EXPECT_EQ(first.spareText1[sizeof "spare one"], '\0');

    EXPECT_EQ(Text(entries[1].interfaceName), "usb0");
    EXPECT_EQ(entries[1].busType, kVyrexBusUSB3);
    EXPECT_EQ(entries[1].serialNumberLow, 5u);
    EXPECT_EQ(entries[1].entryWord0, 0u);
}

TEST_F(DriverFunctions, CountingCallIgnoresTheCapacityItIsGiven) {
    vyrexsim::PlugCamera(MakeCamera("a"));
    uint32_t count = 17;
    EXPECT_EQ(VyrexEnumerateCameras(nullptr, &count, 1), 0);
    EXPECT_EQ(count, 1u);
}

TEST_F(DriverFunctions, FillingCallNeverWritesBeyondTheCapacity) {
    for (const char* name : {"a", "b", "c"}) {
        vyrexsim::PlugCamera(MakeCamera(name));
    }
    auto entries = poisoned<CameraEntry>(3);
    uint32_t count = 2;
    EXPECT_EQ(VyrexEnumerateCameras(entries.data(), &count, 1), 0);
    EXPECT_EQ(count, 3u) << "the number of cameras, more than were filled";
    EXPECT_EQ(Text(entries[1].interfaceName), "b");
    EXPECT_TRUE(isPoisoned(entries[2]));

    auto roomy = poisoned<CameraEntry>(5);
    count = 5;
    EXPECT_EQ(VyrexEnumerateCameras(roomy.data(), &count, 1), 0);
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(Text(roomy[2].interfaceName), "c");
    EXPECT_TRUE(isPoisoned(roomy[3]));
    EXPECT_TRUE(isPoisoned(roomy[4]));
}

TEST_F(DriverFunctions, PlugUnplugAndChangeKeepTheEnumerationOrder) {
    for (const char* name : {"a", "b", "a", "c"}) {
        vyrexsim::PlugCamera(MakeCamera(name));
    }
    EXPECT_EQ(InterfaceNames(), (std::vector<std::string>{"a", "b", "a", "c"}));

    EXPECT_TRUE(vyrexsim::ChangeCamera("b", MakeCamera("B2", kVyrexBusUVC)));
    EXPECT_FALSE(vyrexsim::ChangeCamera("nobody", MakeCamera("x")));
    EXPECT_EQ(InterfaceNames(), (std::vector<std::string>{"a", "B2", "a", "c"}));

    EXPECT_EQ(vyrexsim::UnplugCamera("a"), 2u);
    EXPECT_EQ(vyrexsim::UnplugCamera("A"), 0u) << "names are compared exactly";
    EXPECT_EQ(InterfaceNames(), (std::vector<std::string>{"B2", "c"}));
    ASSERT_EQ(vyrexsim::Cameras().size(), 2u);
    EXPECT_EQ(vyrexsim::Cameras()[0].busType, kVyrexBusUVC);
}

TEST_F(DriverFunctions, LongTextsAreCutAndTerminated) {
    const std::string longName(600, 'n');
    vyrexsim::PlugCamera(MakeCamera(longName));
    const auto entries = EnumerateCameras();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(Text(entries[0].interfaceName), longName.substr(0, kVyrexTextSize - 1));
}

// --- Frame grabbers -----------------------------------------------------------

TEST_F(DriverFunctions, FrameGrabberRecordCarriesEveryField) {
    vyrexsim::FrameGrabber grabber = MakeFrameGrabber("clfg0", 0x10F3A0001ull);
    grabber.busType = VyrexFourCC('P', 'C', 'I', 'e');
    grabber.hardwareWords = {1, 2, 3};
    grabber.identifierA = 0x1DB5;
    grabber.identifierB = 0x0C10;
    grabber.linkWidthA = 4;
    grabber.linkWidthB = 8;
    grabber.linkSpeedA = 1;
    grabber.linkSpeedB = 2;
    vyrexsim::PlugFrameGrabber(grabber);
    vyrexsim::PlugFrameGrabber(MakeFrameGrabber("second"));

    uint32_t count = 0;
    ASSERT_EQ(VyrexEnumerateFrameGrabbers(nullptr, &count), 0);
    ASSERT_EQ(count, 2u);
    auto records = poisoned<FrameGrabberRecord>(2);
    ASSERT_EQ(VyrexEnumerateFrameGrabbers(records.data(), &count), 0);
    ASSERT_EQ(count, 2u);
    const FrameGrabberRecord& r = records[0];
    EXPECT_EQ(r.busType, VyrexFourCC('P', 'C', 'I', 'e'));
    EXPECT_EQ(r.spareWord0, 0u);
    EXPECT_EQ(r.serialNumberHigh, 1u);
    EXPECT_EQ(r.serialNumberLow, 0x0F3A0001u);
    EXPECT_EQ(r.hardwareWord0, 1u);
    EXPECT_EQ(r.hardwareWord1, 2u);
    EXPECT_EQ(r.hardwareWord2, 3u);
    EXPECT_EQ(r.identifierA, 0x1DB5);
    EXPECT_EQ(r.identifierB, 0x0C10);
    EXPECT_EQ(r.linkWidthA, 4u);
    EXPECT_EQ(r.linkWidthB, 8u);
    EXPECT_EQ(r.linkSpeedA, 1u);
    EXPECT_EQ(r.linkSpeedB, 2u);
    EXPECT_EQ(r.spareWord1, 0u);
    EXPECT_EQ(Text(r.name), "clfg0");
    EXPECT_EQ(Text(r.modelName), "Model of clfg0");
    EXPECT_EQ(Text(records[1].name), "second");
}

TEST_F(DriverFunctions, FrameGrabbersCanBeUnpluggedAndChanged) {
    vyrexsim::PlugFrameGrabber(MakeFrameGrabber("fg0"));
    vyrexsim::PlugFrameGrabber(MakeFrameGrabber("fg1"));
    vyrexsim::FrameGrabber changed = MakeFrameGrabber("fg1", 99);
    EXPECT_TRUE(vyrexsim::ChangeFrameGrabber("fg1", changed));
    EXPECT_FALSE(vyrexsim::ChangeFrameGrabber("fg9", changed));
    EXPECT_EQ(vyrexsim::UnplugFrameGrabber("fg0"), 1u);
    const auto records = EnumerateFrameGrabbers();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(Text(records[0].name), "fg1");
    EXPECT_EQ(records[0].serialNumberLow, 99u);
    EXPECT_EQ(vyrexsim::FrameGrabbers().size(), 1u);
}

// --- Camera properties --------------------------------------------------------

TEST_F(DriverFunctions, PropertiesBelongToTheInterfaceName) {
    EXPECT_TRUE(vyrexsim::SetCameraProperty("gev0", kVyrexCameraAddress1, 0xC0A80001));
    vyrexsim::PlugCamera(MakeCamera("gev0"));
    EXPECT_TRUE(vyrexsim::SetCameraProperty("gev0", kVyrexCameraIdentifier2, 44));

    uint32_t value = kPoisonWord;
    EXPECT_EQ(VyrexGetCameraProperty("gev0", kVyrexCameraAddress1, &value), 0);
    EXPECT_EQ(value, 0xC0A80001u) << "set before the camera was plugged";
    EXPECT_EQ(VyrexGetCameraProperty("gev0", kVyrexCameraIdentifier2, &value), 0);
    EXPECT_EQ(value, 44u);
    value = kPoisonWord;
    EXPECT_EQ(VyrexGetCameraProperty("gev0", kVyrexCameraAddress2, &value), 0);
    EXPECT_EQ(value, 0u) << "never set";

    vyrexsim::UnplugCamera("gev0");
    value = kPoisonWord;
    EXPECT_EQ(VyrexGetCameraProperty("gev0", kVyrexCameraAddress1, &value),
              kVyrexStatusNoSuchCamera);
    EXPECT_EQ(value, kPoisonWord);
    vyrexsim::PlugCamera(MakeCamera("gev0"));
    EXPECT_EQ(VyrexGetCameraProperty("gev0", kVyrexCameraAddress1, &value), 0);
    EXPECT_EQ(value, 0xC0A80001u) << "kept across unplugging";
}

// The argument rules of the driver functions are every driver's
// (driver/tests/conformance_tests.cpp); the scenario has its own.
TEST_F(DriverFunctions, OnlyPropertiesOneToFourCanBeSet) {
    vyrexsim::PlugCamera(MakeCamera("gev0"));
    EXPECT_FALSE(vyrexsim::SetCameraProperty("gev0", 0, 1));
    EXPECT_FALSE(vyrexsim::SetCameraProperty("gev0", 5, 1));
}

TEST_F(DriverFunctions, PropertyQueryReadsNoFurtherThanOneTextField) {
    vyrexsim::PlugCamera(MakeCamera("gev0"));
    // A name without terminator, as a hostile caller might pass it.
    std::vector<char> field(kVyrexTextSize, 'x');
    uint32_t value = kPoisonWord;
    EXPECT_EQ(VyrexGetCameraProperty(field.data(), 1, &value), kVyrexStatusNoSuchCamera);
}

// --- Driver names and version -------------------------------------------------

TEST_F(DriverFunctions, DriverNamesDefaultByBusKindAndCanBeSetPerSerialNumber) {
    vyrexsim::PlugCamera(MakeCamera("gev0", kVyrexBusIPv4, 1));
    vyrexsim::PlugCamera(MakeCamera("usb0", kVyrexBusUSB3, 2));
    vyrexsim::PlugCamera(MakeCamera("odd", VyrexFourCC('C', 'X', 'P', ' '), 3));
    vyrexsim::SetDriverName(2, "CustomUsb");

    char name[kVyrexTextSize];
    std::memset(name, kPoisonByte, sizeof name);
    EXPECT_EQ(VyrexGetDriverName2(1, name, sizeof name), 0);
    EXPECT_STREQ(name, vyrexsim::DefaultDriverName(kVyrexBusIPv4).c_str());
    EXPECT_EQ(VyrexGetDriverName2(2, name, sizeof name), 0);
    EXPECT_STREQ(name, "CustomUsb");
    EXPECT_EQ(VyrexGetDriverName2(3, name, sizeof name), 0);
    EXPECT_STREQ(name, "Vyrex");

    std::memset(name, kPoisonByte, sizeof name);
    EXPECT_EQ(VyrexGetDriverName2(4, name, sizeof name), kVyrexStatusNoSuchCamera);
    EXPECT_STREQ(name, "");
}

TEST_F(DriverFunctions, DriverNameIsCutToASmallBuffer) {
    vyrexsim::PlugCamera(MakeCamera("gev0", kVyrexBusIPv4, 1));
    vyrexsim::SetDriverName(1, "LongDriverName");
    char name[5];
    std::memset(name, kPoisonByte, sizeof name);
    EXPECT_EQ(VyrexGetDriverName2(1, name, sizeof name), kVyrexStatusBufferTooSmall);
    EXPECT_STREQ(name, "Long");
}

TEST_F(DriverFunctions, DriverVersionDefaultsAndCanBeSet) {
    uint32_t version = kPoisonWord;
    EXPECT_EQ(VyrexGetDriverVersion(&version), 0);
    EXPECT_EQ(version, vyrexsim::kDefaultDriverVersion);
    vyrexsim::SetDriverVersion(0x00040000);
    EXPECT_EQ(VyrexGetDriverVersion(&version), 0);
    EXPECT_EQ(version, 0x00040000u);
}

// --- Failure injection --------------------------------------------------------

TEST_F(DriverFunctions, AFailingCallReturnsItsStatusAndWritesNothing) {
    vyrexsim::PlugCamera(MakeCamera("gev0", kVyrexBusIPv4, 1));
    vyrexsim::PlugFrameGrabber(MakeFrameGrabber("fg0"));
    const int32_t status = int32_t(0x80004005);
    for (Function f :
         {Function::EnumerateCameras, Function::EnumerateFrameGrabbers, Function::GetCameraProperty,
          Function::GetDriverName2, Function::GetDriverVersion}) {
        EXPECT_TRUE(vyrexsim::FailFunction(f, status));
    }

    uint32_t count = kPoisonWord;
    EXPECT_EQ(VyrexEnumerateCameras(nullptr, &count, 1), status);
    EXPECT_EQ(count, kPoisonWord);
    auto entries = poisoned<CameraEntry>(1);
    count = 1;
    EXPECT_EQ(VyrexEnumerateCameras(entries.data(), &count, 1), status);
    EXPECT_EQ(count, 1u);
    EXPECT_TRUE(isPoisoned(entries[0]));
    auto records = poisoned<FrameGrabberRecord>(1);
    EXPECT_EQ(VyrexEnumerateFrameGrabbers(records.data(), &count), status);
    EXPECT_TRUE(isPoisoned(records[0]));
    uint32_t value = kPoisonWord;
    EXPECT_EQ(VyrexGetCameraProperty("gev0", 1, &value), status);
    EXPECT_EQ(value, kPoisonWord);
    char name[8];
    std::memset(name, kPoisonByte, sizeof name);
    EXPECT_EQ(VyrexGetDriverName2(1, name, sizeof name), status);
    EXPECT_EQ(uint8_t(name[0]), kPoisonByte);
    EXPECT_EQ(VyrexGetDriverVersion(&value), status);
    EXPECT_EQ(value, kPoisonWord);

    vyrexsim::ClearFailures();
    EXPECT_EQ(VyrexGetDriverVersion(&value), 0);
    EXPECT_EQ(EnumerateCameras().size(), 1u);
}

TEST_F(DriverFunctions, FailureCanHitOnlyTheCountingOrOnlyTheFillingCall) {
    vyrexsim::PlugFrameGrabber(MakeFrameGrabber("fg0"));
    vyrexsim::FailFunction(Function::EnumerateFrameGrabbers, -7, Calls::Filling);
    uint32_t count = 0;
    EXPECT_EQ(VyrexEnumerateFrameGrabbers(nullptr, &count), 0);
    EXPECT_EQ(count, 1u);
    auto records = poisoned<FrameGrabberRecord>(1);
    EXPECT_EQ(VyrexEnumerateFrameGrabbers(records.data(), &count), -7);

    vyrexsim::FailFunction(Function::EnumerateFrameGrabbers, -8, Calls::Counting);
    EXPECT_EQ(VyrexEnumerateFrameGrabbers(nullptr, &count), -8);
    EXPECT_EQ(VyrexEnumerateFrameGrabbers(records.data(), &count), 0);
    EXPECT_EQ(Text(records[0].name), "fg0");
}

TEST_F(DriverFunctions, FailureCanLastAGivenNumberOfCalls) {
    vyrexsim::FailFunction(Function::GetDriverVersion, -9, Calls::Every, 2);
    uint32_t version = 0;
    EXPECT_EQ(VyrexGetDriverVersion(&version), -9);
    EXPECT_EQ(VyrexGetDriverVersion(&version), -9);
    EXPECT_EQ(VyrexGetDriverVersion(&version), 0);
    EXPECT_EQ(VyrexGetDriverVersion(&version), 0);
}

TEST_F(DriverFunctions, StatusZeroIsNotAFailure) {
    EXPECT_FALSE(vyrexsim::FailFunction(Function::GetDriverVersion, 0));
    uint32_t version = 0;
    EXPECT_EQ(VyrexGetDriverVersion(&version), 0);
}

TEST_F(DriverFunctions, CallsAreCountedFailedOnesIncluded) {
    vyrexsim::PlugCamera(MakeCamera("a"));
    EnumerateCameras();
    vyrexsim::FailFunction(Function::GetDriverVersion, -1);
    uint32_t version = 0;
    VyrexGetDriverVersion(&version);
    EXPECT_EQ(vyrexsim::CallCount(Function::EnumerateCameras), 2u);
    EXPECT_EQ(vyrexsim::CallCount(Function::GetDriverVersion), 1u);
    EXPECT_EQ(vyrexsim::CallCount(Function::GetCameraProperty), 0u);
    vyrexsim::Reset();
    EXPECT_EQ(vyrexsim::CallCount(Function::EnumerateCameras), 0u);
}

TEST_F(DriverFunctions, ResetEmptiesEverything) {
    vyrexsim::PlugCamera(MakeCamera("a", kVyrexBusIPv4, 1));
    vyrexsim::PlugFrameGrabber(MakeFrameGrabber("fg0"));
    vyrexsim::SetCameraProperty("a", 1, 5);
    vyrexsim::SetDriverName(1, "x");
    vyrexsim::SetDriverVersion(9);
    vyrexsim::FailFunction(Function::GetCameraProperty, -1);
    vyrexsim::SetUnterminatedTexts(true);
    vyrexsim::SetCountChange(vyrexsim::List::Cameras, 3);

    vyrexsim::Reset();
    EXPECT_TRUE(EnumerateCameras().empty());
    EXPECT_TRUE(EnumerateFrameGrabbers().empty());
    uint32_t version = 0;
    EXPECT_EQ(VyrexGetDriverVersion(&version), 0);
    EXPECT_EQ(version, vyrexsim::kDefaultDriverVersion);

    vyrexsim::PlugCamera(MakeCamera("a", kVyrexBusIPv4, 1));
    uint32_t value = kPoisonWord;
    EXPECT_EQ(VyrexGetCameraProperty("a", 1, &value), 0);
    EXPECT_EQ(value, 0u);
    char name[kVyrexTextSize];
    EXPECT_EQ(VyrexGetDriverName2(1, name, sizeof name), 0);
    EXPECT_STREQ(name, vyrexsim::DefaultDriverName(kVyrexBusIPv4).c_str());
    const auto entries = EnumerateCameras();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(Text(entries[0].interfaceName), "a");
}

} // namespace
