// The host's own component objects as the expert meets them: reference
// counts, QueryInterface, the bag's changed tags, the tag enumerator, the bag
// collection and the notification handler.
#include "hostkit/BagCollection.h"
#include "hostkit/BagOfChanges.h"
#include "hostkit/TagEnumerator.h"
#include "session/ExpertAnswers.h"
#include "session/NotificationHandler.h"

#include "contract/BStr.h"

#include "Poison.h"
#include "References.h"

#include <gtest/gtest.h>

namespace {

TEST(HostPropertyBag, AnswersItsInterfacesWithOnePointer) {
    ComRef<OwnedBagOfChanges> bag(OwnedBagOfChanges::create());
    EXPECT_EQ(countOf(bag.get()), 1u);
    for (const _GUID* iid : {&IID_IUnknown, &IID_IoxSysPropertyBag, &IID_IoxSysPropertyBag2}) {
        void* found = poisonPointer();
        ASSERT_EQ(bag->QueryInterface(*iid, &found), S_OK);
        EXPECT_EQ(found, static_cast<IoxSysPropertyBag2*>(bag.get()));
        EXPECT_EQ(countOf(bag.get()), 2u);
        static_cast<IUnknown*>(found)->Release();
    }
    void* refused = poisonPointer();
    EXPECT_EQ(bag->QueryInterface(IID_IoxSysPropertyBag3, &refused), E_NOINTERFACE);
    EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(bag->QueryInterface(IID_IoxSysPropertyBag, nullptr), E_POINTER);
    EXPECT_EQ(countOf(bag.get()), 1u);
}

TEST(HostPropertyBag, ChangedTagsComeInTheOrderTheyWereFirstSet) {
    ComRef<OwnedBagOfChanges> bag(OwnedBagOfChanges::create());
    ComRef<IoxSysEnumPropertyTag> none;
    ASSERT_EQ(bag->EnumChangedTags(none.put()), S_OK);
    EXPECT_TRUE(tagsOf(none.get()).empty()) << "a new bag has no changes";

    EXPECT_EQ(bag->SetUnsignedIntegerProperty(0x07006000, 7), S_OK);
    EXPECT_EQ(bag->SetStringProperty(0x01004000, u"Acme"), S_OK);
    EXPECT_EQ(bag->SetBooleanProperty(0x07006000, 1), S_OK); // again, and of another type
    EXPECT_EQ(bag->SetIntegerProperty(1, -4), S_OK);
    EXPECT_EQ(bag->SetDoubleProperty(2, 0.25), S_OK);
    EXPECT_EQ(bag->SetGuidProperty(3, _GUID{}), S_OK);
    EXPECT_EQ(bag->SetStringProperty(4, nullptr), E_POINTER);
    ComRef<IoxSysEnumPropertyTag> changed;
    ASSERT_EQ(bag->EnumChangedTags(changed.put()), S_OK);
    EXPECT_EQ(tagsOf(changed.get()), (std::vector<uint32_t>{0x07006000, 0x01004000, 1, 2, 3}));
    EXPECT_EQ(bag->EnumChangedTags(nullptr), E_POINTER);
}

TEST(HostPropertyBag, SetsThroughTheSetterOfEachType) {
    ComRef<OwnedBagOfChanges> bag(OwnedBagOfChanges::create());
    const PropertyList changes = {
        makeProperty(1, true), makeProperty(2, int32_t(-1)), makeProperty(3, 7u),
        makeProperty(4, 0.5),  makeProperty(5, _GUID{}),     makeProperty(6, std::string("x")),
    };
    for (const Property& change : changes) {
        EXPECT_EQ(setThroughInterface(bag.get(), change), S_OK) << change.tag;
    }
    EXPECT_EQ(setThroughInterface(bag.get(), makeProperty(7, oxSysAttrTimestampUTC{})), E_NOTIMPL);
    ComRef<IoxSysEnumPropertyTag> changed;
    ASSERT_EQ(bag->EnumChangedTags(changed.put()), S_OK);
    EXPECT_EQ(tagsOf(changed.get()), (std::vector<uint32_t>{1, 2, 3, 4, 5, 6}));
}

// The expert asks a bag of changes only for its changed tags.
TEST(HostPropertyBag, AnswersNothingElse) {
    ComRef<OwnedBagOfChanges> bag(OwnedBagOfChanges::create());
    ASSERT_EQ(bag->SetIntegerProperty(1, -4), S_OK);
    int32_t integer = 0;
    EXPECT_EQ(bag->GetIntegerProperty(1, &integer), E_NOTIMPL);
    EXPECT_EQ(bag->HasProperty(1), E_NOTIMPL);
    ComRef<IoxSysEnumPropertyTag> all;
    EXPECT_EQ(bag->EnumProperties(all.put()), E_NOTIMPL);
    ComRef<IoxSysPropertyBag> clone;
    EXPECT_EQ(bag->Clone(clone.put()), E_NOTIMPL);
    EXPECT_EQ(bag->ClearChangedTags(), E_NOTIMPL);
    EXPECT_EQ(bag->_SetTimestampProperty(1, nullptr), E_NOTIMPL);
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

    EXPECT_EQ(tagsOf(copy.get()), std::vector<uint32_t>{3}) << "the clone keeps its place";
    EXPECT_EQ(tags->Reset(), S_OK);
    EXPECT_EQ(tags->Skip(2), S_OK);
    EXPECT_EQ(tags->Skip(2), S_FALSE);
    EXPECT_EQ(tags->Next(2, nullptr, &fetched), E_POINTER);
    EXPECT_EQ(tags->Next(2, batch, nullptr), E_POINTER);
}

TEST(PropertyBagCollection, KeepsItsOwnReferenceToEveryBag) {
    ComRef<OwnedBagCollection> collection(OwnedBagCollection::create());
    ComRef<OwnedBagOfChanges> bag(OwnedBagOfChanges::create());
    EXPECT_EQ(collection->AddPropertyBag(bag.get()), S_OK);
    EXPECT_EQ(countOf(bag.get()), 2u);
    EXPECT_EQ(collection->AddPropertyBag(nullptr), E_POINTER);
    uint32_t count = 0;
    EXPECT_EQ(collection->GetCount(&count), S_OK);
    EXPECT_EQ(count, 1u);

    IoxSysPropertyBag* got = nullptr;
    EXPECT_EQ(collection->GetPropertyBag(0, &got), S_OK);
    EXPECT_EQ(got, static_cast<IoxSysPropertyBag*>(bag.get()));
    got->Release();
    got = poisonPointer<IoxSysPropertyBag>();
    EXPECT_EQ(collection->GetPropertyBag(1, &got), E_FAIL);
    EXPECT_EQ(got, nullptr);

    void* refused = poisonPointer();
    EXPECT_EQ(collection->QueryInterface(IID_IoxSysPropertyBag, &refused), E_NOINTERFACE);
    EXPECT_EQ(refused, nullptr);

    collection.reset();
    EXPECT_EQ(countOf(bag.get()), 1u);
}

// Names as the expert hands them over: length-prefixed strings that the
// receiver frees.
class NameList final : public HostObject<Owned, IoxSysEnumStringList, IID_IoxSysEnumStringList> {
public:
    explicit NameList(std::vector<std::u16string> names) : m_names(std::move(names)) {}

    int32_t Next(uint32_t count, char16_t** items, uint32_t* fetched) override {
        uint32_t given = 0;
        while (given < count && m_position < m_names.size()) {
            const std::u16string& name = m_names[m_position++];
            items[given++] = BStrAllocLen(name.data(), uint32_t(name.size()));
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
    EXPECT_EQ(countOf(list.get()), 1u) << "the handler keeps no reference";

    ComRef<NotificationHandler> silent(NotificationHandler::create());
    EXPECT_EQ(silent->OnItemsChanged(nullptr, oxSysItemChangeKind_Added, list.get()), S_OK);
    EXPECT_EQ(changeName(oxSysItemChangeKind_Changed), "changed");
    EXPECT_EQ(changeName(oxSysItemChangeKind(9)), "change 9");
}

} // namespace
