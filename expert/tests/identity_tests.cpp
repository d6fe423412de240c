#include "ExpertFixture.h"
#include "HostStrings.h"

#include <cstring>
#include <string>

namespace {

std::string hexBytes(const void* data, size_t size) {
    std::string out;
    char byte[4];
    for (size_t i = 0; i < size; ++i) {
        std::snprintf(byte, sizeof byte, "%02X ", static_cast<const unsigned char*>(data)[i]);
        out += byte;
    }
    return out;
}

using Factory = ExpertFixture;

TEST(FactoryArguments, NullOutIsAPointerError) {
    LoadedModule module;
    ASSERT_EQ(module.error(), "");
    EXPECT_EQ(module.factory(nullptr), int32_t(0x80004003));
}

TEST_F(Factory, ExpertStartsWithOneReference) {
    EXPECT_EQ(countOf(expert), 1u);
}

TEST_F(Factory, FirstThreeInterfacesShareThePrimaryPointer) {
    for (const _GUID* iid : {&IID_IoxSysExpertInfo, &IID_IoxSysExpert, &IID_IoxSysExpert2}) {
        void* itf = poisonPointer();
        ASSERT_EQ(expert->QueryInterface(*iid, &itf), 0);
        EXPECT_EQ(itf, static_cast<void*>(expert));
        static_cast<IUnknown*>(itf)->Release();
    }
    EXPECT_EQ(countOf(expert), 1u);
}

TEST_F(Factory, PlugPlayIsAnotherPointerIntoTheSameObject) {
    void* plugPlay = poisonPointer();
    ASSERT_EQ(expert->QueryInterface(IID_IoxSysExpertPlugPlay, &plugPlay), 0);
    EXPECT_NE(plugPlay, static_cast<void*>(expert));
    EXPECT_EQ(countOf(expert), 2u) << "both chains count on one object";

    void* unknownFromPlugPlay = poisonPointer();
    ASSERT_EQ(static_cast<IUnknown*>(plugPlay)->QueryInterface(IID_IUnknown, &unknownFromPlugPlay),
              0);
    EXPECT_EQ(unknownFromPlugPlay, static_cast<void*>(expert)) << "IUnknown is the Info chain";

    void* expert2 = poisonPointer();
    ASSERT_EQ(static_cast<IUnknown*>(plugPlay)->QueryInterface(IID_IoxSysExpert2, &expert2), 0);
    EXPECT_EQ(expert2, static_cast<void*>(expert));

    static_cast<IUnknown*>(expert2)->Release();
    static_cast<IUnknown*>(unknownFromPlugPlay)->Release();
    static_cast<IUnknown*>(plugPlay)->Release();
}

TEST_F(Factory, UnknownInterfacesAreRefused) {
    void* itf = poisonPointer();
    EXPECT_EQ(expert->QueryInterface(IID_IoxSysPropertyBag, &itf), int32_t(0x80004002));
    EXPECT_EQ(itf, nullptr);
    EXPECT_EQ(expert->QueryInterface(IID_IoxSysExpert, nullptr), int32_t(0x80004003));
    EXPECT_EQ(countOf(expert), 1u);
}

using Identity = ExpertFixture;

TEST_F(Identity, ProductIdentifier) {
    _GUID id;
    std::memset(&id, 0xEE, sizeof id);
    ASSERT_EQ(expert->GetProductID(&id), 0);
    EXPECT_EQ(id.Data1, 0x4FA27960u);
    EXPECT_EQ(id.Data2, 0xF165u);
    EXPECT_EQ(id.Data3, 0x4292u);
    const unsigned char tail[8] = {0xA0, 0x3E, 0x6D, 0x88, 0xD3, 0x45, 0x63, 0xC9};
    EXPECT_EQ(std::memcmp(id.Data4, tail, 8), 0) << hexBytes(id.Data4, 8);
#if __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    // On the controller's byte order the whole identifier reads as written.
    const unsigned char bytes[16] = {0x4F, 0xA2, 0x79, 0x60, 0xF1, 0x65, 0x42, 0x92,
                                     0xA0, 0x3E, 0x6D, 0x88, 0xD3, 0x45, 0x63, 0xC9};
    EXPECT_EQ(std::memcmp(&id, bytes, 16), 0) << hexBytes(&id, 16);
    RecordProperty("product_id_bytes", hexBytes(&id, 16));
#endif
    EXPECT_EQ(expert->GetProductID(nullptr), int32_t(0x80004003));
}

TEST_F(Identity, NamesAndVersion) {
    char16_t* text = poisonPointer<char16_t>();
    ASSERT_EQ(expert->GetProgrammaticName(&text), 0);
    EXPECT_EQ(takeWideString(text), u"krvyrex");
    ASSERT_EQ(expert->GetProductDisplayName(&text), 0);
    EXPECT_EQ(takeWideString(text), u"KR Vyrex Sysapi Expert");
    ASSERT_EQ(expert->GetProductVersion(&text), 0);
    EXPECT_EQ(takeWideString(text), u"18.5");
}

TEST_F(Identity, NullOutputsArePointerErrors) {
    EXPECT_EQ(expert->GetProgrammaticName(nullptr), int32_t(0x80004003));
    EXPECT_EQ(expert->GetProductDisplayName(nullptr), int32_t(0x80004003));
    EXPECT_EQ(expert->GetProductVersion(nullptr), int32_t(0x80004003));
}

TEST_F(Identity, PreferredLocaleIsNotImplemented) {
    EXPECT_EQ(expert->SetPreferredLocale(oxSysLocale(0x409)), int32_t(0x80004001));
}

// The host reaches operations by slot number; call a few through the raw
// table of operations to prove the slots, not just the declarations.
TEST_F(Identity, OperationsSitInTheirSlots) {
    using GetIdSlot = int32_t (*)(void* self, _GUID* id);
    using GetNameSlot = int32_t (*)(void* self, char16_t** name);
    void** table = *reinterpret_cast<void***>(expert);
    _GUID id{};
    ASSERT_EQ(reinterpret_cast<GetIdSlot>(table[3])(expert, &id), 0);
    EXPECT_EQ(id.Data1, 0x4FA27960u);
    char16_t* name = nullptr;
    ASSERT_EQ(reinterpret_cast<GetNameSlot>(table[6])(expert, &name), 0);
    EXPECT_EQ(takeWideString(name), u"krvyrex");
    ASSERT_EQ(reinterpret_cast<GetNameSlot>(table[5])(expert, &name), 0);
    EXPECT_EQ(takeWideString(name), u"18.5");
}

} // namespace
