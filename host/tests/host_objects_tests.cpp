// The host's own component objects as the expert meets them: reference
// counts, QueryInterface, the bag's changed tags, the tag enumerator, the bag
// collection and the notification handler.
#include "HostPropertyBag.h"
#include "HostStrings.h"
#include "NotificationHandler.h"
#include "PropertyBagCollection.h"
#include "PropertyReader.h"
#include "TagEnumerator.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// The count after one more AddRef and Release: what the object holds now.
uint32_t references(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

void* const kPoison = reinterpret_cast<void*>(uintptr_t(0xdeadbeef));

TEST(HostPropertyBag, AnswersItsInterfacesWithOnePointer) {
    ComRef<HostPropertyBag> bag(HostPropertyBag::create());
    EXPECT_EQ(references(bag.get()), 1u);
    for (const _GUID* iid : {&IID_IUnknown, &IID_IoxSysPropertyBag, &IID_IoxSysPropertyBag2}) {
        void* found = kPoison;
        ASSERT_EQ(bag->QueryInterface(*iid, &found), S_OK);
        EXPECT_EQ(found, static_cast<IoxSysPropertyBag2*>(bag.get()));
        EXPECT_EQ(references(bag.get()), 2u);
        static_cast<IUnknown*>(found)->Release();
    }
    void* refused = kPoison;
    EXPECT_EQ(bag->QueryInterface(IID_IoxSysPropertyBag3, &refused), E_NOINTERFACE);
    EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(bag->QueryInterface(IID_IoxSysPropertyBag, nullptr), E_POINTER);
    EXPECT_EQ(references(bag.get()), 1u);
}

TEST(HostPropertyBag, ChangedTagsComeInTheOrderTheyWereFirstSet) {
    ComRef<HostPropertyBag> bag(
        HostPropertyBag::create({makeProperty(0x01004000, std::string("K"))}));
    EXPECT_EQ(bag->HasProperty(0x01004000), S_OK);
    EXPECT_EQ(bag->HasProperty(0x01006000), S_FALSE);

    ComRef<IoxSysEnumPropertyTag> none;
    ASSERT_EQ(bag->EnumChangedTags(none.put()), S_OK);
    EXPECT_TRUE(readTags(none.get()).empty()) << "the initial properties are not changes";

    EXPECT_EQ(bag->SetUnsignedIntegerProperty(0x07006000, 7), S_OK);
    EXPECT_EQ(bag->SetStringProperty(0x01004000, u"Acme"), S_OK);
    EXPECT_EQ(bag->SetBooleanProperty(0x07006000, 1), S_OK); // again, and of another type
    ComRef<IoxSysEnumPropertyTag> changed;
    ASSERT_EQ(bag->EnumChangedTags(changed.put()), S_OK);
    EXPECT_EQ(readTags(changed.get()), (std::vector<uint32_t>{0x07006000, 0x01004000}));

    EXPECT_EQ(bag->DeleteProperty(0x07006000), S_OK);
    EXPECT_EQ(bag->DeleteProperty(0x07006000), OX_E_PROPERTY_NOT_FOUND);
    ASSERT_EQ(bag->EnumChangedTags(changed.put()), S_OK);
    EXPECT_EQ(readTags(changed.get()), (std::vector<uint32_t>{0x01004000}));

    EXPECT_EQ(bag->ClearChangedTags(), S_OK);
    EXPECT_EQ(bag->ClearChangedTags(), S_FALSE);
}

TEST(HostPropertyBag, GettersCheckPresenceAndType) {
    ComRef<HostPropertyBag> bag(HostPropertyBag::create());
    ASSERT_EQ(bag->SetIntegerProperty(1, -4), S_OK);
    ASSERT_EQ(bag->SetStringProperty(2, u"text"), S_OK);
    int32_t integer = 0;
    EXPECT_EQ(bag->GetIntegerProperty(1, &integer), S_OK);
    EXPECT_EQ(integer, -4);
    uint32_t unsignedValue = 0;
    EXPECT_EQ(bag->GetUnsignedIntegerProperty(1, &unsignedValue), OX_E_PROPERTY_TYPE_MISMATCH);
    EXPECT_EQ(bag->GetIntegerProperty(3, &integer), OX_E_PROPERTY_NOT_FOUND);
    EXPECT_EQ(bag->GetIntegerProperty(1, nullptr), E_POINTER);
    oxSysAttributeType type{};
    EXPECT_EQ(bag->GetPropertyType(2, &type), S_OK);
    EXPECT_EQ(type, oxSysAttributeType_String);
    EXPECT_EQ(bag->SetStringProperty(3, nullptr), E_POINTER);
    EXPECT_EQ(bag->_SetTimestampProperty(3, nullptr), E_NOTIMPL);

    char16_t* text = nullptr;
    ASSERT_EQ(bag->GetStringProperty(2, &text), S_OK);
    uint32_t count = 0;
    std::memcpy(&count, reinterpret_cast<char*>(text) - 4, 4);
    EXPECT_EQ(count, 4u);
    EXPECT_EQ(takeExpertString(text), "text");
}

TEST(HostPropertyBag, ReadsBackThroughTheContractAndClonesIndependently) {
    const PropertyList properties = {
        makeProperty(0x01004000, std::string("Kroneth")), makeProperty(0x01008000, true),
        makeProperty(0x0700C000, 5u),
        makeProperty(0x01022000, _GUID{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}}),
        makeProperty(0x01099000, 0.25)};
    ComRef<HostPropertyBag> bag(HostPropertyBag::create(properties));
    const PropertyList read = readProperties(bag.get());
    ASSERT_EQ(read.size(), properties.size());
    for (size_t i = 0; i < read.size(); ++i) {
        EXPECT_TRUE(sameValue(read[i], properties[i])) << i;
    }

    ComRef<IoxSysPropertyBag> clone;
    ASSERT_EQ(bag->Clone(clone.put()), S_OK);
    ASSERT_EQ(bag->SetStringProperty(0x01004000, u"Acme"), S_OK);
    EXPECT_EQ(std::get<std::string>(readProperties(clone.get())[0].value), "Kroneth");
    EXPECT_EQ(references(clone.get()), 1u);
}

TEST(TagEnumerator, WalksSkipsResetsAndClones) {
    ComRef<TagEnumerator> tags(TagEnumerator::create({1, 2, 3}));
    uint32_t batch[4] = {};
    uint32_t fetched = 99;
    EXPECT_EQ(tags->Next(2, batch, &fetched), S_OK);
    EXPECT_EQ(fetched, 2u);
    EXPECT_EQ(batch[1], 2u);

    ComRef<IoxSysEnumPropertyTag> copy;
    ASSERT_EQ(tags->Clone(copy.put()), S_OK);
    EXPECT_EQ(tags->Next(4, batch, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 1u);
    EXPECT_EQ(batch[0], 3u);
    EXPECT_EQ(tags->Next(1, batch, nullptr), S_FALSE); // one at a time needs no count back

    EXPECT_EQ(readTags(copy.get()), std::vector<uint32_t>{3}) << "the clone keeps its place";
    EXPECT_EQ(tags->Reset(), S_OK);
    EXPECT_EQ(tags->Skip(2), S_OK);
    EXPECT_EQ(tags->Skip(2), S_FALSE);
    EXPECT_EQ(tags->Next(2, nullptr, &fetched), E_POINTER);
    EXPECT_EQ(tags->Next(2, batch, nullptr), E_POINTER);
}

TEST(PropertyBagCollection, KeepsItsOwnReferenceToEveryBag) {
    ComRef<PropertyBagCollection> collection(PropertyBagCollection::create());
    ComRef<HostPropertyBag> bag(HostPropertyBag::create());
    EXPECT_EQ(collection->AddPropertyBag(bag.get()), S_OK);
    EXPECT_EQ(references(bag.get()), 2u);
    EXPECT_EQ(collection->AddPropertyBag(nullptr), E_POINTER);
    uint32_t count = 0;
    EXPECT_EQ(collection->GetCount(&count), S_OK);
    EXPECT_EQ(count, 1u);

    IoxSysPropertyBag* got = nullptr;
    EXPECT_EQ(collection->GetPropertyBag(0, &got), S_OK);
    EXPECT_EQ(got, static_cast<IoxSysPropertyBag*>(bag.get()));
    got->Release();
    got = static_cast<IoxSysPropertyBag*>(kPoison);
    EXPECT_EQ(collection->GetPropertyBag(1, &got), E_FAIL);
    EXPECT_EQ(got, nullptr);

    void* refused = kPoison;
    EXPECT_EQ(collection->QueryInterface(IID_IoxSysPropertyBag, &refused), E_NOINTERFACE);
    EXPECT_EQ(refused, nullptr);

    collection.reset();
    EXPECT_EQ(references(bag.get()), 1u);
}

// Names as the expert hands them over: length-prefixed strings that the
// receiver frees.
class NameList final : public HostObject<IoxSysEnumStringList, IID_IoxSysEnumStringList> {
public:
    explicit NameList(std::vector<std::u16string> names) : m_names(std::move(names)) {}

    int32_t Next(uint32_t count, char16_t** items, uint32_t* fetched) override {
        uint32_t given = 0;
        while (given < count && m_position < m_names.size()) {
            items[given++] = allocHostString(m_names[m_position++]);
        }
        if (fetched != nullptr) {
            *fetched = given;
        }
        return given == count ? S_OK : S_FALSE;
    }
    int32_t Skip(uint32_t) override { return E_NOTIMPL; }
    int32_t Reset() override { return E_NOTIMPL; }
    int32_t Clone(IoxSysEnumStringList**) override { return E_NOTIMPL; }

private:
    std::vector<std::u16string> m_names;
    size_t m_position = 0;
};

TEST(NotificationHandler, HandsOnTheNamesOfARemoval) {
    std::vector<Notification> received;
    ComRef<NotificationHandler> handler(NotificationHandler::create(
        [&](Notification&& notification) { received.push_back(std::move(notification)); }));
    std::vector<std::u16string> names;
    for (int i = 0; i < 20; ++i) { // more than one batch
        names.push_back(u"cam" + std::u16string(1, char16_t(u'a' + i)));
    }
    ComRef<NameList> list(new NameList(names));
    EXPECT_EQ(handler->OnItemsChanged(nullptr, oxSysItemChangeKind_Removed, list.get()), S_OK);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].change, oxSysItemChangeKind_Removed);
    ASSERT_EQ(received[0].items.size(), 20u);
    EXPECT_EQ(received[0].items[0].name, "cama");
    EXPECT_EQ(received[0].items[19].name, "camt");
    EXPECT_EQ(references(list.get()), 1u) << "the handler keeps no reference";

    ComRef<NotificationHandler> silent(NotificationHandler::create());
    EXPECT_EQ(silent->OnItemsChanged(nullptr, oxSysItemChangeKind_Added, list.get()), S_OK);
    EXPECT_EQ(changeName(oxSysItemChangeKind_Changed), "changed");
    EXPECT_EQ(changeName(oxSysItemChangeKind(9)), "change 9");
}

} // namespace
