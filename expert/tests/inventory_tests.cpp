#include "expert/CoxSysVyrex.h"
#include "expert/ItemNames.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace nKRVYREX_SYSAPI_EXPERT_18_5;

namespace {

std::string narrow(const ItemName& name) {
    std::string out;
    for (const char16_t* p = name.c_str(); *p != 0; ++p) {
        out += char(*p);
    }
    return out;
}

CameraEntry cameraLink(const char* interfaceName, uint32_t serialHigh) {
    CameraEntry entry{};
    entry.busType = kVyrexBusCameraLink;
    entry.serialNumberHigh = serialHigh;
    std::strncpy(entry.interfaceName, interfaceName, sizeof entry.interfaceName);
    return entry;
}

TEST(CameraItemNames, CameraLinkCutsAtTheLastUnderscoreZeroFirst) {
    EXPECT_EQ(narrow(CameraItemName(cameraLink("port_0", 0))), "port::0");
    EXPECT_EQ(narrow(CameraItemName(cameraLink("port_1", 1))), "port::1");
    EXPECT_EQ(narrow(CameraItemName(cameraLink("port", 0))), "port::0");
    EXPECT_EQ(narrow(CameraItemName(cameraLink("a_0_1", 0))), "a::0");
    EXPECT_EQ(narrow(CameraItemName(cameraLink("x_1", 5))), "x::1");
    EXPECT_EQ(narrow(CameraItemName(cameraLink("a_0b_0c", 0))), "a_0b::0");
}

TEST(CameraItemNames, OtherBusesKeepTheInterfaceName) {
    CameraEntry entry = cameraLink("eth_0", 0);
    entry.busType = kVyrexBusIPv4;
    EXPECT_EQ(narrow(CameraItemName(entry)), "eth_0");
}

TEST(CameraItemNames, UnterminatedInterfaceNameStaysWithinItsField) {
    CameraEntry entry{};
    entry.busType = kVyrexBusCameraLink;
    std::memset(entry.interfaceName, 'z', sizeof entry.interfaceName);
    std::memset(entry.vendorName, 'v', sizeof entry.vendorName); // right after the field
    const std::string name = narrow(CameraItemName(entry));
    EXPECT_EQ(name, std::string(512, 'z') + "::0");
    entry.busType = kVyrexBusUSB3;
    EXPECT_EQ(CameraItemName(entry).length(), 512u);
}

CameraEntry someEntry() {
    CameraEntry entry{};
    entry.busType = kVyrexBusIPv4;
    entry.serialNumberLow = 42;
    std::strcpy(entry.interfaceName, "eth0");
    std::strcpy(entry.vendorName, "Acme");
    return entry;
}

CameraRecord someCamera() {
    CameraRecord record = CameraRecordOf(someEntry());
    record.driverName = "GigE";
    record.address1 = 0xC0A80001;
    return record;
}

TEST(CameraRecordEquality, TextsCountUpToTheirTerminator) {
    CameraEntry entry = someEntry();
    entry.vendorName[10] = 'x'; // after the terminator
    EXPECT_TRUE(CameraRecordOf(entry) == CameraRecordOf(someEntry()));
    const CameraRecord a = someCamera();
    CameraRecord b = a;
    b.driverName = "USB";
    EXPECT_FALSE(a == b) << "a change only in the driver name is a change";
    b = a;
    b.address2 = 1;
    EXPECT_FALSE(a == b);
    entry = someEntry();
    entry.spareText1[0] = 's';
    EXPECT_FALSE(CameraRecordOf(entry) == CameraRecordOf(someEntry()));
}

TEST(CameraRecordEquality, UnterminatedTextsCompareWithinTheirFields) {
    CameraEntry a = someEntry();
    std::memset(a.modelName, 'm', sizeof a.modelName);
    CameraEntry b = a;
    b.spareText0[0] = 'y'; // the next field differs; the model texts do not
    EXPECT_EQ(CameraRecordOf(a).modelName, std::string(512, 'm'));
    EXPECT_FALSE(CameraRecordOf(a) == CameraRecordOf(b));
    EXPECT_TRUE(CameraRecordOf(a) == CameraRecordOf(a));
}

TEST(FrameGrabberEquality, EveryByteCounts) {
    FrameGrabberRecord a{};
    std::strcpy(a.name, "grabber");
    FrameGrabberRecord b = a;
    EXPECT_TRUE(sameFrameGrabber(a, b));
    b.name[100] = 1; // after the terminator
    EXPECT_FALSE(sameFrameGrabber(a, b));
}

TEST(Comparison, TwoEmptyPicturesChangeNothing) {
    ItemNameSet added, changed, removed;
    CoxSysVyrex::CompareCameras({}, {}, added, changed, removed);
    CoxSysVyrex::CompareFrameGrabbers({}, {}, added, changed, removed);
    EXPECT_TRUE(added.empty());
    EXPECT_TRUE(changed.empty());
    EXPECT_TRUE(removed.empty());
}

TEST(Comparison, AddedChangedRemovedAcrossBothMaps) {
    CameraMap old;
    CameraMap current;
    old.emplace(ItemName(u"gone"), someCamera());
    old.emplace(ItemName(u"Same"), someCamera());
    old.emplace(ItemName(u"moved"), someCamera());
    current.emplace(ItemName(u"SAME"), someCamera()); // differs only in case: the same item
    CameraRecord moved = someCamera();
    moved.address1 = 0x0A000001;
    current.emplace(ItemName(u"moved"), moved);
    current.emplace(ItemName(u"new"), someCamera());
    FrameGrabberMap oldGrabbers;
    FrameGrabberMap currentGrabbers;
    currentGrabbers.emplace(ItemName(u"New"), FrameGrabberRecord{}); // same name as a camera

    ItemNameSet added, changed, removed;
    CoxSysVyrex::CompareCameras(old, current, added, changed, removed);
    CoxSysVyrex::CompareFrameGrabbers(oldGrabbers, currentGrabbers, added, changed, removed);
    EXPECT_EQ(added.size(), 1u) << "a name in both maps is listed once";
    EXPECT_EQ(narrow(*added.begin()), "new");
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(narrow(*changed.begin()), "moved");
    ASSERT_EQ(removed.size(), 1u);
    EXPECT_EQ(narrow(*removed.begin()), "gone");
}

} // namespace
