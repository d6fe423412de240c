// How properties read: labels, value texts, JSON, diffs, tables, summaries.
#include "commands/PropertyDiff.h"
#include "present/ItemSummary.h"
#include "present/PropertyFormat.h"
#include "present/TextTable.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t kFireWire = 0x31333934;

TEST(PropertyLabels, TheTagsWhoseUseIsPlainHaveLabels) {
    EXPECT_EQ(propertyLabel(0x01007000, 0), "Serial number");
    EXPECT_EQ(propertyLabel(0x01004000, 0), "Vendor");
    EXPECT_EQ(propertyLabel(0x01006000, 0), "Model");
    EXPECT_EQ(propertyLabel(0x0101D000, 0), "Item name");
    EXPECT_EQ(propertyLabel(0x0101F000, 0), "Interface name");
    EXPECT_EQ(propertyLabel(0x07009000, 0), "Bus kind");
    EXPECT_EQ(propertyLabel(0x0102C000, 0), "IP address");
    EXPECT_EQ(propertyLabel(0x01025000, 0), "Subnet mask");
    EXPECT_EQ(propertyLabel(0x0700D000, 0), "Driver name");
    EXPECT_EQ(propertyLabel(0x0700C000, 0), "Driver version");
    EXPECT_EQ(propertyLabel(0x01078000, 0), "Link speed A");
    EXPECT_EQ(propertyLabel(0x07010000, 0), "Link width A (text)");
    EXPECT_EQ(propertyLabel(0x01031000, 0), "Link width A"); // A's number is under ...31...
    EXPECT_EQ(propertyLabel(0x01030000, 0), "Link width B");
    EXPECT_EQ(propertyLabel(0x0101C000, 0), "");
    EXPECT_EQ(propertyLabel(0x01003000, 0), "Vendor ID");
    EXPECT_EQ(propertyLabel(0x01003000, kFireWire), "FireWire ID");
}

TEST(PropertyLabels, BusKinds) {
    EXPECT_EQ(fourCCText(0x69707634), "ipv4");
    EXPECT_EQ(fourCCText(0x55564320), "UVC ");
    EXPECT_EQ(fourCCText(0x00414200), "\\x00AB\\x00");
    EXPECT_EQ(busKindText(0x69707634), "0x69707634 \"ipv4\" (network)");
    EXPECT_EQ(busKindText(0x4950636D), "0x4950636D \"IPcm\" (network)");
    EXPECT_EQ(busKindText(0x55534233), "0x55534233 \"USB3\" (USB)");
    EXPECT_EQ(busKindText(kFireWire), "0x31333934 \"1394\" (FireWire)");
    EXPECT_EQ(busKindText(0x434C4E4B), "0x434C4E4B \"CLNK\" (Camera Link)");
    EXPECT_EQ(busKindText(0x2073696D), "0x2073696D \" sim\" (simulated)");
    EXPECT_EQ(busKindText(0x43585020), "0x43585020 \"CXP \"");
    EXPECT_EQ(busKindText(0x50434965), "0x50434965 \"PCIe\"");
    EXPECT_EQ(versionText(0x00030201), "3.2.1");
}

TEST(PropertyFormat, ValueTextsByType) {
    EXPECT_EQ(valueText(makeProperty(1, true)), "true");
    EXPECT_EQ(valueText(makeProperty(1, int32_t(-5))), "-5");
    EXPECT_EQ(valueText(makeProperty(1, 4294967295u)), "4294967295");
    EXPECT_EQ(valueText(makeProperty(1, 2.5)), "2.5");
    EXPECT_EQ(valueText(makeProperty(1, _GUID{})), "{00000000-0000-0000-0000-000000000000}");
    EXPECT_EQ(valueText(makeProperty(1, std::string("a \"b\""))), "a \"b\"");
    EXPECT_EQ(quotedValueText(makeProperty(1, std::string("a \"b\""))), "\"a \\\"b\\\"\"");
    EXPECT_EQ(quotedValueText(makeProperty(1, 7u)), "7");

    Property unreadable = makeProperty(1, std::string());
    unreadable.readStatus = int32_t(0x80040370);
    EXPECT_EQ(valueText(unreadable), "(unreadable: 0x80040370 (OX_E_PROPERTY_TYPE_MISMATCH: the "
                                     "property holds another type))");
    EXPECT_TRUE(valueJson(unreadable).is_null());
}

TEST(PropertyFormat, TimestampsCountFrom1904) {
    oxSysAttrTimestampUTC epoch1970{};
    epoch1970.words[1] = 2082844800u;
    epoch1970.words[2] = 0x80000000u; // half a second
    EXPECT_EQ(timestampText(epoch1970), "1970-01-01T00:00:00.500Z");
    EXPECT_EQ(timestampText(oxSysAttrTimestampUTC{}), "");
    EXPECT_EQ(valueText(makeProperty(1, oxSysAttrTimestampUTC{})), "(no time)");
}

TEST(PropertyFormat, DisplayAddsWhatTheTagsPresentationTells) {
    EXPECT_EQ(displayText(makeProperty(0x01003000, 0x2C7Au)), "0x2C7A");
    EXPECT_EQ(displayText(makeProperty(0x07006000, 1u)), "0x00000001");
    EXPECT_EQ(displayText(makeProperty(0x07009000, int32_t(0x55534233))),
              "0x55534233 \"USB3\" (USB)");
    EXPECT_EQ(displayText(makeProperty(0x0700C000, 0x00030201u)), "0x00030201 (3.2.1)");
    EXPECT_EQ(displayText(makeProperty(0x01078000, int32_t(2))), "2 (8.0 GT/s)");
    EXPECT_EQ(displayText(makeProperty(0x01079000, int32_t(-1))), "-1 (Not Detected)");
    EXPECT_EQ(displayText(makeProperty(0x0101C000, int32_t(1))), "1");
    // A value of another type than the tag usually has is shown plainly.
    EXPECT_EQ(displayText(makeProperty(0x07009000, std::string("x"))), "x");
}

TEST(PropertyFormat, JsonKeepsTheTypes) {
    EXPECT_EQ(valueJson(makeProperty(1, true)), true);
    EXPECT_EQ(valueJson(makeProperty(1, int32_t(-5))), -5);
    EXPECT_EQ(valueJson(makeProperty(1, 7u)), 7u);
    EXPECT_EQ(valueJson(makeProperty(1, std::string("x"))), "x");
    EXPECT_EQ(valueJson(makeProperty(1, _GUID{})), "{00000000-0000-0000-0000-000000000000}");
    EXPECT_EQ(tagText(0x0102C000), "0x0102C000");
}

TEST(PropertyDiff, FindsChangedAppearedAndVanishedProperties) {
    const PropertyList before = {makeProperty(1, std::string("a")), makeProperty(2, 5u),
                                 makeProperty(3, true), makeProperty(4, int32_t(1))};
    const PropertyList after = {makeProperty(5, 1u), makeProperty(1, std::string("b")),
                                makeProperty(2, 5u), makeProperty(4, 1u)};
    const std::vector<PropertyChange> changes = diffProperties(before, after);
    ASSERT_EQ(changes.size(), 4u);
    EXPECT_EQ(changes[0].tag, 5u);
    EXPECT_FALSE(changes[0].before);
    EXPECT_EQ(changes[1].tag, 1u);
    EXPECT_EQ(std::get<std::string>(changes[1].before->value), "a");
    EXPECT_EQ(std::get<std::string>(changes[1].after->value), "b");
    EXPECT_EQ(changes[2].tag, 4u); // same number, other type
    EXPECT_EQ(changes[3].tag, 3u);
    EXPECT_FALSE(changes[3].after);
    EXPECT_TRUE(diffProperties(before, before).empty());
}

TEST(TextTable, AlignsByCharactersAndMarksEmptyCells) {
    const std::string table =
        formatTable({"NAME", "VENDOR", "ADDRESS"},
                    {{"cam\xC3\xA4", "M\xC3\xBCller", ""}, {"longer-name", "X", "10.0.0.1"}});
    EXPECT_EQ(table, "NAME         VENDOR  ADDRESS\n"
                     "cam\xC3\xA4         M\xC3\xBCller  -\n"
                     "longer-name  X       10.0.0.1\n");
    EXPECT_EQ(displayWidth("M\xC3\xBCller"), 6u);
}

TEST(ItemSummary, DescribesAnItemFromItsProperties) {
    const PropertyList camera = {
        makeProperty(0x0101D000, std::string("uvc0")),
        makeProperty(0x07009000, int32_t(0x55564320)),
        makeProperty(0x01004000, std::string("Lumora")),
        makeProperty(0x01006000, std::string("Lumora LightCam HD")),
        makeProperty(0x01007000, std::string("7F3A21")),
        makeProperty(0x01008000, false),
    };
    const ItemSummary summary = summarizeItem(camera);
    EXPECT_EQ(summary.name, "uvc0");
    EXPECT_EQ(summary.kind, "camera");
    EXPECT_EQ(summary.bus, "UVC");
    EXPECT_EQ(summary.busClass, "USB");
    EXPECT_EQ(summary.model, "LightCam HD");
    EXPECT_EQ(summary.serialNumber, "7F3A21");
    EXPECT_EQ(summary.address, "");
    EXPECT_EQ(itemKind({makeProperty(0x01008000, true)}), "frame grabber");
    EXPECT_EQ(itemKind({}), "camera");

    EXPECT_EQ(modelWithoutVendor("KR GC-2450M", "Kroneth"), "KR GC-2450M");
    EXPECT_EQ(modelWithoutVendor("Lumora", "Lumora"), "Lumora");
    EXPECT_EQ(modelWithoutVendor("Lumora X", ""), "Lumora X");
}

} // namespace
