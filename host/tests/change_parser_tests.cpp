// The TAG=VALUE arguments of validate and the readers of single values.
#include "cli/HostError.h"
#include "commands/ChangeParser.h"

#include <gtest/gtest.h>

namespace {

PropertyList cameraProperties() {
    return {makeProperty(0x01004000, std::string("Kroneth")), makeProperty(0x07006000, 1u),
            makeProperty(0x07009000, int32_t(0x69707634)), makeProperty(0x01008000, false)};
}

TEST(ChangeParser, ReadsTagsWithOrWithoutTheirPrefix) {
    EXPECT_EQ(parseRequestedChange("0x01004000=Acme").tag, 0x01004000u);
    EXPECT_EQ(parseRequestedChange("1004000=Acme").tag, 0x01004000u);
    EXPECT_EQ(parseRequestedChange("0XFFFFFFFF=1").tag, 0xFFFFFFFFu);
    const RequestedChange change = parseRequestedChange("0x01004000=a=b");
    EXPECT_EQ(change.valueText, "a=b");
    EXPECT_FALSE(change.type);
    EXPECT_EQ(parseRequestedChange("0x01004000=").valueText, "");
}

TEST(ChangeParser, RefusesWhatIsNotTagEqualsValue) {
    for (const char* bad :
         {"Acme", "=Acme", "0x=1", "0x123456789=1", "vendor=Acme", "0x0100 4000=1"}) {
        EXPECT_THROW(parseRequestedChange(bad), UsageError) << bad;
    }
    try {
        parseRequestedChanges({"0x01004000=a", "0x1004000=b"});
        FAIL() << "a tag given twice was taken";
    } catch (const UsageError& error) {
        EXPECT_EQ(error.exitStatus(), kExitUsage);
    }
}

TEST(ChangeParser, PrefixesNameTheType) {
    EXPECT_EQ(*parseRequestedChange("0x1=string:x").type, oxSysAttributeType_String);
    EXPECT_EQ(*parseRequestedChange("0x1=int:-3").type, oxSysAttributeType_Integer);
    EXPECT_EQ(*parseRequestedChange("0x1=signed:-3").type, oxSysAttributeType_Integer);
    EXPECT_EQ(*parseRequestedChange("0x1=uint:3").type, oxSysAttributeType_UnsignedInteger);
    EXPECT_EQ(*parseRequestedChange("0x1=bool:on").type, oxSysAttributeType_Boolean);
    EXPECT_EQ(*parseRequestedChange("0x1=double:2.5").type, oxSysAttributeType_Double);
    EXPECT_EQ(*parseRequestedChange("0x1=guid:{00000000-0000-0000-0000-000000000000}").type,
              oxSysAttributeType_Guid);
    EXPECT_FALSE(parseRequestedChange("0x1=http://host").type); // not a prefix of ours
}

TEST(ChangeParser, ValuesTakeTheTypeOfTheItemsProperty) {
    const PropertyList item = cameraProperties();
    const Property vendor = typedChange(parseRequestedChange("0x01004000=7"), item, "cam");
    EXPECT_EQ(std::get<std::string>(vendor.value), "7");
    const Property word = typedChange(parseRequestedChange("0x07006000=0x10"), item, "cam");
    EXPECT_EQ(word.type, oxSysAttributeType_UnsignedInteger);
    EXPECT_EQ(std::get<uint32_t>(word.value), 16u);
    const Property bus = typedChange(parseRequestedChange("0x07009000=0x55534233"), item, "cam");
    EXPECT_EQ(std::get<int32_t>(bus.value), 0x55534233);
    const Property flag = typedChange(parseRequestedChange("0x01008000=yes"), item, "cam");
    EXPECT_EQ(std::get<bool>(flag.value), true);
    const Property overridden =
        typedChange(parseRequestedChange("0x07006000=string:x"), item, "cam");
    EXPECT_EQ(overridden.type, oxSysAttributeType_String);
}

TEST(ChangeParser, ValuesThatDoNotFitTheirTypeAreRefused) {
    const PropertyList item = cameraProperties();
    for (const char* bad :
         {"0x07006000=-1", "0x07006000=4294967296", "0x07006000=12abc", "0x07009000=2147483648",
          "0x01008000=maybe", "0x01999000=5", "0x01004000=\xFF", "0x01004000=\xED\xA0\x80",
          "0x1=double:1e999", "0x1=guid:nil"}) {
        EXPECT_THROW(typedChange(parseRequestedChange(bad), item, "cam"), UsageError) << bad;
    }
}

TEST(ChangeParser, NumberReaders) {
    int32_t s = 0;
    EXPECT_TRUE(parseSigned("-2147483648", &s));
    EXPECT_EQ(s, INT32_MIN);
    EXPECT_TRUE(parseSigned("0xFFFFFFFF", &s)); // a 32-bit pattern
    EXPECT_EQ(s, -1);
    EXPECT_TRUE(parseSigned("-0x10", &s));
    EXPECT_EQ(s, -16);
    EXPECT_FALSE(parseSigned("2147483648", &s));
    EXPECT_FALSE(parseSigned("--1", &s));
    EXPECT_FALSE(parseSigned("", &s));
    EXPECT_FALSE(parseSigned(" 1", &s));

    uint32_t u = 0;
    EXPECT_TRUE(parseUnsigned("4294967295", &u));
    EXPECT_EQ(u, UINT32_MAX);
    EXPECT_FALSE(parseUnsigned("0x100000000", &u));
    EXPECT_FALSE(parseUnsigned("99999999999999999999999", &u));
    EXPECT_FALSE(parseUnsigned("+1", &u));

    double d = 0;
    EXPECT_TRUE(parseDouble("-2.5e3", &d));
    EXPECT_EQ(d, -2500.0);
    EXPECT_FALSE(parseDouble("nan", &d));
    EXPECT_FALSE(parseDouble("1.5x", &d));

    bool b = false;
    EXPECT_TRUE(parseBoolean("TRUE", &b));
    EXPECT_TRUE(b);
    EXPECT_TRUE(parseBoolean("off", &b));
    EXPECT_FALSE(b);
    EXPECT_FALSE(parseBoolean("2", &b));
}

} // namespace
