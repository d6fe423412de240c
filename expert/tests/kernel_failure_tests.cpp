// Kernel objects that cannot be made: every semaphore and task the factory
// and Initialize create, failed one at a time. The factory answers
// 0x8007000E and leaks nothing; Initialize without a refresh thread makes
// the pass itself, so searches never wait for good, and a later Initialize
// starts the thread.
#include "HostObjects.h"
#include "LinkedExpert.h"
#include "Poison.h"
#include "RefreshPasses.h"

#include "contract/Status.h"
#include "kernel/fault.h"

#include <gtest/gtest.h>

namespace {

constexpr int kMostCalls = 100;

const struct {
    kernelFaultPoint point;
    const char* name;
} kPoints[] = {{kernelFaultPoint::semMCreate, "semMCreate"},
               {kernelFaultPoint::semBCreate, "semBCreate"},
               {kernelFaultPoint::taskSpawn, "taskSpawn"}};

class KernelFailures : public LinkedExpert {
protected:
    void TearDown() override {
        kernelClearFaults();
        LinkedExpert::TearDown();
    }
};

TEST_F(KernelFailures, FactoryAnswersOutOfMemoryAndLeaksNothing) {
    for (const auto& point : kPoints) {
        int n = 1;
        for (; n <= kMostCalls; ++n) {
            IoxSysExpert2* expert = poisonPointer<IoxSysExpert2>();
            kernelFailNthCall(point.point, n);
            const int32_t status = createVyrexSysapiExpert(&expert);
            const bool reached = !kernelFaultArmed(point.point);
            kernelClearFaults();
            if (!reached) {
                ASSERT_EQ(status, 0) << point.name << " " << n;
                EXPECT_EQ(expert->Release(), 0u);
                break;
            }
            EXPECT_EQ(status, E_OUTOFMEMORY) << point.name << " " << n;
            EXPECT_EQ(expert, nullptr) << point.name << " " << n;
        }
        EXPECT_LT(n, kMostCalls) << point.name;
    }
}

TEST_F(KernelFailures, InitializeWithoutAThreadStillMakesThePass) {
    for (const auto& point : kPoints) {
        int n = 1;
        for (; n <= kMostCalls; ++n) {
            IoxSysExpert2* expert = nullptr;
            IoxSysExpertPlugPlay* plugPlay = nullptr;
            ASSERT_TRUE(createExpert(expert, plugPlay));
            PictureHandler handler;
            plugPlay->RegisterNotificationCallback(&handler);

            kernelFailNthCall(point.point, n);
            EXPECT_EQ(expert->Initialize(), 0);
            const bool reached = !kernelFaultArmed(point.point);
            kernelClearFaults();
            // Searches answer at once, from a real inventory, thread or not.
            const std::vector<std::string> names = upperCaseItemNames(expert);
            EXPECT_EQ(names.size(), vyrexsim::Cameras().size() + vyrexsim::FrameGrabbers().size())
                << point.name << " " << n;

            // A later Initialize starts the thread: its first pass, which a
            // Finalize waits for, tells of a new camera.
            EXPECT_EQ(expert->Finalize(), 0);
            vyrexsim::Camera late;
            late.interfaceName = "late";
            vyrexsim::PlugCamera(late);
            EXPECT_EQ(expert->Initialize(), 0);
            EXPECT_EQ(expert->Finalize(), 0);
            EXPECT_EQ(handler.picture(), upperCaseItemNames(expert)) << point.name << " " << n;
            EXPECT_EQ(handler.contradictions(), std::vector<std::string>{});
            vyrexsim::UnplugCamera("late");

            plugPlay->RegisterNotificationCallback(nullptr);
            plugPlay->Release();
            EXPECT_EQ(expert->Release(), 0u);
            if (!reached) {
                break;
            }
        }
        EXPECT_LT(n, kMostCalls) << point.name;
    }
}

// A handler that calls Finalize in the pass Initialize makes itself (no
// thread could be started) leaves no stop behind for a later thread: the one
// the next Initialize starts goes on telling of changes.
TEST_F(KernelFailures, AStopAskedInInitializesOwnPassEndsNoLaterThread) {
    IoxSysExpert2* expert = nullptr;
    IoxSysExpertPlugPlay* plugPlay = nullptr;
    ASSERT_TRUE(createExpert(expert, plugPlay));
    RecordingHandler handler;
    bool asked = false;
    handler.onCall = [&] {
        if (!asked) {
            asked = true;
            EXPECT_EQ(expert->Finalize(), 0);
        }
    };
    plugPlay->RegisterNotificationCallback(&handler);

    kernelFailNthCall(kernelFaultPoint::taskSpawn, 1);
    EXPECT_EQ(expert->Initialize(), 0);
    kernelClearFaults();
    EXPECT_TRUE(asked);
    EXPECT_EQ(expert->Initialize(), 0);
    EXPECT_TRUE(waitForPasses(3));
    vyrexsim::Camera late;
    late.interfaceName = "late";
    vyrexsim::PlugCamera(late);
    EXPECT_TRUE(handler.waitFor(oxSysItemChangeKind_Added, "late"));

    EXPECT_EQ(expert->Finalize(), 0);
    plugPlay->RegisterNotificationCallback(nullptr);
    plugPlay->Release();
    EXPECT_EQ(expert->Release(), 0u);
}

// The handler gives back the host's last references during the pass
// Initialize makes itself: the expert ends once Initialize is done with it.
TEST_F(KernelFailures, TheLastReleaseInInitializesOwnPassEndsTheExpertAfterIt) {
    IoxSysExpert2* expert = nullptr;
    IoxSysExpertPlugPlay* plugPlay = nullptr;
    ASSERT_TRUE(createExpert(expert, plugPlay));
    RecordingHandler handler;
    handler.onCall = [&] {
        if (plugPlay != nullptr) {
            plugPlay->Release();
            plugPlay = nullptr;
            expert->Release();
        }
    };
    plugPlay->RegisterNotificationCallback(&handler);
    kernelFailNthCall(kernelFaultPoint::taskSpawn, 1);
    EXPECT_EQ(expert->Initialize(), 0);
    kernelClearFaults();
    EXPECT_EQ(plugPlay, nullptr) << "the handler was called";
    EXPECT_EQ(handler.references(), 1u) << "the expert ended and released its handler";
}

} // namespace
