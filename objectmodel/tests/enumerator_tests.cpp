#include "objectmodel/EnumOnSTL.h"
#include "tarn/StringBase.h"

#include "Poison.h"

#include <gtest/gtest.h>

#include <list>
#include <set>
#include <string>
#include <vector>

namespace {

using NameList = std::list<std::u16string>;
using TagSet = std::set<uint32_t>;
using NameEnum = CoxSysEnumItemNamesSTL<NameList>;
using TagEnum = CoxSysEnumPropertyTagsSTL<TagSet>;

char16_t* const kPoisonName = poisonPointer<char16_t>();

IoxSysEnumStringList* namesOf(NameList names) {
    return CreateOwningEnumerator<NameEnum>(std::make_unique<NameList>(std::move(names)));
}

IoxSysEnumPropertyTag* tagsOf(TagSet tags) {
    return CreateOwningEnumerator<TagEnum>(std::make_unique<TagSet>(std::move(tags)));
}

std::u16string takeName(char16_t* name) {
    std::u16string text(name);
    BStrFree(name);
    return text;
}

TEST(EnumeratorNext, OneAtATimeWithoutFetched) {
    IoxSysEnumStringList* names = namesOf({u"Cam0"});
    char16_t* item = kPoisonName;
    ASSERT_EQ(names->Next(1, &item, nullptr), S_OK);
    EXPECT_EQ(takeName(item), u"Cam0");
    item = kPoisonName;
    EXPECT_EQ(names->Next(1, &item, nullptr), S_FALSE);
    EXPECT_EQ(item, kPoisonName) << "nothing is copied past the end";
    EXPECT_EQ(names->Release(), 0u);
}

TEST(EnumeratorNext, FewerLeftThanAskedReportsHowMany) {
    IoxSysEnumPropertyTag* tags = tagsOf({30, 2, 0xFFFFFFFF});
    uint32_t items[5] = {kPoisonWord, kPoisonWord, kPoisonWord, kPoisonWord, kPoisonWord};
    uint32_t fetched = kPoisonWord;
    EXPECT_EQ(tags->Next(5, items, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 3u);
    EXPECT_EQ(items[0], 2u);
    EXPECT_EQ(items[1], 30u);
    EXPECT_EQ(items[2], 0xFFFFFFFFu);
    EXPECT_EQ(items[3], kPoisonWord);
    tags->Release();
}

TEST(EnumeratorNext, SeveralWithoutFetchedIsAPointerErrorAndDoesNotMove) {
    IoxSysEnumPropertyTag* tags = tagsOf({1, 2});
    uint32_t items[2] = {kPoisonWord, kPoisonWord};
    EXPECT_EQ(tags->Next(2, items, nullptr), E_POINTER);
    EXPECT_EQ(tags->Next(1, nullptr, nullptr), E_POINTER);
    EXPECT_EQ(items[0], kPoisonWord);
    ASSERT_EQ(tags->Next(1, items, nullptr), S_OK);
    EXPECT_EQ(items[0], 1u) << "the refused calls did not move the enumerator";
    tags->Release();
}

TEST(EnumeratorSkipReset, SkipToTheEndThenPastIt) {
    IoxSysEnumPropertyTag* tags = tagsOf({1, 2, 3});
    EXPECT_EQ(tags->Skip(0), S_OK);
    EXPECT_EQ(tags->Skip(3), S_OK) << "exactly the elements left";
    uint32_t tag = kPoisonWord;
    EXPECT_EQ(tags->Next(1, &tag, nullptr), S_FALSE);
    EXPECT_EQ(tags->Reset(), S_OK);
    EXPECT_EQ(tags->Skip(4), S_FALSE);
    tags->Release();
}

TEST(EnumeratorSkipReset, ResetHandsOutTheFirstElementAgain) {
    IoxSysEnumStringList* names = namesOf({u"a", u"b"});
    char16_t* items[2] = {kPoisonName, kPoisonName};
    uint32_t fetched = 0;
    ASSERT_EQ(names->Next(2, items, &fetched), S_OK);
    BStrFree(items[0]);
    BStrFree(items[1]);
    ASSERT_EQ(names->Reset(), S_OK);
    ASSERT_EQ(names->Next(1, items, nullptr), S_OK);
    EXPECT_EQ(takeName(items[0]), u"a");
    names->Release();
}

TEST(EnumeratorClone, ContinuesFromTheSourcePositionIndependently) {
    IoxSysEnumPropertyTag* tags = tagsOf({10, 20, 30, 40});
    uint32_t tag = 0;
    tags->Next(1, &tag, nullptr);
    tags->Next(1, &tag, nullptr);
    IoxSysEnumPropertyTag* clone = nullptr;
    ASSERT_EQ(tags->Clone(&clone), S_OK);
    ASSERT_NE(clone, nullptr);
    ASSERT_EQ(clone->Next(1, &tag, nullptr), S_OK);
    EXPECT_EQ(tag, 30u);
    ASSERT_EQ(clone->Next(1, &tag, nullptr), S_OK);
    EXPECT_EQ(tag, 40u);
    ASSERT_EQ(tags->Next(1, &tag, nullptr), S_OK);
    EXPECT_EQ(tag, 30u) << "advancing the clone does not move the source";
    clone->Release();
    tags->Release();
}

TEST(EnumeratorClone, CloneThatOutlivesItsSourceKeepsWorking) {
    IoxSysEnumStringList* names = namesOf({u"first", u"second"});
    IoxSysEnumStringList* clone = nullptr;
    ASSERT_EQ(names->Clone(&clone), S_OK);
    EXPECT_EQ(names->Release(), 1u) << "the clone keeps its source alive";
    char16_t* items[2] = {};
    uint32_t fetched = 0;
    ASSERT_EQ(clone->Next(2, items, &fetched), S_OK);
    EXPECT_EQ(takeName(items[0]), u"first");
    EXPECT_EQ(takeName(items[1]), u"second");
    IoxSysEnumStringList* cloneOfClone = nullptr;
    ASSERT_EQ(clone->Clone(&cloneOfClone), S_OK);
    EXPECT_EQ(clone->Release(), 0u);
    ASSERT_EQ(cloneOfClone->Reset(), S_OK);
    ASSERT_EQ(cloneOfClone->Next(1, items, nullptr), S_OK);
    EXPECT_EQ(takeName(items[0]), u"first");
    EXPECT_EQ(cloneOfClone->Release(), 0u);
}

TEST(EnumeratorClone, NullOutputIsAPointerError) {
    IoxSysEnumPropertyTag* tags = tagsOf({1});
    EXPECT_EQ(tags->Clone(nullptr), E_POINTER);
    tags->Release();
}

TEST(EnumeratorWithoutContainer, NextAndResetFail) {
    CKRComObject<TagEnum>* tags = CreateComObject<TagEnum>();
    uint32_t tag = kPoisonWord;
    EXPECT_EQ(tags->Next(1, &tag, nullptr), E_FAIL);
    EXPECT_EQ(tags->Reset(), E_FAIL);
    EXPECT_EQ(tags->Skip(1), S_FALSE);
    EXPECT_EQ(tag, kPoisonWord);
    tags->Release();
}

TEST(EnumeratorInterface, AnswersOnlyItsOwnIdentifier) {
    IoxSysEnumPropertyTag* tags = tagsOf({1});
    void* itf = nullptr;
    EXPECT_EQ(tags->QueryInterface(IID_IoxSysEnumStringList, &itf), E_NOINTERFACE);
    ASSERT_EQ(tags->QueryInterface(IID_IoxSysEnumPropertyTag, &itf), S_OK);
    EXPECT_EQ(itf, tags);
    static_cast<IUnknown*>(itf)->Release();
    tags->Release();
}

// A name enumerator whose copies fail from the second one on, as when the
// heap runs out part way through a Next.
struct FailingCopy {
    static inline int copiesLeft = 0;
    static bool copyElement(char16_t** item, const std::u16string& name) {
        if (copiesLeft-- <= 0) {
            return false;
        }
        *item = BStrAlloc(name.c_str());
        return *item != nullptr;
    }
    static void releaseElement(char16_t** item) {
        BStrFree(*item);
        *item = nullptr;
    }
};

class FailingNames
    : public CKRComEnumOnSTL<IoxSysEnumStringList, &IID_IoxSysEnumStringList, char16_t*,
                             FailingNames, NameList, CKRComMultiThreadModelNoCS>,
      public FailingCopy {
protected:
    ~FailingNames() override { delete this->collection; }
};

TEST(EnumeratorNext, CopyFailureFreesWhatWasCopiedAndLosesNothing) {
    auto* names = CreateOwningEnumerator<FailingNames>(
        std::make_unique<NameList>(NameList{u"a", u"b", u"c"}));
    FailingCopy::copiesLeft = 1;
    char16_t* items[3] = {kPoisonName, kPoisonName, kPoisonName};
    uint32_t fetched = kPoisonWord;
    EXPECT_EQ(names->Next(3, items, &fetched), E_OUTOFMEMORY);
    EXPECT_EQ(fetched, 0u);
    FailingCopy::copiesLeft = 10;
    ASSERT_EQ(names->Next(1, items, nullptr), S_OK);
    EXPECT_EQ(takeName(items[0]), u"a") << "the failed batch handed out nothing, so skips nothing";
    names->Release();
}

// Names that differ only in letter case are one element of a name set.
TEST(SetOfNames, HandsOutEachNameOnceIgnoringCase) {
    using NameSet = std::set<kr::tarn::WideString>;
    auto names = std::make_unique<NameSet>();
    names->insert(kr::tarn::WideString(u"Cam1"));
    names->insert(kr::tarn::WideString(u"cam1"));
    names->insert(kr::tarn::WideString(u"Cam2"));
    IoxSysEnumStringList* enumerator =
        CreateOwningEnumerator<CoxSysEnumItemNamesSTL<NameSet>>(std::move(names));
    char16_t* items[3] = {};
    uint32_t fetched = 0;
    EXPECT_EQ(enumerator->Next(3, items, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 2u);
    EXPECT_EQ(takeName(items[0]), u"Cam1") << "the first spelling stays";
    EXPECT_EQ(takeName(items[1]), u"Cam2");
    enumerator->Release();
}

} // namespace
