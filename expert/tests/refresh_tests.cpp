// The refresh thread as the host sees it: which notifications arrive, in
// which order, and how the thread starts and stops.
#include "RunningExpert.h"

#include <chrono>
#include <future>

namespace {

using namespace std::chrono_literals;
using Names = std::vector<std::string>;

using Notifications = RunningExpert;

TEST_F(Notifications, FirstPassAddsEveryItemInOneCaseInsensitiveSet) {
    vyrexsim::PlugCamera(camera("cam1", kVyrexBusUSB3, 1));
    vyrexsim::PlugCamera(camera("Cam0", kVyrexBusIPv4, 2));
    vyrexsim::PlugFrameGrabber(frameGrabber("Bgrabber"));
    start();
    ASSERT_TRUE(handler.waitFor(1));
    const Notification first = handler.notifications()[0];
    EXPECT_EQ(first.kind, oxSysItemChangeKind_Added);
    EXPECT_EQ(first.names, (Names{"Bgrabber", "Cam0", "cam1"}));
}

TEST_F(Notifications, OnePassReportsRemovedThenChangedThenAdded) {
    std::string problem;
    ASSERT_TRUE(vyrexsim::LoadScenario(R"({"cameras": [
        {"bus": "ipv4", "interface": "gone", "serial": 1},
        {"bus": "ipv4", "interface": "kept", "serial": 2, "ipAddress": "10.0.0.1"}]})",
                                       &problem))
        << problem;
    start();
    ASSERT_TRUE(handler.waitFor(1));
    ASSERT_TRUE(vyrexsim::LoadScenario(R"({"cameras": [
        {"bus": "ipv4", "interface": "kept", "serial": 2, "ipAddress": "10.0.0.2"},
        {"bus": "ipv4", "interface": "new", "serial": 3}]})",
                                       &problem))
        << problem;
    ASSERT_TRUE(handler.waitFor(4));
    const std::vector<Notification> all = handler.notifications();
    EXPECT_EQ(all[1].kind, oxSysItemChangeKind_Removed);
    EXPECT_EQ(all[1].names, Names{"gone"});
    EXPECT_EQ(all[2].kind, oxSysItemChangeKind_Changed);
    EXPECT_EQ(all[2].names, Names{"kept"});
    EXPECT_EQ(all[3].kind, oxSysItemChangeKind_Added);
    EXPECT_EQ(all[3].names, Names{"new"});
}

TEST_F(Notifications, PassesWithoutChangesAreSilent) {
    vyrexsim::PlugCamera(camera("cam", kVyrexBusIPv4));
    start();
    ASSERT_TRUE(handler.waitFor(1));
    ASSERT_TRUE(waitForPasses(3)) << "the thread kept refreshing";
    EXPECT_EQ(handler.count(), 1u);
}

TEST_F(Notifications, DriverNameAloneIsAChange) {
    vyrexsim::PlugCamera(camera("cam", kVyrexBusIPv4, 7));
    start();
    ASSERT_TRUE(handler.waitFor(1));
    vyrexsim::SetDriverName(7, "AnotherDriver");
    ASSERT_TRUE(handler.waitFor(2));
    EXPECT_EQ(handler.notifications()[1].kind, oxSysItemChangeKind_Changed);
    EXPECT_EQ(handler.notifications()[1].names, Names{"cam"});
}

TEST_F(Notifications, CameraBytesAfterATerminatorAreNoChange) {
    vyrexsim::Camera plain = camera("cam", kVyrexBusIPv4);
    plain.vendorName = "Acme";
    vyrexsim::PlugCamera(plain);
    start();
    ASSERT_TRUE(handler.waitFor(1));
    vyrexsim::Camera trailing = plain;
    trailing.vendorName = std::string("Acme\0junk", 9);
    ASSERT_TRUE(vyrexsim::ChangeCamera("cam", trailing));
    ASSERT_TRUE(waitForPasses(2));
    EXPECT_EQ(handler.count(), 1u);
}

TEST_F(Notifications, AnyByteOfAFrameGrabberIsAChange) {
    vyrexsim::FrameGrabber plain = frameGrabber("fg");
    plain.modelName = "FG";
    vyrexsim::PlugFrameGrabber(plain);
    start();
    ASSERT_TRUE(handler.waitFor(1));
    vyrexsim::FrameGrabber trailing = plain;
    trailing.modelName = std::string("FG\0x", 4);
    ASSERT_TRUE(vyrexsim::ChangeFrameGrabber("fg", trailing));
    ASSERT_TRUE(handler.waitFor(2));
    EXPECT_EQ(handler.notifications()[1].kind, oxSysItemChangeKind_Changed);
}

TEST_F(Notifications, DuplicateNamesFoldIntoTheFirstSpelling) {
    vyrexsim::Camera first = camera("Cam0", kVyrexBusIPv4, 1);
    vyrexsim::Camera second = camera("cam0", kVyrexBusIPv4, 2);
    vyrexsim::PlugCamera(first);
    vyrexsim::PlugCamera(second);
    start();
    ASSERT_TRUE(handler.waitFor(1));
    EXPECT_EQ(handler.notifications()[0].names, Names{"Cam0"});
    IoxSysPropertyBag* bag = nullptr;
    ASSERT_EQ(expert->GetPropertiesOfItem(u"CAM0", &bag), 0);
    char16_t* serial = nullptr;
    ASSERT_EQ(bag->GetStringProperty(0x01007000, &serial), 0);
    EXPECT_EQ(takeText(serial), "2") << "the later entry's record";
    bag->Release();
}

TEST_F(Notifications, DriverReportingNothingRemovesEverything) {
    vyrexsim::PlugCamera(camera("cam", kVyrexBusIPv4));
    vyrexsim::PlugFrameGrabber(frameGrabber("fg"));
    start();
    ASSERT_TRUE(handler.waitFor(1));
    vyrexsim::FailFunction(vyrexsim::Function::EnumerateCameras, -1);
    vyrexsim::FailFunction(vyrexsim::Function::EnumerateFrameGrabbers, -1);
    ASSERT_TRUE(handler.waitFor(2));
    EXPECT_EQ(handler.notifications()[1].kind, oxSysItemChangeKind_Removed);
    EXPECT_EQ(handler.notifications()[1].names, (Names{"cam", "fg"}));
}

TEST_F(Notifications, HandlerRegisteredLateSeesOnlyLaterChanges) {
    RecordingHandler second;
    vyrexsim::PlugCamera(camera("early", kVyrexBusIPv4, 1));
    ASSERT_EQ(expert->Initialize(), 0);
    waitForFirstPass();
    // The first pass is over, and has told nobody.
    ASSERT_TRUE(waitForPasses(1));
    ASSERT_EQ(plugPlay->RegisterNotificationCallback(&second), 0);
    vyrexsim::PlugCamera(camera("late", kVyrexBusIPv4, 2));
    ASSERT_TRUE(second.waitFor(1));
    // Later passes have nothing more to tell.
    ASSERT_TRUE(waitForPasses(2));
    expert->Finalize(); // before the handler on this stack goes
    plugPlay->RegisterNotificationCallback(nullptr);
    ASSERT_EQ(second.count(), 1u);
    EXPECT_EQ(second.notifications()[0].kind, oxSysItemChangeKind_Added);
    EXPECT_EQ(second.notifications()[0].names, Names{"late"});
}

TEST_F(Notifications, HandlerReplacedDuringItsCallIsStillHeldForTheCall) {
    RecordingHandler second;
    uint32_t referencesDuringCall = 0;
    handler.onCall = [&] {
        plugPlay->RegisterNotificationCallback(&second);
        referencesDuringCall = handler.references();
    };
    vyrexsim::PlugCamera(camera("cam", kVyrexBusIPv4));
    start();
    ASSERT_TRUE(handler.waitFor(1));
    EXPECT_EQ(referencesDuringCall, 2u) << "the refresh thread holds its own reference";
    vyrexsim::PlugCamera(camera("other", kVyrexBusIPv4, 2));
    ASSERT_TRUE(second.waitFor(1));
    expert->Finalize(); // no call in flight from here on
    EXPECT_EQ(handler.count(), 1u);
    EXPECT_EQ(handler.references(), 1u);
    plugPlay->RegisterNotificationCallback(nullptr);
    EXPECT_EQ(second.references(), 1u);
}

TEST_F(Notifications, BagsOfTheFirstPassCarryTheDriverVersion) {
    vyrexsim::SetDriverVersion(0x00040203);
    uint32_t versionInFirstCall = 0;
    handler.onCall = [&] {
        IoxSysPropertyBag* bag = nullptr;
        if (expert->GetPropertiesOfItem(u"cam", &bag) == 0) {
            bag->GetUnsignedIntegerProperty(0x0700C000, &versionInFirstCall);
            bag->Release();
        }
    };
    vyrexsim::PlugCamera(camera("cam", kVyrexBusIPv4));
    start();
    ASSERT_TRUE(handler.waitFor(1));
    EXPECT_EQ(versionInFirstCall, 0x00040203u);
}

TEST_F(Notifications, TheHandlerMayCallBackIntoTheExpert) {
    int32_t searchStatus = -1;
    handler.onCall = [&] {
        IoxSysPropertyBag* bag = nullptr;
        searchStatus = expert->GetPropertiesOfItem(u"cam", &bag);
        if (bag != nullptr) {
            bag->Release();
        }
    };
    vyrexsim::PlugCamera(camera("cam", kVyrexBusIPv4));
    start();
    ASSERT_TRUE(handler.waitFor(1));
    EXPECT_EQ(searchStatus, 0) << "notifications run without the map lock";
}

TEST_F(Notifications, FinalizeFromTheHandlerEndsTheThreadAfterThePass) {
    int32_t finalized = -1;
    handler.onCall = [&] {
        if (finalized == -1) {
            finalized = expert->Finalize(); // on the refresh thread: must not wait for itself
        }
    };
    vyrexsim::PlugCamera(camera("cam", kVyrexBusIPv4));
    start();
    ASSERT_TRUE(handler.waitFor(1));
    EXPECT_EQ(finalized, 0);
    vyrexsim::PlugCamera(camera("later", kVyrexBusIPv4, 2));
    letAnotherExpertRefresh(3);
    EXPECT_EQ(handler.count(), 1u) << "the thread ended: no pass told of the later camera";
}

using Lifecycle = RunningExpert;

TEST_F(Lifecycle, FinalizeWithoutInitializeAndTwice) {
    EXPECT_EQ(expert->Finalize(), 0);
    EXPECT_EQ(expert->Finalize(), 0);
}

TEST_F(Lifecycle, InitializeTwiceKeepsOneThread) {
    vyrexsim::PlugCamera(camera("cam", kVyrexBusIPv4));
    start();
    ASSERT_EQ(expert->Initialize(), 0);
    ASSERT_TRUE(handler.waitFor(1));
    ASSERT_TRUE(waitForPasses(3));
    EXPECT_EQ(handler.count(), 1u) << "a second thread would report the camera again";
    EXPECT_EQ(expert->Finalize(), 0);
    EXPECT_EQ(expert->Finalize(), 0);
}

TEST_F(Lifecycle, ReleaseWithoutFinalizeStopsTheThreadFirst) {
    vyrexsim::PlugCamera(camera("cam", kVyrexBusIPv4));
    start();
    ASSERT_TRUE(handler.waitFor(1));
    // The delivery is over once the refresh thread has given back its own
    // reference to the handler; no further pass has anything to tell.
    ASSERT_TRUE(waitUntil([&] { return handler.references() == 2; }));
    plugPlay->Release();
    EXPECT_EQ(expert->Release(), 0u);
    expert = nullptr;
    EXPECT_EQ(handler.references(), 1u) << "the expert stopped its thread and released its handler";
}

// The host lets go of the expert while a notification is in flight, and
// the handler drops the last reference from within its call, on the refresh
// thread: the expert ends once that thread has returned.
TEST_F(Lifecycle, HandlerDroppingTheLastReferenceEndsTheExpert) {
    vyrexsim::PlugCamera(camera("cam", kVyrexBusIPv4));
    IoxSysExpert2* handlersReference = expert;
    expert->AddRef(); // the handler's own
    std::promise<void> inCall;
    std::promise<void> hostLetGo;
    std::shared_future<void> letGo = hostLetGo.get_future().share();
    handler.onCall = [&] {
        if (handlersReference != nullptr) {
            inCall.set_value();
            letGo.wait();
            handlersReference->Release(); // the last reference
            handlersReference = nullptr;
        }
    };
    start();
    inCall.get_future().wait();
    plugPlay->Release();
    EXPECT_EQ(expert->Release(), 2u) << "the handler's reference and the expert's own for the call";
    expert = nullptr;
    hostLetGo.set_value();
    EXPECT_TRUE(waitUntil([&] { return handler.references() == 1; }))
        << "the expert ended and released its handler";
    EXPECT_EQ(handler.count(), 1u) << "no call after the last release";
}

// A long period: a thread that waited one more period would hold Finalize up
// far beyond the test's limits.
class FinalizeDuringAPass : public RunningExpert {
protected:
    uint32_t periodSeconds() const override { return 100000; }
    unsigned clockSpeedup() const override { return 1; }
};

TEST_F(FinalizeDuringAPass, PassCompletesAndTheThreadEndsWithoutWaitingAPeriod) {
    std::promise<void> inCall;
    std::promise<void> mayReturn;
    std::shared_future<void> released = mayReturn.get_future().share();
    handler.onCall = [&] {
        inCall.set_value();
        released.wait();
    };
    vyrexsim::PlugCamera(camera("cam", kVyrexBusIPv4));
    start();
    inCall.get_future().wait();
    std::future<int32_t> finalized =
        std::async(std::launch::async, [this] { return expert->Finalize(); });
    EXPECT_EQ(finalized.wait_for(100ms), std::future_status::timeout)
        << "Finalize waits for the pass in progress";
    mayReturn.set_value();
    ASSERT_EQ(finalized.wait_for(kPatience), std::future_status::ready);
    EXPECT_EQ(finalized.get(), 0);
    EXPECT_EQ(handler.count(), 1u);
    handler.onCall = nullptr;
}

TEST_F(FinalizeDuringAPass, StopGivenBeforeInitializeEndsTheThreadAfterItsFirstPass) {
    vyrexsim::PlugCamera(camera("cam", kVyrexBusIPv4));
    ASSERT_EQ(expert->Finalize(), 0); // leaves a stop pending
    start();
    ASSERT_TRUE(handler.waitFor(1));
    std::future<int32_t> finalized =
        std::async(std::launch::async, [this] { return expert->Finalize(); });
    ASSERT_EQ(finalized.wait_for(kPatience), std::future_status::ready)
        << "the pending stop ended the thread";
}

} // namespace
