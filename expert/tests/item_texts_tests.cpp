#include "expert/ItemTexts.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace nKRVYREX_SYSAPI_EXPERT_18_5;

namespace {

struct Texts {
    char vendor[kVyrexTextSize] = {};
    char model[kVyrexTextSize] = {};
    Texts(const char* v, const char* m) {
        std::strncpy(vendor, v, sizeof vendor - 1);
        std::strncpy(model, m, sizeof model - 1);
    }
};

TEST(ModelText, MakerCamerasShowTheirPrefixOnce) {
    EXPECT_EQ(ModelText(Texts("Kroneth", "KR GC-1").vendor, Texts("Kroneth", "KR GC-1").model),
              "KR GC-1");
    const Texts withoutPrefix("Kroneth Imaging", "GC-1");
    EXPECT_EQ(ModelText(withoutPrefix.vendor, withoutPrefix.model), "KR GC-1");
    const Texts other("Acme", "KR lookalike");
    EXPECT_EQ(ModelText(other.vendor, other.model), "Acme KR lookalike");
    const Texts almost("Kronet", "X");
    EXPECT_EQ(ModelText(almost.vendor, almost.model), "Kronet X");
}

TEST(ModelText, UnterminatedFieldsStayWithinTheirSize) {
    Texts texts("", "");
    std::memset(texts.vendor, 'v', sizeof texts.vendor);
    std::memset(texts.model, 'm', sizeof texts.model);
    EXPECT_EQ(ModelText(FieldText(texts.vendor), FieldText(texts.model)),
              std::string(512, 'v') + " " + std::string(512, 'm'));
}

TEST(NumberTexts, SerialAddressAndEightDigits) {
    EXPECT_EQ(SerialNumberText(0, 0), "0");
    EXPECT_EQ(SerialNumberText(0x1, 0xABCDEF01), "1ABCDEF01");
    EXPECT_EQ(SerialNumberText(0xFFFFFFFF, 0xFFFFFFFF), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(AddressText(0xC0A80001), "192.168.0.1");
    EXPECT_EQ(AddressText(0xFFFFFFFF), "255.255.255.255");
    EXPECT_EQ(EightDigitText(255), "000000FF");
    EXPECT_EQ(EightDigitText(0xDEADBEEF), "DEADBEEF");
}

TEST(LinkTexts, ListedWidthsAndSpeedsOnly) {
    EXPECT_EQ(LinkWidthText(32), "X32");
    EXPECT_EQ(LinkWidthNumber(32), 32);
    EXPECT_EQ(LinkWidthText(3), "Not Detected");
    EXPECT_EQ(LinkWidthNumber(3), -1);
    EXPECT_EQ(LinkWidthNumber(0), -1);
    EXPECT_STREQ(LinkSpeed(2).text, "8.0 GT/s");
    EXPECT_EQ(LinkSpeed(2).number, 2);
    EXPECT_STREQ(LinkSpeed(3).text, "Not Detected");
    EXPECT_EQ(LinkSpeed(3).number, -1);
}

} // namespace
