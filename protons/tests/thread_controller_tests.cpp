#include "protons/thread/tThreadController.h"

#include "kernel/fault.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

using nKRZEPH000::iThread;
using nKRZEPH000::tEvent;
using nKRZEPH000::tStatus;
using nKRZEPH000::tThreadController;

namespace {

// A body that counts its runs and, when asked to, holds on until released.
class CountingBody : public iThread {
public:
    explicit CountingBody(bool holdUntilReleased = false) : holding(holdUntilReleased) {
        tStatus status;
        release.create(tEvent::kAutoReset, status);
    }

    void main() override {
        taskSeen = taskIdSelf();
        if (holding) {
            tStatus status;
            release.wait(-1, status);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ++runs;
    }

    const bool holding;
    tEvent release;
    std::atomic<int> runs{0};
    std::atomic<TASK_ID> taskSeen{0};
};

class ThrowingBody : public iThread {
public:
    void main() override { throw std::runtime_error("the body gives up"); }
};

void expectRecorded(const tStatus& status, int32_t code, const char* file, uint32_t line) {
    EXPECT_EQ(status.code, code);
    EXPECT_STREQ(status.component, "krvyrexSy");
    EXPECT_STREQ(status.file, file);
    EXPECT_EQ(status.line, line);
}

class ThreadController : public ::testing::Test {
protected:
    void TearDown() override { kernelClearFaults(); }
};

class ThreadControllerConcurrency : public ThreadController {};

} // namespace

TEST_F(ThreadController, JoinWithoutStartReturnsAtOnce) {
    tThreadController controller;
    controller.join();
    controller.join();
    EXPECT_FALSE(controller.isRunning());
    EXPECT_FALSE(controller.isCreated());
    EXPECT_EQ(controller.taskId(), 0);
}

TEST_F(ThreadControllerConcurrency, JoinWaitsUntilTheBodyHasReturned) {
    CountingBody body;
    tThreadController controller;
    tStatus status;
    controller.start(&body, status);
    EXPECT_EQ(status.code, 0);
    EXPECT_TRUE(controller.isRunning());
    EXPECT_TRUE(controller.isCreated());
    EXPECT_NE(controller.taskId(), 0);
    EXPECT_NE(controller.taskId(), ERROR);
    controller.join();
    EXPECT_EQ(body.runs.load(), 1);
    EXPECT_EQ(body.taskSeen.load(), controller.taskId()) << "the body ran on the spawned task";
    EXPECT_FALSE(controller.isRunning());
    EXPECT_TRUE(controller.isCreated()) << "the event stays until the next start";
    controller.join(); // the body returned: at once
    controller.join();
}

TEST_F(ThreadControllerConcurrency, StartsAgainAfterAJoin) {
    CountingBody body;
    tThreadController controller;
    tStatus status;
    controller.start(&body, 50, "tFirst", status);
    controller.join();
    const TASK_ID first = controller.taskId();
    controller.start(&body, 120, "tSecond", status);
    EXPECT_TRUE(controller.isRunning());
    EXPECT_NE(controller.taskId(), first);
    controller.join();
    EXPECT_EQ(body.runs.load(), 2);
    EXPECT_EQ(status.code, 0);
}

TEST_F(ThreadControllerConcurrency, SecondStartWhileRunningIsRefused) {
    CountingBody body(true);
    CountingBody other;
    tThreadController controller;
    tStatus status;
    controller.start(&body, status);
    const TASK_ID running = controller.taskId();
    controller.start(&other, status);
    expectRecorded(status, -52016, "tThreadController", 56);
    EXPECT_TRUE(controller.isRunning());
    EXPECT_EQ(controller.taskId(), running);
    body.release.signal();
    controller.join();
    EXPECT_EQ(body.runs.load(), 1);
    EXPECT_EQ(other.runs.load(), 0);
}

TEST_F(ThreadController, StartWithAFailureAlreadyRecordedSpawnsNothing) {
    CountingBody body;
    tThreadController controller;
    tStatus status;
    status.record(-52000, "krvyrexSysapiExpert", "quarks/synchronization", 611);
    controller.start(&body, status);
    EXPECT_EQ(status.line, 611u) << "the status is left as it was";
    EXPECT_FALSE(controller.isCreated());
    EXPECT_FALSE(controller.isRunning());
    EXPECT_EQ(controller.taskId(), 0);
    controller.join();
    EXPECT_EQ(body.runs.load(), 0);
}

TEST_F(ThreadController, EventCreationFailureLeavesItIdle) {
    struct Case {
        kernelFaultPoint point;
        uint32_t line;
    };
    for (const Case& c :
         {Case{kernelFaultPoint::semBCreate, 1667}, Case{kernelFaultPoint::semMCreate, 1674}}) {
        SCOPED_TRACE(c.line);
        CountingBody body;
        tThreadController controller;
        tStatus status;
        kernelFailNthCall(c.point, 1);
        controller.start(&body, status);
        expectRecorded(status, -52008, "quarks/synchronization", c.line);
        EXPECT_FALSE(controller.isCreated());
        EXPECT_EQ(controller.taskId(), 0) << "nothing was spawned";
        controller.join();
    }
}

TEST_F(ThreadController, SpawnFailureLeavesItIdleWithTheErrorAsTaskId) {
    CountingBody body;
    tThreadController controller;
    tStatus status;
    kernelFailNthCall(kernelFaultPoint::taskSpawn, 1);
    controller.start(&body, status);
    expectRecorded(status, -52008, "quarks/thread", 684);
    EXPECT_FALSE(controller.isRunning());
    EXPECT_FALSE(controller.isCreated());
    EXPECT_EQ(controller.taskId(), ERROR);
    controller.join();

    tStatus retry;
    controller.start(&body, retry);
    EXPECT_EQ(retry.code, 0) << "the kernel objects of the failed start were given back";
    controller.join();
    EXPECT_EQ(body.runs.load(), 1);
}

TEST_F(ThreadControllerConcurrency, ABodyThatThrowsStillEndsItsThread) {
    ThrowingBody body;
    tThreadController controller;
    tStatus status;
    controller.start(&body, status);
    controller.join();
    EXPECT_FALSE(controller.isRunning());
}

TEST_F(ThreadControllerConcurrency, ManyStartsAndJoins) {
    CountingBody body;
    tThreadController controller;
    constexpr int kRuns = 50;
    for (int i = 0; i < kRuns; ++i) {
        tStatus status;
        controller.start(&body, status);
        ASSERT_EQ(status.code, 0);
        controller.join();
    }
    EXPECT_EQ(body.runs.load(), kRuns);
}
