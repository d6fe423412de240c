#include "ExpertFixture.h"
#include "HostNotificationHandler.h"

namespace {

// A host-side handler that only counts its references.
class CountingHandler : public HostNotificationHandler {
public:
    int32_t OnItemsChanged(IoxSysExpert2*, oxSysItemChangeKind, IoxSysEnumStringList*) override {
        return 0;
    }
};

class HandlerRegistration : public ExpertFixture {
protected:
    void SetUp() override {
        ExpertFixture::SetUp();
        void* itf = nullptr;
        ASSERT_EQ(expert->QueryInterface(IID_IoxSysExpertPlugPlay, &itf), 0);
        plugPlay = static_cast<IoxSysExpertPlugPlay*>(itf);
    }
    void TearDown() override {
        plugPlay->Release();
        ExpertFixture::TearDown();
    }
    IoxSysExpertPlugPlay* plugPlay = nullptr;
};

TEST_F(HandlerRegistration, RegisteringTwiceHoldsOneReference) {
    CountingHandler handler;
    EXPECT_EQ(plugPlay->RegisterNotificationCallback(&handler), 0);
    EXPECT_EQ(handler.references(), 2u);
    EXPECT_EQ(plugPlay->RegisterNotificationCallback(&handler), 0);
    EXPECT_EQ(handler.references(), 2u);
    EXPECT_EQ(plugPlay->RegisterNotificationCallback(nullptr), 0);
    EXPECT_EQ(handler.references(), 1u);
}

TEST_F(HandlerRegistration, ReplacingReleasesTheOldHandler) {
    CountingHandler first;
    CountingHandler second;
    plugPlay->RegisterNotificationCallback(&first);
    plugPlay->RegisterNotificationCallback(&second);
    EXPECT_EQ(first.references(), 1u);
    EXPECT_EQ(second.references(), 2u);
    plugPlay->RegisterNotificationCallback(nullptr);
    EXPECT_EQ(second.references(), 1u);
}

TEST_F(HandlerRegistration, DestroyingTheExpertReleasesItsHandler) {
    CountingHandler handler;
    plugPlay->RegisterNotificationCallback(&handler);
    plugPlay->Release();
    plugPlay = nullptr;
    EXPECT_EQ(expert->Release(), 0u);
    expert = nullptr;
    EXPECT_EQ(handler.references(), 1u);
    void* itf = nullptr; // keep TearDown's release balanced
    expert = module.createExpert();
    ASSERT_EQ(expert->QueryInterface(IID_IoxSysExpertPlugPlay, &itf), 0);
    plugPlay = static_cast<IoxSysExpertPlugPlay*>(itf);
}

TEST(HandlerRegistrationThroughSlots, SlotThreeOfPlugPlayRegisters) {
    LoadedModule module;
    ASSERT_EQ(module.error(), "");
    IoxSysExpert2* expert = module.createExpert();
    void* plugPlay = nullptr;
    ASSERT_EQ(expert->QueryInterface(IID_IoxSysExpertPlugPlay, &plugPlay), 0);
    CountingHandler handler;
    using RegisterSlot = int32_t (*)(void* self, IoxSysFrameworkNotificationHandler* handler);
    void** table = *static_cast<void***>(plugPlay);
    EXPECT_EQ(reinterpret_cast<RegisterSlot>(table[3])(plugPlay, &handler), 0);
    EXPECT_EQ(handler.references(), 2u);
    static_cast<IUnknown*>(plugPlay)->Release();
    EXPECT_EQ(expert->Release(), 0u);
    EXPECT_EQ(handler.references(), 1u);
}

} // namespace
