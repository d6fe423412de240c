// Memory running out anywhere in a host operation or a refresh pass: each
// run gives a status, leaks nothing (the leak checker runs at exit) and
// leaves the expert usable.
#include "AllocationFailures.h"
#include "HostObjects.h"
#include "LinkedExpert.h"
#include "PropertyText.h"
#include "RefreshPasses.h"

#include "contract/Status.h"
#include "expert/CoxSysVyrex.h"
#include "hostkit/PropertyReading.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace {

constexpr long kMostAllocations = 5000;

class MemoryFailures : public LinkedExpert {
protected:
    void SetUp() override {
        LinkedExpert::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_EQ(createVyrexSysapiExpert(&expert), 0);
        void* itf = nullptr;
        ASSERT_EQ(expert->QueryInterface(IID_IoxSysExpertPlugPlay, &itf), 0);
        plugPlay = static_cast<IoxSysExpertPlugPlay*>(itf);
        plugPlay->RegisterNotificationCallback(&handler);
        ASSERT_EQ(expert->Initialize(), 0);
        ASSERT_TRUE(handler.waitFor(1));
    }
    void TearDown() override {
        stopFailingAllocations();
        expert->Finalize();
        plugPlay->Release();
        EXPECT_EQ(expert->Release(), 0u);
        LinkedExpert::TearDown();
    }
    size_t itemCount() {
        CollectingCollection collection;
        EXPECT_EQ(expert->SearchForItemsAndProperties(&collection), 0);
        return collection.bags().size();
    }

    IoxSysExpert2* expert = nullptr;
    IoxSysExpertPlugPlay* plugPlay = nullptr;
    RecordingHandler handler;
};

// A pass that cannot complete leaves the previous inventory as it was and
// reports nothing; the next pass that can reports the changes.
TEST_F(MemoryFailures, FailedPassesKeepThePreviousInventory) {
    const size_t items = itemCount();
    const size_t notifications = handler.count();
    ASSERT_EQ(vyrexsim::UnplugCamera("gev0-cam0"), 1u);
    failAllocationsOnOtherThreads();
    EXPECT_TRUE(waitForPasses(2));
    EXPECT_EQ(handler.count(), notifications) << "failed passes report nothing";
    EXPECT_EQ(itemCount(), items) << "no half-built map, no spurious removal";
    stopFailingAllocations();
    ASSERT_TRUE(handler.waitFor(notifications + 1));
    const Notification removed = handler.notifications()[notifications];
    EXPECT_EQ(removed.kind, oxSysItemChangeKind_Removed);
    EXPECT_EQ(removed.names, std::vector<std::string>{"gev0-cam0"});
    EXPECT_EQ(itemCount(), items - 1);
}

// Searches wait for the first pass, even one that fails: a driver or a heap
// that makes every pass fail must not hold them up for good.
TEST_F(MemoryFailures, AFirstPassThatFailsStillReleasesTheSearches) {
    IoxSysExpert2* second = nullptr;
    ASSERT_EQ(createVyrexSysapiExpert(&second), 0);
    failAllocationsOnOtherThreads();
    ASSERT_EQ(second->Initialize(), 0);
    IoxSysEnumStringList* names = nullptr;
    EXPECT_EQ(second->SearchForItemNames(&names), 1)
        << "the search returned, and the failed pass left the inventory empty";
    if (names != nullptr) {
        names->Release();
    }
    stopFailingAllocations();
    second->Finalize();
    EXPECT_EQ(second->Release(), 0u);
}

// Every host operation and the refresh pass with the n-th allocation
// failing, for n = 1, 2, 3, ... until the operation completes; once with
// only that allocation failing and once with every later one failing too.
// Every run gives a defined status, hands out nothing on failure, loses
// nothing the object held, and leaves the object usable.

// A picture handler that records with a working heap, as the host's own
// handler would while the expert's heap runs out.
class PausingPictureHandler : public PictureHandler {
public:
    int32_t OnItemsChanged(IoxSysExpert2* expert, oxSysItemChangeKind change,
                           IoxSysEnumStringList* names) override {
        AllocationFailuresPaused paused;
        return PictureHandler::OnItemsChanged(expert, change, names);
    }
};

// The expert's bags implement all three bag interfaces on one chain.
IoxSysPropertyBag3* full(IoxSysPropertyBag* bag) {
    return static_cast<IoxSysPropertyBag3*>(bag);
}

// Every property of a bag with its type and value, and the changed tags.
std::string bagText(IoxSysPropertyBag* bag) {
    IoxSysPropertyBag3* bag3 = full(bag);
    std::string text;
    for (const Property& property : readProperties(bag).value_or(PropertyList{})) {
        text += std::to_string(property.tag) + ":" + std::to_string(int(property.type)) + "=" +
                propertyText(property) + ";";
    }
    IoxSysEnumPropertyTag* tags = nullptr;
    text += "changed:";
    if (bag3->EnumChangedTags(&tags) == 0) {
        for (uint32_t tag : tagsIn(tags)) {
            text += std::to_string(tag) + ",";
        }
        tags->Release();
    }
    return text;
}

// One host operation: prepare (heap working), run (heap failing) giving a
// status, check (heap working) with the status and whether a failure was
// met, finish (heap working) releasing what the run made.
struct HostOperation {
    const char* name;
    std::function<void()> prepare;
    std::function<int32_t()> run;
    std::function<void(int32_t status, bool failed)> check;
    std::function<void()> finish;
};

constexpr Failing kModes[] = {Failing::Once, Failing::EveryTimeAfter};

const char* nameOf(Failing mode) {
    return mode == Failing::Once ? "once" : "every time after";
}

TEST_F(MemoryFailures, EveryHostOperation) {
    const size_t items = itemCount();
    std::unique_ptr<PausingPictureHandler> pictures;
    IoxSysExpert2* other = nullptr;
    IoxSysExpertPlugPlay* otherPlugPlay = nullptr;
    IoxSysPropertyBag* reference = nullptr;
    ASSERT_EQ(expert->GetPropertiesOfItem(u"gev0-cam0", &reference), 0);
    const std::string referenceText = bagText(reference);
    ChangedTagsBag changes({0x01004000, 0x01006000, 0x01007000, 0x0101F000});
    const oxSysAttrTimestampUTC time = {{0, 0xB0000000, 0, 0}};

    IoxSysPropertyBag* bag = nullptr; // a fresh clone of reference for each run
    std::string bagBefore;
    IoxSysPropertyBag* bagOut = nullptr;
    IoxSysEnumStringList* names = nullptr;
    IoxSysEnumStringList* namesOut = nullptr;
    IoxSysEnumPropertyTag* tagsOut = nullptr;
    char16_t* textOut = nullptr;
    char16_t* batch[3] = {nullptr, nullptr, nullptr};
    uint32_t fetched = 0;
    std::unique_ptr<CollectingCollection> collection;

    auto freshBag = [&] {
        ASSERT_EQ(full(reference)->Clone(&bag), 0);
        bag->SetStringProperty(0x0101F000, u"changed"); // one changed tag to keep
        bagBefore = bagText(bag);
    };
    auto bagKeptItsValues = [&](int32_t status, bool) {
        if (status != 0) {
            EXPECT_EQ(bagText(bag), bagBefore) << "a failed operation changed the bag";
        }
    };
    auto releaseAll = [&] {
        for (IUnknown** object :
             {reinterpret_cast<IUnknown**>(&bag), reinterpret_cast<IUnknown**>(&bagOut),
              reinterpret_cast<IUnknown**>(&names), reinterpret_cast<IUnknown**>(&namesOut),
              reinterpret_cast<IUnknown**>(&tagsOut)}) {
            if (*object != nullptr) {
                (*object)->Release();
                *object = nullptr;
            }
        }
        if (textOut != nullptr) {
            takeText(textOut);
            textOut = nullptr;
        }
        collection.reset();
    };
    auto noOp = [] {};
    auto setter = [&](const char* name, std::function<int32_t()> set) {
        return HostOperation{name, freshBag, std::move(set), bagKeptItsValues, releaseAll};
    };

    const HostOperation operations[] = {
        {"factory", noOp, [&] { return createVyrexSysapiExpert(&other); },
         [&](int32_t status, bool) { EXPECT_EQ(status == 0, other != nullptr); },
         [&] {
             if (other != nullptr) {
                 EXPECT_EQ(other->Release(), 0u);
                 other = nullptr;
             }
         }},
        {"SearchForItemsAndProperties",
         [&] { collection = std::make_unique<CollectingCollection>(); },
         [&] { return expert->SearchForItemsAndProperties(collection.get()); },
         [&](int32_t status, bool) {
             if (status == 0) {
                 EXPECT_EQ(collection->bags().size(), items) << "never an incomplete search";
             }
         },
         releaseAll},
        {"SearchForItemNames", noOp, [&] { return expert->SearchForItemNames(&namesOut); },
         [&](int32_t status, bool) {
             EXPECT_EQ(status == 0, namesOut != nullptr);
             if (namesOut != nullptr) {
                 EXPECT_EQ(namesIn(namesOut).size(), items);
             }
         },
         releaseAll},
        {"GetPropertiesOfItem", noOp,
         [&] { return expert->GetPropertiesOfItem(u"gev0-cam0", &bagOut); },
         [&](int32_t status, bool) {
             EXPECT_EQ(status == 0, bagOut != nullptr) << "never a bag with a failure";
             if (bagOut != nullptr) {
                 EXPECT_EQ(bagText(bagOut), referenceText);
             }
         },
         releaseAll},
        {"PopulateOrRefreshProperties", noOp,
         [&] { return expert->PopulateOrRefreshProperties(u"gev0-cam0", 0, nullptr, 0, &bagOut); },
         [&](int32_t status, bool) {
             EXPECT_EQ(status == 0, bagOut != nullptr);
             if (bagOut != nullptr) {
                 EXPECT_EQ(bagText(bagOut), referenceText);
             }
         },
         releaseAll},
        {"ValidatePropertyChanges", noOp,
         [&] { return expert->ValidatePropertyChanges(u"gev0-cam0", &changes, &tagsOut, nullptr); },
         [&](int32_t status, bool) {
             EXPECT_EQ(status == 0, tagsOut != nullptr);
             if (tagsOut != nullptr) {
                 EXPECT_EQ(tagsIn(tagsOut).size(), 4u);
             }
             EXPECT_EQ(changes.references(), 1u) << "the host's enumerator was released";
         },
         releaseAll},
        {"GetProductVersion", noOp, [&] { return expert->GetProductVersion(&textOut); },
         [&](int32_t status, bool) {
             EXPECT_EQ(status == 0, textOut != nullptr);
             if (textOut != nullptr) {
                 EXPECT_EQ(takeText(textOut), "18.5");
                 textOut = nullptr;
             }
         },
         releaseAll},
        {"RegisterNotificationCallback", noOp,
         [&] { return plugPlay->RegisterNotificationCallback(&handler); },
         [&](int32_t status, bool) {
             EXPECT_EQ(status, 0);
             EXPECT_EQ(handler.references(), 2u);
         },
         noOp},
        {"Initialize",
         [&] {
             pictures = std::make_unique<PausingPictureHandler>();
             ASSERT_EQ(createVyrexSysapiExpert(&other), 0);
             void* itf = nullptr;
             ASSERT_EQ(other->QueryInterface(IID_IoxSysExpertPlugPlay, &itf), 0);
             otherPlugPlay = static_cast<IoxSysExpertPlugPlay*>(itf);
             otherPlugPlay->RegisterNotificationCallback(pictures.get());
         },
         [&] { return other->Initialize(); },
         [&](int32_t status, bool) {
             EXPECT_EQ(status, 0);
             // Searches answer; once the heap works again, the thread's first
             // pass (a Finalize waits for it) tells exactly what was missed.
             upperCaseItemNames(other);
             EXPECT_EQ(other->Finalize(), 0);
             EXPECT_EQ(other->Initialize(), 0);
             EXPECT_EQ(other->Finalize(), 0);
             EXPECT_EQ(pictures->picture(), upperCaseItemNames(other));
             EXPECT_EQ(pictures->contradictions(), std::vector<std::string>{});
         },
         [&] {
             otherPlugPlay->RegisterNotificationCallback(nullptr);
             otherPlugPlay->Release();
             EXPECT_EQ(other->Release(), 0u);
             other = nullptr;
             pictures.reset();
         }},
        {"Clone", freshBag, [&] { return full(bag)->Clone(&bagOut); },
         [&](int32_t status, bool) {
             EXPECT_EQ(status == 0, bagOut != nullptr);
             if (bagOut != nullptr) {
                 const std::string values = bagBefore.substr(0, bagBefore.find("changed:"));
                 EXPECT_EQ(bagText(bagOut), values + "changed:") << "no changed tags";
             }
         },
         releaseAll},
        {"EnumProperties", freshBag, [&] { return bag->EnumProperties(&tagsOut); },
         [&](int32_t status, bool) { EXPECT_EQ(status == 0, tagsOut != nullptr); }, releaseAll},
        setter("SetStringProperty new",
               [&] { return bag->SetStringProperty(0x07F00000, u"new text"); }),
        setter("SetStringProperty replacing",
               [&] { return bag->SetStringProperty(0x01004000, u"replaced"); }),
        setter("SetUnsignedIntegerProperty",
               [&] { return bag->SetUnsignedIntegerProperty(0x07F10000, 5); }),
        setter("SetIntegerProperty", [&] { return bag->SetIntegerProperty(0x07F10001, -5); }),
        setter("SetBooleanProperty", [&] { return bag->SetBooleanProperty(0x07F10002, 1); }),
        setter("SetDoubleProperty", [&] { return bag->SetDoubleProperty(0x07F10003, 2.5); }),
        setter("SetGuidProperty",
               [&] {
                   return bag->SetGuidProperty(0x07F10004, _GUID{1, 2, 3, {4}});
               }),
        setter("SetTimestampPropertyUTC",
               [&] { return full(bag)->SetTimestampPropertyUTC(0x07F10005, &time); }),
        setter("GetStringProperty", [&] { return bag->GetStringProperty(0x01004000, &textOut); }),
        setter("EnumChangedTags", [&] { return full(bag)->EnumChangedTags(&tagsOut); }),
        {"names Next in a batch",
         [&] {
             ASSERT_EQ(expert->SearchForItemNames(&names), 0);
             names->Skip(1);
         },
         [&] { return names->Next(3, batch, &fetched); },
         [&](int32_t status, bool) {
             std::vector<std::string> got;
             for (uint32_t i = 0; i < (status == 0 ? fetched : 0); ++i) {
                 got.push_back(takeText(batch[i]));
             }
             if (status != 0) {
                 EXPECT_EQ(fetched, 0u);
             }
             for (const std::string& rest : namesIn(names)) {
                 got.push_back(rest);
             }
             EXPECT_EQ(got.size(), items - 1) << "a failed batch loses no name";
         },
         releaseAll},
        {"names Clone", [&] { ASSERT_EQ(expert->SearchForItemNames(&names), 0); },
         [&] { return names->Clone(&namesOut); },
         [&](int32_t status, bool) {
             EXPECT_EQ(status == 0, namesOut != nullptr);
             if (namesOut != nullptr) {
                 EXPECT_EQ(namesIn(namesOut).size(), items);
             }
         },
         releaseAll},
    };

    for (const HostOperation& operation : operations) {
        for (Failing mode : kModes) {
            long n = 1;
            for (; n <= kMostAllocations; ++n) {
                SCOPED_TRACE(std::string(operation.name) + ", allocation " + std::to_string(n) +
                             " failing " + nameOf(mode));
                operation.prepare();
                failAllocationsOnThisThread(n, mode);
                const int32_t status = operation.run();
                const bool failed = allocationFailureHappened();
                stopFailingAllocations();
                EXPECT_TRUE(status == 0 || status == 1 || status == E_OUTOFMEMORY)
                    << std::hex << status;
                if (!failed) {
                    EXPECT_TRUE(status == 0 || status == 1) << std::hex << status;
                }
                operation.check(status, failed);
                operation.finish();
                if (!failed || HasFatalFailure()) {
                    break;
                }
            }
            EXPECT_LT(n, kMostAllocations) << operation.name << " never completed";
            EXPECT_EQ(itemCount(), items) << "the expert is still usable after " << operation.name;
        }
    }
    reference->Release();
}

// A refresh pass on the calling thread (no refresh thread) while the driver
// removes, changes and adds an item each time: a pass that fails tells
// nothing and keeps the previous inventory; the next one tells exactly what
// changed since the last pass that succeeded.
TEST_F(MemoryFailures, RefreshPass) {
    IoxSysExpert2* passes = nullptr;
    IoxSysExpertPlugPlay* passesPlugPlay = nullptr;
    ASSERT_TRUE(createExpert(passes, passesPlugPlay));
    PausingPictureHandler pictures;
    passesPlugPlay->RegisterNotificationCallback(&pictures);
    auto* refresher = static_cast<nKRVYREX_SYSAPI_EXPERT_18_5::CoxSysVyrex*>(passes);
    refresher->RefreshAndNotify();
    unsigned change = 0;
    for (Failing mode : kModes) {
        long n = 1;
        for (; n <= kMostAllocations; ++n) {
            SCOPED_TRACE("allocation " + std::to_string(n) + " failing " + nameOf(mode));
            // The driver loses one camera, changes one and gains one.
            const std::vector<vyrexsim::Camera> cameras = vyrexsim::Cameras();
            vyrexsim::UnplugCamera(cameras.front().interfaceName);
            vyrexsim::Camera changed = cameras.back();
            changed.modelName = "model " + std::to_string(change);
            vyrexsim::ChangeCamera(changed.interfaceName, changed);
            vyrexsim::Camera added = cameras.front();
            added.interfaceName = "added" + std::to_string(change++);
            vyrexsim::PlugCamera(added);

            failAllocationsOnThisThread(n, mode);
            refresher->RefreshAndNotify();
            const bool failed = allocationFailureHappened();
            stopFailingAllocations();
            refresher->RefreshAndNotify();
            EXPECT_EQ(pictures.picture(), upperCaseItemNames(passes));
            ASSERT_EQ(pictures.contradictions(), std::vector<std::string>{});
            if (!failed) {
                break;
            }
        }
        EXPECT_LT(n, kMostAllocations);
    }
    passesPlugPlay->RegisterNotificationCallback(nullptr);
    passesPlugPlay->Release();
    EXPECT_EQ(passes->Release(), 0u);
}

} // namespace
