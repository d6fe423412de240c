#include "aravisdriver/src/Identity.h"

#include "driver/VyrexDriver.h"

#include <gtest/gtest.h>

namespace vyrexaravis {
namespace {

TEST(MacAddress, SixGroupsFirstMostSignificant) {
    EXPECT_EQ(ParseMacAddress("00:30:53:1a:2B:3c"), 0x0030531A2B3Cull);
    EXPECT_EQ(ParseMacAddress("ff-ff-ff-ff-ff-ff"), 0xFFFFFFFFFFFFull);
    EXPECT_EQ(ParseMacAddress("00:00:00:00:00:00"), 0ull);
}

TEST(MacAddress, AnythingElseIsNoAddress) {
    for (const char* text : {"", "00:30:53:1a:2b", "00:30:53:1a:2b:3c:4d", "00:30:53:1a:2b:3g",
                             "00.30.53.1a.2b.3c", "0:30:53:1a:2b:3c0", "003053:1a:2b:3c:"}) {
        EXPECT_FALSE(ParseMacAddress(text).has_value()) << text;
    }
}

TEST(HexSerial, DigitsReadAsHexSoTheExpertShowsThemUnchanged) {
    EXPECT_EQ(ParseHexSerial("21012345"), 0x21012345ull);
    EXPECT_EQ(ParseHexSerial("4b5200A1F3C2"), 0x4B5200A1F3C2ull);
    EXPECT_EQ(ParseHexSerial("FFFFFFFFFFFFFFFF"), 0xFFFFFFFFFFFFFFFFull);
    EXPECT_EQ(ParseHexSerial("0"), 0ull);
}

TEST(HexSerial, TextsThatAreNoHexNumber) {
    for (const char* text :
         {"", "GV01", "DA0123456X", "12 34", "0x1234", "-1", "12345678901234567"}) {
        EXPECT_FALSE(ParseHexSerial(text).has_value()) << text;
    }
}

TEST(DottedAddress, FirstOctetMostSignificant) {
    EXPECT_EQ(ParseDottedAddress("192.168.0.1"), 0xC0A80001u);
    EXPECT_EQ(ParseDottedAddress("127.0.0.2"), 0x7F000002u);
    for (const char* text : {"", "192.168.0", "192.168.0.256", "1.2.3.4.5", "a.b.c.d", "::1"}) {
        EXPECT_FALSE(ParseDottedAddress(text).has_value()) << text;
    }
}

TEST(HashText, IsSixtyFourBitFnv1a) {
    EXPECT_EQ(HashText(""), 0xCBF29CE484222325ull);
    EXPECT_EQ(HashText("a"), 0xAF63DC4C8601EC8Cull);
    EXPECT_NE(HashText("Aravis-Fake-GV01"), HashText("Aravis-Fake-GV02"));
}

TEST(SerialNumber, GigEVisionCameraIsKnownByItsMacAddress) {
    EXPECT_EQ(DeriveSerialNumber(kVyrexBusIPv4, "00:30:53:1a:2b:3c", "21012345", "Basler-21012345"),
              0x0030531A2B3Cull);
}

TEST(SerialNumber, WithoutMacAddressTheHexSerialTextServes) {
    EXPECT_EQ(DeriveSerialNumber(kVyrexBusIPv4, "00:00:00:00:00:00", "1234ABCD", "x"),
              0x1234ABCDull);
    EXPECT_EQ(DeriveSerialNumber(kVyrexBusIPv4, "", "1234ABCD", "x"), 0x1234ABCDull);
    // A USB camera's physical id is its GUID, never taken for a MAC address.
    EXPECT_EQ(DeriveSerialNumber(kVyrexBusUSB3, "00:30:53:1a:2b:3c", "77", "x"), 0x77ull);
}

TEST(SerialNumber, OtherwiseTheHashOfTheDeviceId) {
    EXPECT_EQ(DeriveSerialNumber(kVyrexBusIPv4, "00:00:00:00:00:00", "GV01", "Aravis-Fake-GV01"),
              HashText("Aravis-Fake-GV01"));
    EXPECT_EQ(DeriveSerialNumber(kVyrexBusUSB3, "", "", "Vendor-Model-"),
              HashText("Vendor-Model-"));
}

} // namespace
} // namespace vyrexaravis
