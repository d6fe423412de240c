#include "TestWidget.h"

#include "contract/oxSysInterfaces.h"

#include "Poison.h"
#include "References.h"

#include <gtest/gtest.h>

namespace {

class ComObjectTest : public testing::Test {
protected:
    void SetUp() override {
        CTestWidget::destroyed = 0;
        widget = CreateComObject<CTestWidget>();
    }
    void TearDown() override {
        if (widget != nullptr) {
            EXPECT_EQ(widget->Release(), 0u);
        }
        EXPECT_EQ(CTestWidget::destroyed, 1);
    }
    CKRComObject<CTestWidget>* widget = nullptr;
};

TEST_F(ComObjectTest, CreatedObjectHoldsOneReference) {
    EXPECT_EQ(countOf(static_cast<ITestFront*>(widget)), 1u);
}

TEST_F(ComObjectTest, QueryInterfaceAddsOneReferenceAndReturnsTheChain) {
    void* front = poisonPointer();
    ASSERT_EQ(widget->QueryInterface(IID_ITestFront, &front), S_OK);
    EXPECT_EQ(front, static_cast<ITestFront*>(widget));
    EXPECT_EQ(countOf(static_cast<ITestFront*>(widget)), 2u);

    void* back = poisonPointer();
    ASSERT_EQ(widget->QueryInterface(IID_ITestBack, &back), S_OK);
    EXPECT_EQ(back, static_cast<ITestBack*>(widget));
    EXPECT_NE(back, front) << "the second chain is a different sub-object";
    EXPECT_EQ(static_cast<ITestBack*>(back)->Back(), 2);
    EXPECT_EQ(countOf(static_cast<ITestFront*>(widget)), 3u);

    static_cast<ITestBack*>(back)->Release();
    static_cast<ITestFront*>(front)->Release();
}

TEST_F(ComObjectTest, IUnknownIsTheFirstEntryFromEveryChain) {
    void* back = nullptr;
    ASSERT_EQ(widget->QueryInterface(IID_ITestBack, &back), S_OK);
    void* unknownFromFront = poisonPointer();
    void* unknownFromBack = poisonPointer();
    ASSERT_EQ(widget->QueryInterface(IID_IUnknown, &unknownFromFront), S_OK);
    ASSERT_EQ(static_cast<ITestBack*>(back)->QueryInterface(IID_IUnknown, &unknownFromBack), S_OK);
    EXPECT_EQ(unknownFromFront, unknownFromBack);
    EXPECT_EQ(unknownFromFront, static_cast<ITestFront*>(widget));
    static_cast<IUnknown*>(unknownFromFront)->Release();
    static_cast<IUnknown*>(unknownFromBack)->Release();
    static_cast<ITestBack*>(back)->Release();
}

TEST_F(ComObjectTest, UnknownIdentifierIsRefusedAndNullsTheOutput) {
    _GUID almost = IID_ITestFront;
    almost.Data4[7] ^= 0x80; // differs in the last byte only
    void* out = poisonPointer();
    EXPECT_EQ(widget->QueryInterface(almost, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(widget->QueryInterface(IID_IoxSysEnumPropertyTag, &out), E_NOINTERFACE);
    EXPECT_EQ(countOf(static_cast<ITestFront*>(widget)), 1u);
}

TEST_F(ComObjectTest, NullOutputIsAPointerError) {
    EXPECT_EQ(widget->QueryInterface(IID_ITestFront, nullptr), E_POINTER);
    EXPECT_EQ(countOf(static_cast<ITestFront*>(widget)), 1u);
}

TEST(IUnknownRecognition, AcceptsBothByteOrdersOfTheThirdWord) {
    EXPECT_TRUE(KRIsIUnknown(IID_IUnknown));
    // {00000000-0000-0000-00C0-000000000046}: the swapped third word.
    const _GUID swapped = {0, 0, 0, {0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
    EXPECT_TRUE(KRIsIUnknown(swapped));
    _GUID other = IID_IUnknown;
    other.Data4[7] = 0x47;
    EXPECT_FALSE(KRIsIUnknown(other));
}

TEST(CreateInstance, FailedConstructionIsOutOfMemoryAndNull) {
    CTestWidget::failConstruction = true;
    CKRComObject<CTestWidget>* object = poisonPointer<CKRComObject<CTestWidget>>();
    EXPECT_EQ(CKRComObject<CTestWidget>::CreateInstance(&object), E_OUTOFMEMORY);
    EXPECT_EQ(object, nullptr);
    try {
        CreateComObject<CTestWidget>();
        ADD_FAILURE() << "CreateComObject must throw the creation status";
    } catch (int32_t status) {
        EXPECT_EQ(status, E_OUTOFMEMORY);
    }
    CTestWidget::failConstruction = false;
}

// A map with a function entry and a blind entry, as the lookup supports them.
int32_t refuseWith(void*, const _GUID&, void**, uintptr_t) {
    return E_FAIL;
}
int32_t passOn(void*, const _GUID&, void**, uintptr_t) {
    return S_FALSE;
}

TEST(InternalQueryInterface, FunctionEntriesDecideOrPassOn) {
    struct Plain : ITestFront {
        int32_t QueryInterface(const _GUID&, void**) override { return E_FAIL; }
        uint32_t AddRef() override { return ++count; }
        uint32_t Release() override { return --count; }
        int32_t Front() override { return 0; }
        uint32_t count = 1;
    } object;
    const KRInterfaceMapEntry entries[] = {
        {&IID_ITestFront, 0, kKRMapPlainOffset},
        {&IID_ITestBack, 0, reinterpret_cast<uintptr_t>(&refuseWith)},
        {nullptr, 0, reinterpret_cast<uintptr_t>(&passOn)}, // blind: a soft refusal goes on
        {nullptr, 0, kKRMapEnd},
    };
    void* out = poisonPointer();
    EXPECT_EQ(InternalQueryInterface(&object, entries, IID_ITestBack, &out), E_FAIL);
    out = poisonPointer();
    EXPECT_EQ(InternalQueryInterface(&object, entries, IID_IoxSysExpert, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(InternalQueryInterface(&object, entries, IID_IUnknown, &out), S_OK);
    EXPECT_EQ(object.count, 2u);
}

} // namespace
