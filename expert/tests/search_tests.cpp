// The host's searches, item bags and validation through the built module.
#include "Poison.h"
#include "RunningExpert.h"

#include <chrono>
#include <future>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Names = std::vector<std::string>;

constexpr uint32_t kTagItemName = 0x0101D000;
constexpr uint32_t kTagSerialNumber = 0x01007000;

class Searches : public RunningExpert {
protected:
    void plugSome() {
        vyrexsim::PlugCamera(camera("zeta", kVyrexBusIPv4, 1));
        vyrexsim::PlugCamera(camera("Alpha", kVyrexBusUSB3, 2));
        vyrexsim::PlugFrameGrabber(frameGrabber("beta"));
        vyrexsim::PlugFrameGrabber(frameGrabber("Aframe"));
    }
    Names searchNames() {
        IoxSysEnumStringList* names = nullptr;
        EXPECT_EQ(expert->SearchForItemNames(&names), 0);
        if (names == nullptr) {
            return {};
        }
        Names out = namesIn(names);
        names->Release();
        return out;
    }
    static std::string textOf(IoxSysPropertyBag* bag, uint32_t tag) {
        char16_t* text = nullptr;
        EXPECT_EQ(bag->GetStringProperty(tag, &text), 0) << std::hex << tag;
        return takeText(text);
    }
};

TEST_F(Searches, CamerasComeFirstThenFrameGrabbersEachInCaseInsensitiveOrder) {
    plugSome();
    start();
    EXPECT_EQ(searchNames(), (Names{"Alpha", "zeta", "Aframe", "beta"}));
}

TEST_F(Searches, EmptyInventoryFindsNothing) {
    start();
    IoxSysEnumStringList* names = poisonPointer<IoxSysEnumStringList>();
    EXPECT_EQ(expert->SearchForItemNames(&names), 1);
    EXPECT_EQ(names, poisonPointer<IoxSysEnumStringList>()) << "left as it was";
    CollectingCollection collection;
    EXPECT_EQ(expert->SearchForItemsAndProperties(&collection), 1);
    EXPECT_TRUE(collection.bags().empty());
}

TEST_F(Searches, NullArgumentsAnswerAtOnceWithoutWaiting) {
    // No Initialize: a search that waited would never return.
    EXPECT_EQ(expert->SearchForItemNames(nullptr), int32_t(0x80004003));
    EXPECT_EQ(expert->SearchForItemsAndProperties(nullptr), int32_t(0x80004003));
    EXPECT_EQ(expert->GetPropertiesOfItem(u"x", nullptr), int32_t(0x80004003));
    IoxSysPropertyBag* bag = poisonPointer<IoxSysPropertyBag>();
    EXPECT_EQ(expert->GetPropertiesOfItem(nullptr, &bag), int32_t(0x80004003));
    EXPECT_EQ(bag, nullptr);
}

TEST_F(Searches, SearchesWaitForTheFirstPassButItemLookupsDoNot) {
    plugSome();
    ASSERT_EQ(plugPlay->RegisterNotificationCallback(&handler), 0);
    std::future<Names> names = std::async(std::launch::async, [this] { return searchNames(); });
    EXPECT_EQ(names.wait_for(100ms), std::future_status::timeout) << "no inventory yet";
    IoxSysPropertyBag* bag = poisonPointer<IoxSysPropertyBag>();
    EXPECT_EQ(expert->GetPropertiesOfItem(u"zeta", &bag), int32_t(0x80040375));
    EXPECT_EQ(bag, nullptr);
    ASSERT_EQ(expert->Initialize(), 0);
    ASSERT_EQ(names.wait_for(kPatience), std::future_status::ready);
    EXPECT_EQ(names.get().size(), 4u);
}

TEST_F(Searches, EveryItemArrivesAsOneBagInTheCollection) {
    plugSome();
    start();
    CollectingCollection collection;
    ASSERT_EQ(expert->SearchForItemsAndProperties(&collection), 0);
    ASSERT_EQ(collection.bags().size(), 4u);
    Names names;
    for (IoxSysPropertyBag* bag : collection.bags()) {
        names.push_back(textOf(bag, kTagItemName));
    }
    EXPECT_EQ(names, (Names{"Alpha", "zeta", "Aframe", "beta"}));
}

TEST_F(Searches, ACollectionThatFailsEndsTheSearchWithItsStatus) {
    plugSome();
    start();
    CollectingCollection collection;
    collection.refuseFrom(1, int32_t(0x80070057));
    EXPECT_EQ(expert->SearchForItemsAndProperties(&collection), int32_t(0x80070057));
    EXPECT_EQ(collection.bags().size(), 1u) << "the first bag stays";
}

TEST_F(Searches, ItemNamesMatchIgnoringCaseAndKeepTheCallersSpelling) {
    plugSome();
    start();
    waitForFirstPass();
    IoxSysPropertyBag* bag = nullptr;
    ASSERT_EQ(expert->GetPropertiesOfItem(u"ZETA", &bag), 0);
    EXPECT_EQ(textOf(bag, kTagItemName), "ZETA");
    EXPECT_EQ(textOf(bag, kTagSerialNumber), "1");
    bag->Release();
    bag = poisonPointer<IoxSysPropertyBag>();
    EXPECT_EQ(expert->GetPropertiesOfItem(u"nobody", &bag), int32_t(0x80040375));
    EXPECT_EQ(bag, nullptr);
}

TEST_F(Searches, PopulateAlwaysBuildsTheWholeBag) {
    plugSome();
    start();
    waitForFirstPass();
    IoxSysPropertyBag* full = nullptr;
    ASSERT_EQ(expert->GetPropertiesOfItem(u"beta", &full), 0);
    IoxSysPropertyBag* populated = nullptr;
    ASSERT_EQ(expert->PopulateOrRefreshProperties(u"beta", 0, nullptr, 0, &populated), 0);
    IoxSysEnumPropertyTag* fullTags = nullptr;
    IoxSysEnumPropertyTag* populatedTags = nullptr;
    full->EnumProperties(&fullTags);
    populated->EnumProperties(&populatedTags);
    EXPECT_EQ(tagsIn(populatedTags), tagsIn(fullTags));
    fullTags->Release();
    populatedTags->Release();
    full->Release();
    populated->Release();

    IoxSysPropertyBag* untouched = poisonPointer<IoxSysPropertyBag>();
    EXPECT_EQ(expert->PopulateOrRefreshProperties(u"nobody", 0, nullptr, 0, &untouched),
              int32_t(0x80040375));
    EXPECT_EQ(untouched, poisonPointer<IoxSysPropertyBag>());
    EXPECT_EQ(expert->PopulateOrRefreshProperties(u"beta", 0, nullptr, 0, nullptr),
              int32_t(0x80004003));
}

using Validation = Searches;

TEST_F(Validation, EveryChangedTagIsRejectedInTheBagsOrder) {
    plugSome();
    start();
    waitForFirstPass();
    ChangedTagsBag changes({0x01004000, 0x01001000, 0x0700D000});
    IoxSysEnumPropertyTag* rejected = nullptr;
    char16_t* text = poisonPointer<char16_t>();
    ASSERT_EQ(expert->ValidatePropertyChanges(u"zeta", &changes, &rejected, &text), 0);
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(tagsIn(rejected), (std::vector<uint32_t>{0x01004000, 0x01001000, 0x0700D000}));
    rejected->Release();
    ASSERT_EQ(expert->ValidatePropertyChanges(u"beta", &changes, &rejected, nullptr), 0);
    rejected->Release();
    EXPECT_EQ(changes.references(), 1u);
}

TEST_F(Validation, UnknownItemsAndMissingArguments) {
    plugSome();
    start();
    waitForFirstPass();
    ChangedTagsBag changes({1});
    IoxSysEnumPropertyTag* rejected = nullptr;
    EXPECT_EQ(expert->ValidatePropertyChanges(u"nobody", &changes, &rejected, nullptr),
              int32_t(0x80040375));
    EXPECT_EQ(rejected, nullptr);
    EXPECT_EQ(expert->ValidatePropertyChanges(u"zeta", &changes, nullptr, nullptr),
              int32_t(0x80004003));
    EXPECT_EQ(expert->ValidatePropertyChanges(u"zeta", nullptr, &rejected, nullptr),
              int32_t(0x80004003));
}

TEST_F(Validation, ABagWithoutAnEnumeratorHasNothingRejected) {
    plugSome();
    start();
    waitForFirstPass();
    ChangedTagsBag noChanges(std::vector<uint32_t>{});
    noChanges.giveNoEnumerator = true;
    noChanges.enumStatus = 1;
    IoxSysEnumPropertyTag* rejected = nullptr;
    ASSERT_EQ(expert->ValidatePropertyChanges(u"zeta", &noChanges, &rejected, nullptr), 0);
    ASSERT_NE(rejected, nullptr);
    EXPECT_TRUE(tagsIn(rejected).empty());
    rejected->Release();
    ChangedTagsBag failing(std::vector<uint32_t>{});
    failing.giveNoEnumerator = true;
    failing.enumStatus = int32_t(0x80004005);
    rejected = nullptr;
    EXPECT_EQ(expert->ValidatePropertyChanges(u"zeta", &failing, &rejected, nullptr),
              int32_t(0x80004005));
    EXPECT_EQ(rejected, nullptr);
}

TEST_F(Validation, PersistenceAndRenamingAreNotSupported) {
    ChangedTagsBag changes({1});
    int32_t result = 7;
    EXPECT_EQ(expert->PersistPropertyChanges(u"x", nullptr, &result), int32_t(0x80004003));
    EXPECT_EQ(expert->PersistPropertyChanges(u"x", &changes, &result), int32_t(0x80004001));
    EXPECT_EQ(result, 7);
    char16_t* text = nullptr;
    EXPECT_EQ(expert->RenameAlias(u"x", u"y", oxSysRenameValidationMode(0), &result, &text),
              int32_t(0x80004001));
    EXPECT_EQ(text, nullptr);
}

// Searches and bag reads on several threads while devices come and go.
TEST_F(Searches, ConcurrentSearchesWhileDevicesChange) {
    plugSome();
    start();
    waitForFirstPass();
    std::atomic<bool> stop{false};
    std::thread churn([&] {
        for (int i = 0; !stop; ++i) {
            const std::string name = "hot" + std::to_string(i % 3);
            vyrexsim::PlugCamera(camera(name, kVyrexBusIPv4, 100 + uint64_t(i)));
            std::this_thread::sleep_for(5ms);
            vyrexsim::UnplugCamera(name);
        }
    });
    std::vector<std::thread> readers;
    for (int r = 0; r < 3; ++r) {
        readers.emplace_back([this] {
            for (int i = 0; i < 40; ++i) {
                CollectingCollection collection;
                const int32_t status = expert->SearchForItemsAndProperties(&collection);
                EXPECT_TRUE(status == 0 || status == 1) << std::hex << status;
                for (IoxSysPropertyBag* bag : collection.bags()) {
                    char16_t* name = nullptr;
                    EXPECT_EQ(bag->GetStringProperty(kTagItemName, &name), 0);
                    takeText(name);
                }
                IoxSysPropertyBag* bag = nullptr;
                if (expert->GetPropertiesOfItem(u"hot1", &bag) == 0) {
                    bag->Release();
                }
            }
        });
    }
    for (auto& reader : readers) {
        reader.join();
    }
    stop = true;
    churn.join();
}

} // namespace
