// Memory running out anywhere in a search, a validation or a refresh pass:
// each run gives a status, leaks nothing (the leak checker runs at exit) and
// leaves the expert usable.
#include "FailingHeap.h"
#include "HostObjects.h"

#include "expert/ModuleExports.h"
#include "kernel/simulation.h"
#include "simdriver/SimDriver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr int32_t kOutOfMemory = int32_t(0x8007000E);
constexpr long kMostAllocations = 5000;

class MemoryFailures : public testing::Test {
protected:
    void SetUp() override {
        vyrexsim::Reset();
        std::string problem;
        ASSERT_TRUE(vyrexsim::LoadScenario(vyrexsim::DefaultScenarioText(), &problem)) << problem;
        iniPath = testing::TempDir() + "memory-failures.ini";
        std::ofstream(iniPath) << "[VYREX]\nSystemapiExpertCameraListRefreshTimeInSec=1\n";
        KRRTINIFilePath = iniPath.c_str();
        kernelSetClockSpeedup(20);
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
        KRRTINIFilePath = "/c/kr-rt.ini";
        kernelSetClockSpeedup(1);
        std::remove(iniPath.c_str());
        vyrexsim::Reset();
    }
    size_t itemCount() {
        CollectingCollection collection;
        EXPECT_EQ(expert->SearchForItemsAndProperties(&collection), 0);
        return collection.bags.size();
    }

    std::string iniPath;
    IoxSysExpert2* expert = nullptr;
    IoxSysExpertPlugPlay* plugPlay = nullptr;
    RecordingHandler handler;
};

TEST_F(MemoryFailures, SearchForItemsAndProperties) {
    const size_t items = itemCount();
    long n = 1;
    for (; n <= kMostAllocations; ++n) {
        CollectingCollection collection;
        failAllocationsOnThisThreadFrom(n);
        const int32_t status = expert->SearchForItemsAndProperties(&collection);
        const bool failed = allocationFailureHappened();
        stopFailingAllocations();
        if (!failed) {
            EXPECT_EQ(status, 0);
            EXPECT_EQ(collection.bags.size(), items);
            break;
        }
        ASSERT_TRUE(status == kOutOfMemory || status == 0)
            << "allocation " << n << ": status " << std::hex << status;
    }
    EXPECT_LT(n, kMostAllocations) << "the search never completed";
    EXPECT_EQ(itemCount(), items) << "the expert is still usable";
}

TEST_F(MemoryFailures, SearchForItemNamesAndItemBags) {
    for (long n = 1; n <= kMostAllocations; ++n) {
        IoxSysEnumStringList* names = nullptr;
        IoxSysPropertyBag* bag = nullptr;
        failAllocationsOnThisThreadFrom(n);
        const int32_t searched = expert->SearchForItemNames(&names);
        const int32_t fetched = expert->GetPropertiesOfItem(u"gev0-cam0", &bag);
        const bool failed = allocationFailureHappened();
        stopFailingAllocations();
        ASSERT_TRUE(searched == 0 || searched == kOutOfMemory) << n << ": " << std::hex << searched;
        ASSERT_TRUE(fetched == 0 || fetched == kOutOfMemory) << n << ": " << std::hex << fetched;
        EXPECT_EQ(searched == 0, names != nullptr);
        EXPECT_EQ(fetched == 0, bag != nullptr) << "never a bag with a failure";
        if (names != nullptr) {
            names->Release();
        }
        if (bag != nullptr) {
            bag->Release();
        }
        if (!failed) {
            break;
        }
    }
}

TEST_F(MemoryFailures, ValidatePropertyChanges) {
    ChangedTagsBag changes({0x01004000, 0x01006000, 0x01007000, 0x0101F000});
    long n = 1;
    for (; n <= kMostAllocations; ++n) {
        IoxSysEnumPropertyTag* rejected = nullptr;
        failAllocationsOnThisThreadFrom(n);
        const int32_t status =
            expert->ValidatePropertyChanges(u"gev0-cam0", &changes, &rejected, nullptr);
        const bool failed = allocationFailureHappened();
        stopFailingAllocations();
        ASSERT_TRUE(status == 0 || status == kOutOfMemory) << n << ": " << std::hex << status;
        EXPECT_EQ(status == 0, rejected != nullptr);
        if (rejected != nullptr) {
            if (!failed) {
                EXPECT_EQ(drainTags(rejected).size(), 4u);
            }
            rejected->Release();
        }
        if (!failed) {
            break;
        }
    }
    EXPECT_LT(n, kMostAllocations);
    EXPECT_EQ(changes.references(), 1u) << "every host enumerator was released";
}

// A pass that cannot complete leaves the previous inventory as it was and
// reports nothing; the next pass that can reports the changes.
TEST_F(MemoryFailures, FailedPassesKeepThePreviousInventory) {
    const size_t items = itemCount();
    const size_t notifications = handler.count();
    ASSERT_EQ(vyrexsim::UnplugCamera("gev0-cam0"), 1u);
    const uint32_t passes = vyrexsim::CallCount(vyrexsim::Function::EnumerateCameras);
    failAllocationsOnOtherThreads();
    for (int i = 0;
         i < 500 && vyrexsim::CallCount(vyrexsim::Function::EnumerateCameras) < passes + 6; ++i) {
        std::this_thread::sleep_for(10ms);
    }
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

} // namespace
