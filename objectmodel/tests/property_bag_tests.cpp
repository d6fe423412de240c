#include "objectmodel/CoxDynamicPropertyBag.h"
#include "objectmodel/EnumOnSTL.h"

#include "Poison.h"
#include "Waiting.h"
#include "kernel/simulation.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <thread>
#include <vector>

namespace {

constexpr int32_t kPoison = int32_t(kPoisonWord);

class PropertyBag : public testing::Test {
protected:
    void SetUp() override { bag = CreateComObject<CoxDynamicPropertyBag>(); }
    void TearDown() override { EXPECT_EQ(bag->Release(), 0u); }

    // Every tag an enumerator hands out, in order; empty for no enumerator.
    static std::vector<uint32_t> drain(IoxSysEnumPropertyTag* tags) {
        std::vector<uint32_t> out;
        if (tags == nullptr) {
            return out;
        }
        uint32_t tag = 0;
        while (tags->Next(1, &tag, nullptr) == S_OK) {
            out.push_back(tag);
        }
        tags->Release();
        return out;
    }

    std::vector<uint32_t> changed() {
        IoxSysEnumPropertyTag* tags = nullptr;
        bag->EnumChangedTags(&tags);
        return drain(tags);
    }

    CKRComObject<CoxDynamicPropertyBag>* bag = nullptr;
};

using Types = PropertyBag;

TEST_F(Types, IntegerStaysAnIntegerUntilDeleted) {
    ASSERT_EQ(bag->SetIntegerProperty(5, 7), S_OK);
    int32_t integer = kPoison;
    EXPECT_EQ(bag->GetIntegerProperty(5, &integer), S_OK);
    EXPECT_EQ(integer, 7);
    int32_t boolean = kPoison;
    EXPECT_EQ(bag->GetBooleanProperty(5, &boolean), OX_E_PROPERTY_TYPE_MISMATCH);
    EXPECT_EQ(boolean, 0) << "a failed boolean read writes 0";
    EXPECT_EQ(bag->SetBooleanProperty(5, 1), OX_E_PROPERTY_TYPE_MISMATCH);
    EXPECT_EQ(bag->GetIntegerProperty(5, &integer), S_OK);
    EXPECT_EQ(integer, 7);
    ASSERT_EQ(bag->DeleteProperty(5), S_OK);
    EXPECT_EQ(bag->SetBooleanProperty(5, 1), S_OK);
}

TEST_F(Types, BooleansAreNormalised) {
    ASSERT_EQ(bag->SetBooleanProperty(4, 5), S_OK);
    int32_t value = kPoison;
    EXPECT_EQ(bag->GetBooleanProperty(4, &value), S_OK);
    EXPECT_EQ(value, 1);
}

TEST_F(Types, EveryTypeReadsBackWithItsTag) {
    const _GUID guid = {0x01020304, 0x0506, 0x0708, {9, 10, 11, 12, 13, 14, 15, 16}};
    const oxSysAttrTimestampUTC time = {{0, 2082844800u, 0x80000000u, 0}};
    bag->SetBooleanProperty(1, 0);
    bag->SetIntegerProperty(2, -3);
    bag->SetUnsignedIntegerProperty(3, 0xFFFFFFFFu);
    bag->SetDoubleProperty(4, 2.5);
    bag->SetGuidProperty(5, guid);
    bag->SetStringProperty(6, u"Camera \u00e9");
    bag->SetTimestampPropertyUTC(7, &time);
    for (uint32_t tag = 1; tag <= 7; ++tag) {
        oxSysAttributeType type = oxSysAttributeType(kPoison);
        EXPECT_EQ(bag->GetPropertyType(tag, &type), S_OK);
        EXPECT_EQ(int32_t(type), int32_t(tag)) << "tag " << tag;
    }
    uint32_t unsignedValue = 0;
    EXPECT_EQ(bag->GetUnsignedIntegerProperty(3, &unsignedValue), S_OK);
    EXPECT_EQ(unsignedValue, 0xFFFFFFFFu);
    double real = 0;
    EXPECT_EQ(bag->GetDoubleProperty(4, &real), S_OK);
    EXPECT_EQ(real, 2.5);
    _GUID readGuid{};
    EXPECT_EQ(bag->GetGuidProperty(5, &readGuid), S_OK);
    EXPECT_TRUE(IsEqualGUID(readGuid, guid)) << "all 16 bytes in the same order";
    char16_t* text = nullptr;
    EXPECT_EQ(bag->GetStringProperty(6, &text), S_OK);
    EXPECT_EQ(std::u16string(text), u"Camera \u00e9");
    BStrFree(text);
    oxSysAttrTimestampUTC readTime{};
    EXPECT_EQ(bag->GetTimestampPropertyUTC(7, &readTime), S_OK);
    EXPECT_EQ(std::memcmp(&readTime, &time, sizeof time), 0);
}

TEST_F(Types, FailedReadsFollowEachGettersRule) {
    bag->SetStringProperty(9, u"x");
    int32_t integer = kPoison;
    EXPECT_EQ(bag->GetIntegerProperty(9, &integer), OX_E_PROPERTY_TYPE_MISMATCH);
    EXPECT_EQ(integer, kPoison) << "left untouched";
    uint32_t unsignedValue = kPoisonWord;
    EXPECT_EQ(bag->GetUnsignedIntegerProperty(1, &unsignedValue), OX_E_PROPERTY_NOT_FOUND);
    EXPECT_EQ(unsignedValue, kPoisonWord);
    char16_t* text = poisonPointer<char16_t>();
    EXPECT_EQ(bag->GetStringProperty(1, &text), OX_E_PROPERTY_NOT_FOUND);
    EXPECT_EQ(text, nullptr) << "a failed string read writes null";
    oxSysAttributeType type = oxSysAttributeType(kPoison);
    EXPECT_EQ(bag->GetPropertyType(1, &type), OX_E_PROPERTY_NOT_FOUND);
    EXPECT_EQ(bag->DeleteProperty(1), OX_E_PROPERTY_NOT_FOUND);
    EXPECT_EQ(bag->HasProperty(1), S_FALSE);
    EXPECT_EQ(bag->HasProperty(9), S_OK);
}

TEST_F(Types, NullStringIsStoredAndReadAsNull) {
    ASSERT_EQ(bag->SetStringProperty(3, nullptr), S_OK);
    char16_t* text = poisonPointer<char16_t>();
    EXPECT_EQ(bag->GetStringProperty(3, &text), S_OK);
    EXPECT_EQ(text, nullptr);
}

TEST_F(Types, NullOutputsArePointerErrors) {
    bag->SetIntegerProperty(1, 1);
    EXPECT_EQ(bag->GetPropertyType(1, nullptr), E_POINTER);
    EXPECT_EQ(bag->GetBooleanProperty(1, nullptr), E_POINTER);
    EXPECT_EQ(bag->GetIntegerProperty(1, nullptr), E_POINTER);
    EXPECT_EQ(bag->GetUnsignedIntegerProperty(1, nullptr), E_POINTER);
    EXPECT_EQ(bag->GetDoubleProperty(1, nullptr), E_POINTER);
    EXPECT_EQ(bag->GetGuidProperty(1, nullptr), E_POINTER);
    EXPECT_EQ(bag->GetStringProperty(1, nullptr), E_POINTER);
    EXPECT_EQ(bag->GetTimestampProperty(1, nullptr), E_POINTER);
    EXPECT_EQ(bag->GetTimestampPropertyUTC(1, nullptr), E_POINTER);
    EXPECT_EQ(bag->SetTimestampPropertyUTC(1, nullptr), E_POINTER);
    EXPECT_EQ(bag->EnumProperties(nullptr), E_POINTER);
    EXPECT_EQ(bag->EnumChangedTags(nullptr), E_POINTER);
    EXPECT_EQ(bag->Clone(nullptr), E_POINTER);
}

using ChangedTags = PropertyBag;

TEST_F(ChangedTags, SettingTheSameValueAgainCountsAsAChange) {
    bag->SetStringProperty(9, u"same");
    EXPECT_EQ(bag->ClearChangedTags(), S_OK);
    IoxSysEnumPropertyTag* tags = poisonPointer<IoxSysEnumPropertyTag>();
    EXPECT_EQ(bag->EnumChangedTags(&tags), S_FALSE);
    EXPECT_EQ(tags, nullptr);
    bag->SetStringProperty(9, u"same");
    EXPECT_EQ(changed(), std::vector<uint32_t>{9});
}

TEST_F(ChangedTags, ClearingNothingAnswersOne) {
    EXPECT_EQ(bag->ClearChangedTags(), S_FALSE);
    EXPECT_EQ(bag->ClearChangedTags(), S_FALSE);
}

TEST_F(ChangedTags, RefusedSetIsNoChange) {
    bag->SetIntegerProperty(1, 1);
    bag->ClearChangedTags();
    EXPECT_EQ(bag->SetStringProperty(1, u"x"), OX_E_PROPERTY_TYPE_MISMATCH);
    EXPECT_TRUE(changed().empty());
}

TEST_F(ChangedTags, DeletingATagRemovesItsChange) {
    bag->SetIntegerProperty(1, 1);
    bag->SetIntegerProperty(2, 2);
    bag->DeleteProperty(1);
    EXPECT_EQ(changed(), std::vector<uint32_t>{2});
    bag->DeleteAllProperties();
    EXPECT_TRUE(changed().empty());
}

TEST_F(ChangedTags, PropertiesEnumerateInUnsignedOrderAsASnapshot) {
    bag->SetIntegerProperty(30, 0);
    bag->SetIntegerProperty(2, 0);
    bag->SetIntegerProperty(0xFFFFFFFF, 0);
    IoxSysEnumPropertyTag* tags = nullptr;
    ASSERT_EQ(bag->EnumProperties(&tags), S_OK);
    bag->SetIntegerProperty(1, 0); // after the snapshot
    EXPECT_EQ(drain(tags), (std::vector<uint32_t>{2, 30, 0xFFFFFFFF}));
}

TEST_F(ChangedTags, EmptyBagHasNoEnumerator) {
    IoxSysEnumPropertyTag* tags = poisonPointer<IoxSysEnumPropertyTag>();
    EXPECT_EQ(bag->EnumProperties(&tags), S_FALSE);
    EXPECT_EQ(tags, nullptr);
}

using Cloning = PropertyBag;

TEST_F(Cloning, CopiesValuesAndTypesButNoChanges) {
    bag->SetIntegerProperty(1, -1);
    bag->SetStringProperty(2, u"two");
    bag->SetBooleanProperty(3, 1);
    IoxSysPropertyBag* copy = nullptr;
    ASSERT_EQ(bag->Clone(&copy), S_OK);
    auto* clone = static_cast<IoxSysPropertyBag3*>(copy);
    IoxSysEnumPropertyTag* tags = poisonPointer<IoxSysEnumPropertyTag>();
    EXPECT_EQ(clone->EnumChangedTags(&tags), S_FALSE);
    int32_t integer = 0;
    EXPECT_EQ(clone->GetIntegerProperty(1, &integer), S_OK);
    EXPECT_EQ(integer, -1);
    char16_t* text = nullptr;
    EXPECT_EQ(clone->GetStringProperty(2, &text), S_OK);
    EXPECT_EQ(std::u16string(text), u"two");
    BStrFree(text);
    oxSysAttributeType type{};
    EXPECT_EQ(clone->GetPropertyType(3, &type), S_OK);
    EXPECT_EQ(type, oxSysAttributeType_Boolean);
    EXPECT_EQ(clone->Release(), 0u);
}

TEST_F(Cloning, EmptyBagClonesToAnEmptyBag) {
    IoxSysPropertyBag* copy = nullptr;
    ASSERT_EQ(bag->Clone(&copy), S_OK);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->HasProperty(0), S_FALSE);
    copy->Release();
}

TEST_F(PropertyBag, AnswersItsThreeInterfacesWithOnePointer) {
    for (const _GUID* iid : {&IID_IoxSysPropertyBag, &IID_IoxSysPropertyBag2,
                             &IID_IoxSysPropertyBag3, &IID_IUnknown}) {
        void* itf = nullptr;
        ASSERT_EQ(bag->QueryInterface(*iid, &itf), S_OK);
        EXPECT_EQ(itf, static_cast<IoxSysPropertyBag3*>(bag));
        static_cast<IUnknown*>(itf)->Release();
    }
    void* itf = poisonPointer<void>();
    EXPECT_EQ(bag->QueryInterface(IID_IoxSysEnumPropertyTag, &itf), E_NOINTERFACE);
    EXPECT_EQ(itf, nullptr);
}

class Timestamps : public PropertyBag {
protected:
    void SetUp() override {
        PropertyBag::SetUp();
        const char* tz = std::getenv("TZ");
        savedTz = tz != nullptr ? tz : "";
        hadTz = tz != nullptr;
        setenv("TZ", "UTC0", 1);
        tzset();
    }
    void TearDown() override {
        if (hadTz) {
            setenv("TZ", savedTz.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
        PropertyBag::TearDown();
    }
    static void expectNoTime(const oxSysAttrTimestamp& t) {
        EXPECT_EQ(t.year, -1);
        EXPECT_EQ(t.month, -1);
        EXPECT_EQ(t.day, -1);
        EXPECT_EQ(t.hour, -1);
        EXPECT_EQ(t.minute, -1);
        EXPECT_EQ(t.second, -1);
    }
    std::string savedTz;
    bool hadTz = false;
};

TEST_F(Timestamps, UnixEpochInLocalCalendarFields) {
    const oxSysAttrTimestampUTC epoch = {{0, 2082844800u, 0, 0}};
    bag->SetTimestampPropertyUTC(1, &epoch);
    oxSysAttrTimestamp local{};
    ASSERT_EQ(bag->GetTimestampProperty(1, &local), S_OK);
    EXPECT_EQ(local.year, 1970);
    EXPECT_EQ(local.month, 1);
    EXPECT_EQ(local.day, 1);
    EXPECT_EQ(local.hour, 0);
    EXPECT_EQ(local.minute, 0);
    EXPECT_EQ(local.second, 0);
}

TEST_F(Timestamps, HalfSecondRoundsToEven) {
    const oxSysAttrTimestampUTC oddAndAHalf = {{0, 2082844801u, 0x80000000u, 0}};
    bag->SetTimestampPropertyUTC(1, &oddAndAHalf);
    oxSysAttrTimestamp local{};
    ASSERT_EQ(bag->GetTimestampProperty(1, &local), S_OK);
    EXPECT_EQ(local.second, 2);
}

TEST_F(Timestamps, MissingWrongTypeAndZeroGiveNoTime) {
    oxSysAttrTimestamp local{};
    EXPECT_EQ(bag->GetTimestampProperty(1, &local), OX_E_PROPERTY_NOT_FOUND);
    expectNoTime(local);
    bag->SetIntegerProperty(2, 5);
    local = {};
    EXPECT_EQ(bag->GetTimestampProperty(2, &local), OX_E_PROPERTY_TYPE_MISMATCH);
    expectNoTime(local);
    const oxSysAttrTimestampUTC zero = {{0, 0, 0, 0}};
    bag->SetTimestampPropertyUTC(3, &zero);
    local = {};
    EXPECT_EQ(bag->GetTimestampProperty(3, &local), S_OK);
    expectNoTime(local);
}

TEST_F(Timestamps, TimeBeyondTheCalendarRangeIsAFailureNotAWrongDate) {
    // 2^32 seconds after 1970: the low 32 bits alone would read as 1970.
    const oxSysAttrTimestampUTC beyond = {{1, 2082844800u, 0, 0}};
    bag->SetTimestampPropertyUTC(1, &beyond);
    oxSysAttrTimestamp local{};
    EXPECT_EQ(bag->GetTimestampProperty(1, &local), E_FAIL);
    expectNoTime(local);
}

TEST_F(Timestamps, LocalTimeCannotBeWritten) {
    const oxSysAttrTimestamp local = {2026, 12, 9, 12, 0, 0};
    EXPECT_EQ(bag->_SetTimestampProperty(1, &local), E_NOTIMPL);
    EXPECT_EQ(bag->HasProperty(1), S_FALSE);
}

using BatchLock = PropertyBag;

TEST_F(BatchLock, UnbalancedReleaseIsRefused) {
    EXPECT_EQ(bag->ReleaseBatchLock(), E_FAIL);
}

TEST_F(BatchLock, OtherThreadsWaitUntilEveryAcquisitionIsReleased) {
    ASSERT_EQ(bag->AcquireBatchLock(), S_OK);
    ASSERT_EQ(bag->AcquireBatchLock(), S_OK);
    bag->SetIntegerProperty(1, 1); // the holder keeps full use of the bag
    std::atomic<bool> written{false};
    std::thread other([&] {
        bag->SetIntegerProperty(1, 2);
        written = true;
    });
    ASSERT_TRUE(waitUntil([] { return kernelTasksBlockedOnSemaphores() == 1; }));
    EXPECT_FALSE(written);
    ASSERT_EQ(bag->ReleaseBatchLock(), S_OK);
    EXPECT_EQ(kernelTasksBlockedOnSemaphores(), 1u) << "one acquisition is still held";
    EXPECT_FALSE(written);
    ASSERT_EQ(bag->ReleaseBatchLock(), S_OK);
    other.join();
    EXPECT_TRUE(written);
    int32_t value = 0;
    bag->GetIntegerProperty(1, &value);
    EXPECT_EQ(value, 2);
}

TEST_F(PropertyBag, ConcurrentWritersAndReadersKeepTheBagWhole) {
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([this, t] {
            for (int i = 0; i < 2000; ++i) {
                bag->SetIntegerProperty(uint32_t(t * 10 + i % 10), i);
                int32_t value = 0;
                bag->GetIntegerProperty(uint32_t(t * 10), &value);
                if (i % 100 == 0) {
                    IoxSysEnumPropertyTag* tags = nullptr;
                    bag->EnumProperties(&tags);
                    drain(tags);
                }
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    IoxSysEnumPropertyTag* tags = nullptr;
    ASSERT_EQ(bag->EnumProperties(&tags), S_OK);
    EXPECT_EQ(drain(tags).size(), 40u);
}

} // namespace
