#include "protons/synchronization/tSemaphore.h"

#include "kernel/fault.h"
#include "kernel/simulation.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

using nKRZEPH000::tSemaphore;
using nKRZEPH000::tSemaphoreLock;
using nKRZEPH000::tStatus;

TEST(PlatformMutex, NestsForItsOwner) {
    tStatus status;
    tSemaphore mutex;
    EXPECT_FALSE(mutex.isCreated());
    mutex.create(status);
    ASSERT_TRUE(mutex.isCreated());
    EXPECT_EQ(status.code, 0);
    EXPECT_TRUE(mutex.lock());
    EXPECT_TRUE(mutex.lock());
    EXPECT_TRUE(mutex.unlock());
    EXPECT_TRUE(mutex.unlock());
    EXPECT_FALSE(mutex.unlock()) << "no lock left to undo";
    mutex.destroy();
    EXPECT_FALSE(mutex.isCreated());
    mutex.destroy();
}

TEST(PlatformMutex, CreationFailureIsRecorded) {
    kernelFailNthCall(kernelFaultPoint::semMCreate, 1);
    tStatus status;
    tSemaphore mutex;
    mutex.create(status);
    kernelClearFaults();
    EXPECT_FALSE(mutex.isCreated());
    EXPECT_EQ(status.code, -52000);
    EXPECT_STREQ(status.component, "krvyrexSy");
    EXPECT_STREQ(status.file, "quarks/synchronization");
    EXPECT_EQ(status.line, 611u);
    EXPECT_FALSE(mutex.lock());
}

TEST(PlatformMutex, ScopedLockGivesItBackOnEveryWayOut) {
    tStatus status;
    tSemaphore mutex;
    mutex.create(status);
    try {
        tSemaphoreLock hold(mutex);
        EXPECT_TRUE(hold.isLocked());
        throw std::runtime_error("leaves the scope");
    } catch (const std::runtime_error&) {
    }
    bool takenElsewhere = false;
    std::thread([&] {
        takenElsewhere = mutex.lock();
        mutex.unlock();
    }).join();
    EXPECT_TRUE(takenElsewhere);
}

TEST(PlatformMutexConcurrency, ExcludesOtherTasks) {
    tStatus status;
    tSemaphore mutex;
    mutex.create(status);
    constexpr int kRounds = 2000;
    long counter = 0; // guarded by the mutex only
    auto work = [&] {
        for (int i = 0; i < kRounds; ++i) {
            tSemaphoreLock hold(mutex);
            ++counter;
        }
    };
    std::thread a(work);
    std::thread b(work);
    a.join();
    b.join();
    EXPECT_EQ(counter, 2 * kRounds);
}
