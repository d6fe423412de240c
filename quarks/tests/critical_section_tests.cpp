#include "quarks/criticalSection.h"

#include "kernel/fault.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

using Bramble::CkrCS;
using Bramble::CkrSyncObject;

TEST(CriticalSection, NestsForItsHolderAndEndsFree) {
    CkrCS section;
    ASSERT_TRUE(section.IsValid());
    EXPECT_EQ(section.Lock(0), 1);
    EXPECT_EQ(section.Lock(12345), 1) << "the timeout is ignored";
    EXPECT_EQ(section.Owner(), taskIdSelf());
    EXPECT_EQ(section.Count(), 2);
    section.Unlock();
    EXPECT_EQ(section.Owner(), taskIdSelf());
    section.Unlock();
    EXPECT_EQ(section.Owner(), 0);
    EXPECT_EQ(section.Count(), 0);
}

TEST(CriticalSection, IgnoresAnUnlockByATaskThatDoesNotHoldIt) {
    CkrCS section;
    section.Lock(0);
    std::thread([&] { section.Unlock(); }).join();
    EXPECT_EQ(section.Count(), 1);
    EXPECT_EQ(section.Owner(), taskIdSelf());
    section.Unlock();
    section.Unlock(); // one too many: nothing happens
    EXPECT_EQ(section.Count(), 0);
}

TEST(CriticalSection, WithoutASemaphoreLockFailsAndUnlockIsHarmless) {
    kernelFailNthCall(kernelFaultPoint::semMCreate, 1);
    CkrCS section;
    kernelClearFaults();
    EXPECT_FALSE(section.IsValid());
    EXPECT_EQ(section.Lock(0), 0);
    section.Unlock();
    EXPECT_EQ(section.Count(), 0);
}

TEST(CriticalSection, UsableThroughItsInterface) {
    std::unique_ptr<CkrSyncObject> lock(new CkrCS);
    lock->SetPumpMsgs(true);
    EXPECT_EQ(lock->Lock(-1), 1);
    lock->Unlock();
}

TEST(CriticalSectionConcurrency, ExcludesOtherTasks) {
    CkrCS section;
    constexpr int kRounds = 2000;
    long counter = 0; // guarded by the section only
    auto work = [&] {
        for (int i = 0; i < kRounds; ++i) {
            section.Lock(0);
            section.Lock(0);
            ++counter;
            section.Unlock();
            section.Unlock();
        }
    };
    std::thread a(work);
    std::thread b(work);
    a.join();
    b.join();
    EXPECT_EQ(counter, 2 * kRounds);
    EXPECT_EQ(section.Owner(), 0);
}
