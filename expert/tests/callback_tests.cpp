// What a host may do from inside the expert's calls into it, or while it
// holds one of the expert's bags: stop and start the expert from a handler,
// replace the handler from its own call, validate against a bag another
// thread has locked. The expert goes on working in each case.
#include "RunningExpert.h"

#include <chrono>
#include <future>
#include <mutex>

namespace {

using namespace std::chrono_literals;

// A stop the expert is given before or during its first pass, and who
// starts it again, and when: during that pass (the handler waits for the
// host's calls), or once the thread has left its loop.
struct Restart {
    const char* name;
    bool finalizeFirst;      // the host's Finalize before any thread ran
    bool handlerFinalizes;   // in its first call
    bool handlerInitializes; // in the same call, right after
    bool hostDuringPass;
    bool hostFinalizes; // the host's Finalize before its Initialize
    bool hostInitializes;
};

void PrintTo(const Restart& restart, std::ostream* out) {
    *out << restart.name;
}

class StoppedEarly : public RunningExpert, public testing::WithParamInterface<Restart> {};

// A refresh thread runs afterwards: one that makes a pass and ends, or none
// at all, would never tell of the camera plugged after a few more passes.
TEST_P(StoppedEarly, StartsAgainAndReportsLaterChanges) {
    const Restart restart = GetParam();
    vyrexsim::PlugCamera(camera("first", kVyrexBusIPv4));
    if (restart.finalizeFirst) {
        ASSERT_EQ(expert->Finalize(), 0);
    }
    std::promise<void> inCall;
    std::promise<void> hostDone;
    std::shared_future<void> hostHasCalled = hostDone.get_future().share();
    bool called = false; // the refresh thread's own
    handler.onCall = [&] {
        if (called) {
            return;
        }
        called = true;
        if (restart.handlerFinalizes) {
            EXPECT_EQ(expert->Finalize(), 0);
        }
        if (restart.handlerInitializes) {
            EXPECT_EQ(expert->Initialize(), 0);
        }
        inCall.set_value();
        if (restart.hostDuringPass) {
            EXPECT_EQ(hostHasCalled.wait_for(kPatience), std::future_status::ready)
                << "the host's calls waited for this pass";
        }
    };
    start();
    ASSERT_EQ(inCall.get_future().wait_for(kPatience), std::future_status::ready);
    if (!restart.hostDuringPass) {
        ASSERT_TRUE(handler.waitFor(1));
        letAnotherExpertRefresh(2); // the stopped thread has left its loop
    }
    if (restart.hostFinalizes) {
        EXPECT_EQ(expert->Finalize(), 0);
    }
    if (restart.hostInitializes) {
        EXPECT_EQ(expert->Initialize(), 0);
    }
    hostDone.set_value();
    letAnotherExpertRefresh(3);
    vyrexsim::PlugCamera(camera("late", kVyrexBusIPv4, 2));
    EXPECT_TRUE(handler.waitFor(oxSysItemChangeKind_Added, "late"));
}

INSTANTIATE_TEST_SUITE_P(
    Restarts, StoppedEarly,
    testing::Values(
        Restart{"HostInitializesInThePass", false, true, false, true, false, true},
        Restart{"HostInitializesAfterThePass", false, true, false, false, false, true},
        Restart{"HostFinalizesThenInitializes", false, true, false, false, true, true},
        Restart{"HandlerInitializes", false, true, true, false, false, false},
        Restart{"HostStopBeforeStartTakenBackInThePass", true, false, false, true, false, true},
        Restart{"HostStopBeforeStartThenInitializeAgain", true, false, false, false, false, true}),
    [](const testing::TestParamInfo<Restart>& info) { return std::string(info.param.name); });

// Who takes over from the handler that replaces itself in its call of the
// "removed" notification.
struct Replacement {
    const char* name;
    bool successor; // false: the handler unregisters
};

void PrintTo(const Replacement& replacement, std::ostream* out) {
    *out << replacement.name;
}

class ReplacedInItsCall : public RunningExpert, public testing::WithParamInterface<Replacement> {};

// The rest of that pass ("added") goes to the successor, or to nobody; the
// replaced handler hears nothing after the call that replaced it.
TEST_P(ReplacedInItsCall, TheRestOfThePassGoesToTheSuccessor) {
    vyrexsim::PlugCamera(camera("old", kVyrexBusIPv4));
    start();
    ASSERT_TRUE(handler.waitFor(1));
    ASSERT_EQ(expert->Finalize(), 0);

    RecordingHandler successor;
    handler.onCall = [&] {
        plugPlay->RegisterNotificationCallback(GetParam().successor ? &successor : nullptr);
    };
    vyrexsim::UnplugCamera("old");
    vyrexsim::PlugCamera(camera("new", kVyrexBusIPv4));
    ASSERT_EQ(expert->Initialize(), 0);
    EXPECT_EQ(expert->Finalize(), 0); // waits for the pass that removes and adds
    plugPlay->RegisterNotificationCallback(nullptr);

    const std::vector<Notification> heard = handler.notifications();
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[1].kind, oxSysItemChangeKind_Removed);
    const std::vector<Notification> heardBySuccessor = successor.notifications();
    if (GetParam().successor) {
        ASSERT_EQ(heardBySuccessor.size(), 1u);
        EXPECT_EQ(heardBySuccessor[0].kind, oxSysItemChangeKind_Added);
        EXPECT_EQ(heardBySuccessor[0].names, std::vector<std::string>{"new"});
    } else {
        EXPECT_TRUE(heardBySuccessor.empty());
    }
    EXPECT_EQ(successor.references(), 1u) << "the expert keeps no reference to it";
}

INSTANTIATE_TEST_SUITE_P(Replacements, ReplacedInItsCall,
                         testing::Values(Replacement{"ByAnother", true},
                                         Replacement{"ByNone", false}),
                         [](const testing::TestParamInfo<Replacement>& info) {
                             return std::string(info.param.name);
                         });

// A host bag whose own lock a host thread holds while it searches: the bag's
// EnumChangedTags waits for that lock.
class LockedChangesBag : public StackBagOfChanges {
public:
    using StackBagOfChanges::StackBagOfChanges;
    int32_t EnumChangedTags(IoxSysEnumPropertyTag** tags) override {
        entered.set_value();
        std::lock_guard<std::mutex> hold(lock);
        return StackBagOfChanges::EnumChangedTags(tags);
    }
    std::mutex lock;
    std::promise<void> entered;
};

using ValidationAgainstALockedBag = RunningExpert;

// One host thread holds the bag's lock and reads an item; another validates
// with that bag meanwhile. Both return: the validation waits for the bag
// without holding up the read.
TEST_F(ValidationAgainstALockedBag, NeitherThreadWaitsForGood) {
    vyrexsim::PlugCamera(camera("cam", kVyrexBusIPv4));
    start();
    waitForFirstPass();
    LockedChangesBag changes({0x01004000});
    std::unique_lock<std::mutex> holdTheBag(changes.lock);
    std::future<int32_t> validated = std::async(std::launch::async, [&] {
        IoxSysEnumPropertyTag* rejected = nullptr;
        const int32_t status =
            expert->ValidatePropertyChanges(u"cam", &changes, &rejected, nullptr);
        if (rejected != nullptr) {
            rejected->Release();
        }
        return status;
    });
    ASSERT_EQ(changes.entered.get_future().wait_for(kPatience), std::future_status::ready);
    std::future<int32_t> read = std::async(std::launch::async, [&] {
        IoxSysPropertyBag* bag = nullptr;
        const int32_t status = expert->GetPropertiesOfItem(u"cam", &bag);
        if (bag != nullptr) {
            bag->Release();
        }
        return status;
    });
    const bool readReturned = read.wait_for(kPatience) == std::future_status::ready;
    holdTheBag.unlock(); // lets a deadlocked pair go, so that a failure does not hang
    EXPECT_TRUE(readReturned) << "the read waited for the validation's lock";
    EXPECT_EQ(read.get(), 0);
    EXPECT_EQ(validated.get(), 0);
}

} // namespace
