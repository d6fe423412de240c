#include "kernel/clock.h"
#include "kernel/fault.h"
#include "kernel/int.h"
#include "kernel/sem.h"
#include "kernel/simulation.h"
#include "kernel/task.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace {

int idleTask(TASK_ARG, TASK_ARG, TASK_ARG, TASK_ARG, TASK_ARG, TASK_ARG, TASK_ARG, TASK_ARG,
             TASK_ARG, TASK_ARG) {
    return 0;
}

TASK_ID spawnIdle() {
    return taskSpawn("tIdle", 100, 0, 8192, idleTask, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
}

class KernelFault : public ::testing::Test {
protected:
    void TearDown() override { kernelClearFaults(); }
};

} // namespace

TEST_F(KernelFault, FailsExactlyTheNthCallOfItsPoint) {
    kernelFailNthCall(kernelFaultPoint::semBCreate, 2);
    SEM_ID first = semBCreate(SEM_Q_PRIORITY, SEM_EMPTY);
    SEM_ID mutex = semMCreate(SEM_Q_PRIORITY) /* another point: not counted */;
    errno = 0;
    SEM_ID second = semBCreate(SEM_Q_PRIORITY, SEM_EMPTY);
    EXPECT_EQ(errno, S_memLib_NOT_ENOUGH_MEMORY);
    SEM_ID third = semBCreate(SEM_Q_PRIORITY, SEM_EMPTY);
    EXPECT_NE(first, nullptr);
    EXPECT_NE(mutex, nullptr);
    EXPECT_EQ(second, nullptr);
    EXPECT_NE(third, nullptr) << "one armed failure fails one call";
    semDelete(first);
    semDelete(mutex);
    semDelete(third);
}

TEST_F(KernelFault, CoversMutexCreationAndSpawning) {
    kernelFailNthCall(kernelFaultPoint::semMCreate, 1);
    EXPECT_EQ(semMCreate(SEM_Q_PRIORITY), nullptr);
    kernelFailNthCall(kernelFaultPoint::taskSpawn, 1);
    errno = 0;
    EXPECT_EQ(spawnIdle(), ERROR);
    EXPECT_EQ(errno, S_memLib_NOT_ENOUGH_MEMORY);
    EXPECT_NE(spawnIdle(), ERROR);
}

TEST_F(KernelFault, DisarmedByZeroOrByClearing) {
    kernelFailNthCall(kernelFaultPoint::semMCreate, 1);
    kernelFailNthCall(kernelFaultPoint::semMCreate, 0);
    kernelFailNthCall(kernelFaultPoint::taskSpawn, 1);
    kernelClearFaults();
    SEM_ID sem = semMCreate(SEM_Q_PRIORITY);
    EXPECT_NE(sem, nullptr);
    EXPECT_NE(spawnIdle(), ERROR);
    semDelete(sem);
}

TEST(SystemClock, RateIsSixtyUntilSetAndStaysInRange) {
    EXPECT_EQ(sysClkRateGet(), 60);
    EXPECT_EQ(sysClkRateSet(100), OK);
    EXPECT_EQ(sysClkRateGet(), 100);
    EXPECT_EQ(sysClkRateSet(0), ERROR);
    EXPECT_EQ(sysClkRateSet(100001), ERROR);
    EXPECT_EQ(sysClkRateGet(), 100);
    EXPECT_EQ(sysClkRateSet(60), OK);
}

TEST(SystemClock, SpeedupShortensTimedWaits) {
    SEM_ID sem = semBCreate(SEM_Q_PRIORITY, SEM_EMPTY);
    kernelSetClockSpeedup(1000000);
    EXPECT_EQ(kernelClockSpeedup(), 1000000u);
    // A day of ticks is 86 ms sped up; a wait that was not sped up would run
    // into the test's time limit.
    EXPECT_EQ(semTake(sem, 60 * 60 * 60 * 24), ERROR);
    kernelSetClockSpeedup(0);
    EXPECT_EQ(kernelClockSpeedup(), 1u);
    semDelete(sem);
}

TEST(InterruptLevel, SimulatedForTheCallingThreadOnly) {
    EXPECT_EQ(intContext(), 0);
    kernelSimulateInterruptLevel(true);
    BOOL elsewhere = 1;
    std::thread([&] { elsewhere = intContext(); }).join();
    EXPECT_EQ(intContext(), 1);
    EXPECT_EQ(elsewhere, 0);
    kernelSimulateInterruptLevel(false);
    EXPECT_EQ(intContext(), 0);
}

TEST(PreemptionAfterGive, PausesTheGivingThreadOnly) {
    SEM_ID sem = semBCreate(SEM_Q_PRIORITY, SEM_EMPTY);
    kernelSimulatePreemptionAfterGive(20000);
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_EQ(semGive(sem), OK);
    const auto paused = std::chrono::steady_clock::now() - begin;
    kernelSimulatePreemptionAfterGive(0);
    EXPECT_GE(paused, std::chrono::milliseconds(20));
    EXPECT_EQ(semTake(sem, NO_WAIT), OK) << "the give itself happened";
    semDelete(sem);
}
