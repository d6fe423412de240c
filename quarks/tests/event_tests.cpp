#include "quarks/event.h"

#include "kernel/clock.h"
#include "kernel/fault.h"
#include "kernel/simulation.h"

#include "Waiting.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

using nKRZEPH000::tEvent;
using nKRZEPH000::tStatus;

namespace {

using Clock = std::chrono::steady_clock;

// Rounds of the signal-against-wait race: fewer where every instruction is
// emulated or instrumented.
#if defined(KR_TEST_UNDER_EMULATION)
constexpr int kRaceRounds = 5000;
#elif defined(__SANITIZE_THREAD__)
constexpr int kRaceRounds = 10000;
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
constexpr int kRaceRounds = 10000;
#else
constexpr int kRaceRounds = 20000;
#endif
#else
constexpr int kRaceRounds = 20000;
#endif

// A wait that should succeed at once is given this much before it counts
// as lost, so that a lost wake-up fails the test instead of hanging it.
constexpr int32_t kGenerousMs = 10000;

void expectRecorded(const tStatus& status, int32_t code, uint32_t line) {
    EXPECT_EQ(status.code, code);
    EXPECT_STREQ(status.component, "krvyrexSy");
    EXPECT_STREQ(status.file, "quarks/synchronization");
    EXPECT_EQ(status.line, line);
}

class Event : public ::testing::Test {
protected:
    void TearDown() override {
        kernelClearFaults();
        kernelSimulateInterruptLevel(false);
    }
};

class EventConcurrency : public Event {};

} // namespace

TEST_F(Event, CreatesTheSemaphoresOfItsKind) {
    tStatus status;
    tEvent automatic;
    tEvent manual;
    EXPECT_FALSE(automatic.isCreated());
    automatic.create(tEvent::kAutoReset, status);
    manual.create(tEvent::kManualReset, status);
    EXPECT_EQ(status.code, 0);
    EXPECT_TRUE(automatic.isCreated());
    EXPECT_FALSE(automatic.isManualReset());
    EXPECT_TRUE(manual.isCreated());
    EXPECT_TRUE(manual.isManualReset());
    manual.create(tEvent::kManualReset, status); // again: the first set goes
    manual.destroy();
    EXPECT_FALSE(manual.isCreated());
    manual.destroy();
}

TEST_F(Event, CreationFailuresAreRecordedWithTheirLines) {
    struct Case {
        tEvent::tKind kind;
        kernelFaultPoint point;
        uint32_t line;
    };
    const Case cases[] = {{tEvent::kAutoReset, kernelFaultPoint::semBCreate, 1660},
                          {tEvent::kManualReset, kernelFaultPoint::semBCreate, 1667},
                          {tEvent::kManualReset, kernelFaultPoint::semMCreate, 1674}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        kernelFailNthCall(c.point, 1);
        tStatus status;
        tEvent event;
        event.create(c.kind, status);
        expectRecorded(status, -52008, c.line);
        EXPECT_FALSE(event.isCreated()) << "a half-made event keeps nothing";
        EXPECT_FALSE(event.isManualReset());
    }
}

TEST_F(Event, CreationIsSkippedAfterAnEarlierFailure) {
    tStatus status;
    status.record(-52000, "krvyrexSysapiExpert", "quarks/synchronization", 611);
    tEvent event;
    event.create(tEvent::kManualReset, status);
    EXPECT_FALSE(event.isCreated());
    EXPECT_EQ(status.line, 611u);
}

TEST_F(Event, AutoResetSignalIsConsumedByExactlyOneWait) {
    tStatus status;
    tEvent event;
    event.create(tEvent::kAutoReset, status);
    event.signal();
    event.signal(); // adds nothing to the pending one
    EXPECT_TRUE(event.wait(0, status));
    EXPECT_EQ(status.code, 0);
    EXPECT_FALSE(event.wait(0, status));
    expectRecorded(status, -52007, 2057);
}

TEST_F(Event, ManualResetTestLeavesTheStatusAloneAndThenStaysSignalled) {
    tStatus status;
    tEvent event;
    event.create(tEvent::kManualReset, status);
    EXPECT_FALSE(event.wait(0, status));
    EXPECT_EQ(status.code, 0) << "testing an unsignalled manual-reset event is no failure";
    event.signal();
    EXPECT_TRUE(event.wait(0, status));
    EXPECT_TRUE(event.wait(0, status));
    EXPECT_TRUE(event.wait(-1, status));
    event.signal();
    EXPECT_TRUE(event.wait(100, status));
    EXPECT_EQ(status.code, 0);
}

TEST_F(Event, WaitWithAFailureAlreadyRecordedReturnsAtOnce) {
    tStatus status;
    tEvent event;
    event.create(tEvent::kAutoReset, status);
    event.signal();
    status.record(-52008, "krvyrexSysapiExpert", "quarks/thread", 684);
    EXPECT_FALSE(event.wait(-1, status));
    EXPECT_EQ(status.line, 684u);
    tStatus fresh;
    EXPECT_TRUE(event.wait(0, fresh)) << "the pending signal was not consumed";
}

TEST_F(Event, TimedWaitsEndNearTheirTimeout) {
    for (tEvent::tKind kind : {tEvent::kAutoReset, tEvent::kManualReset}) {
        tStatus status;
        tEvent event;
        event.create(kind, status);
        const auto begin = Clock::now();
        EXPECT_FALSE(event.wait(100, status));
        const auto waited = Clock::now() - begin;
        expectRecorded(status, -52007, kind == tEvent::kAutoReset ? 2057 : 2116);
        EXPECT_GE(waited, std::chrono::milliseconds(90));
    }
}

TEST_F(Event, OtherWaitFailuresAreRecordedAsSuch) {
    tStatus automaticStatus;
    tStatus manualStatus;
    tStatus uncreatedStatus;
    tEvent automatic;
    tEvent manual;
    tEvent uncreated;
    automatic.create(tEvent::kAutoReset, automaticStatus);
    manual.create(tEvent::kManualReset, manualStatus);
    kernelSimulateInterruptLevel(true); // neither semTake nor taskLock work here
    EXPECT_FALSE(automatic.wait(100, automaticStatus));
    EXPECT_FALSE(manual.wait(100, manualStatus));
    kernelSimulateInterruptLevel(false);
    expectRecorded(automaticStatus, -52015, 2062);
    expectRecorded(manualStatus, -52015, 2129);
    EXPECT_FALSE(uncreated.wait(100, uncreatedStatus));
    expectRecorded(uncreatedStatus, -52015, 2062);
}

TEST_F(EventConcurrency, OneManualResetSignalReleasesEveryWaiter) {
    tStatus status;
    tEvent event;
    event.create(tEvent::kManualReset, status);
    bool obtained[2] = {false, false};
    std::vector<std::thread> waiters;
    for (bool& result : obtained) {
        waiters.emplace_back([&event, &result] {
            tStatus own;
            result = event.wait(-1, own);
        });
    }
    ASSERT_TRUE(waitUntil([] { return kernelTasksBlockedOnSemaphores() == 2; }));
    event.signal();
    for (std::thread& waiter : waiters) {
        waiter.join();
    }
    EXPECT_TRUE(obtained[0]);
    EXPECT_TRUE(obtained[1]);

    EXPECT_TRUE(event.wait(0, status)) << "a later waiter passes at once";
}

TEST_F(EventConcurrency, NoWakeUpIsLostWhenSignalAndWaitRace) {
    std::unique_ptr<tEvent[]> events(new tEvent[kRaceRounds]);
    tStatus creation;
    for (int i = 0; i < kRaceRounds; ++i) {
        events[i].create(tEvent::kManualReset, creation);
    }
    ASSERT_EQ(creation.code, 0);

    // The waiter announces each round and waits at once; the signaller
    // signals the moment it sees the announcement, so the two meet anywhere
    // in the wait: before the test of the flag, between it and blocking, or
    // after blocking.
    std::atomic<int> announced{-1};
    std::atomic<int> missed{0};
    std::thread waiter([&] {
        for (int i = 0; i < kRaceRounds; ++i) {
            tStatus own;
            announced.store(i);
            if (!events[i].wait(kGenerousMs, own)) {
                ++missed;
            }
        }
    });
    for (int i = 0; i < kRaceRounds; ++i) {
        while (announced.load() < i) {
            std::this_thread::yield();
        }
        events[i].signal();
    }
    waiter.join();
    EXPECT_EQ(missed.load(), 0) << "of " << kRaceRounds << " rounds";
}

TEST_F(EventConcurrency, FlushFindsTheWaiterBlockedThoughItIsPreemptedAfterGivingTheMutex) {
    // The waiter pauses after every give, as if the signaller had taken the
    // processor from it right after it gave the event's mutex back: the
    // signaller must still not flush before the waiter is blocked.
    constexpr int kRounds = 100;
    constexpr int32_t kLostAfterMs = 2000;
    std::unique_ptr<tEvent[]> events(new tEvent[kRounds]);
    tStatus creation;
    for (int i = 0; i < kRounds; ++i) {
        events[i].create(tEvent::kManualReset, creation);
    }
    std::atomic<int> announced{-1};
    std::atomic<int> missed{0};
    std::thread waiter([&] {
        kernelSimulatePreemptionAfterGive(1000);
        for (int i = 0; i < kRounds && missed.load() == 0; ++i) {
            tStatus own;
            announced.store(i);
            if (!events[i].wait(kLostAfterMs, own)) {
                ++missed;
            }
        }
        announced.store(kRounds);
    });
    for (int i = 0; i < kRounds; ++i) {
        while (announced.load() < i) {
            std::this_thread::yield();
        }
        events[i].signal();
    }
    waiter.join();
    EXPECT_EQ(missed.load(), 0);
}

TEST_F(EventConcurrency, AutoResetSignalWakesABlockedWaiter) {
    tStatus status;
    tEvent event;
    event.create(tEvent::kAutoReset, status);
    bool obtained = false;
    std::thread waiter([&] {
        tStatus own;
        obtained = event.wait(kGenerousMs, own);
    });
    ASSERT_TRUE(waitUntil([] { return kernelTasksBlockedOnSemaphores() == 1; }));
    event.signal();
    waiter.join();
    EXPECT_TRUE(obtained);
    EXPECT_FALSE(event.wait(0, status)) << "the signal was used up";
}
