#include "kernel/clock.h"
#include "kernel/int.h"
#include "kernel/sem.h"
#include "kernel/simulation.h"
#include "kernel/task.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Waits until `count` reaches `expected`; the tests' way of knowing that
// their helper threads got as far as the line before a blocking call.
void awaitCount(const std::atomic<int>& count, int expected) {
    while (count.load() < expected) {
        std::this_thread::yield();
    }
}

// Runs `block` on `waiters` threads that each take the preemption lock,
// count themselves and then block on `sem`. Returns once every one of them
// is blocked: the caller's taskLock succeeds only after the last one has
// given the lock up inside semTake. The caller then holds the lock.
std::vector<std::thread> startBlockedWaiters(SEM_ID sem, int waiters, std::atomic<int>& results) {
    std::atomic<int> ready{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < waiters; ++i) {
        threads.emplace_back([sem, &ready, &results] {
            taskLock();
            ++ready;
            if (semTake(sem, WAIT_FOREVER) == OK) {
                ++results;
            }
            taskUnlock();
        });
    }
    awaitCount(ready, waiters);
    taskLock();
    return threads;
}

void joinAll(std::vector<std::thread>& threads) {
    for (std::thread& t : threads) {
        t.join();
    }
}

} // namespace

TEST(MutexSemaphore, NestsForItsOwner) {
    SEM_ID sem = semMCreate(SEM_Q_PRIORITY | SEM_INVERSION_SAFE);
    ASSERT_NE(sem, nullptr);
    EXPECT_EQ(semTake(sem, WAIT_FOREVER), OK);
    EXPECT_EQ(semTake(sem, NO_WAIT), OK);
    EXPECT_EQ(semGive(sem), OK);
    EXPECT_EQ(semGive(sem), OK);
    errno = 0;
    EXPECT_EQ(semGive(sem), ERROR) << "a third give has no take to match";
    EXPECT_EQ(errno, S_semLib_INVALID_OPERATION);
    EXPECT_EQ(semDelete(sem), OK);
}

TEST(MutexSemaphore, OtherTaskWaitsUntilGiven) {
    SEM_ID sem = semMCreate(SEM_Q_PRIORITY);
    ASSERT_EQ(semTake(sem, WAIT_FOREVER), OK);
    int busyTakeResult = OK;
    int busyErrno = 0;
    int foreignGive = OK;
    std::thread other([&] {
        busyTakeResult = semTake(sem, NO_WAIT);
        busyErrno = errno;
        foreignGive = semGive(sem);
    });
    other.join();
    EXPECT_EQ(busyTakeResult, ERROR);
    EXPECT_EQ(busyErrno, S_objLib_OBJ_UNAVAILABLE);
    EXPECT_EQ(foreignGive, ERROR) << "only the owner may give";

    bool taken = false;
    std::thread waiter([&] {
        taken = semTake(sem, WAIT_FOREVER) == OK;
        semGive(sem);
    });
    EXPECT_EQ(semGive(sem), OK);
    waiter.join();
    EXPECT_TRUE(taken);
    semDelete(sem);
}

TEST(MutexSemaphore, TimedTakeOfAHeldMutexTimesOut) {
    SEM_ID sem = semMCreate(SEM_Q_PRIORITY | SEM_INVERSION_SAFE);
    ASSERT_EQ(semTake(sem, WAIT_FOREVER), OK);
    STATUS result = OK;
    int error = 0;
    std::thread([&] {
        result = semTake(sem, 3);
        error = errno;
    }).join();
    EXPECT_EQ(result, ERROR);
    EXPECT_EQ(error, S_objLib_OBJ_TIMEOUT);
    semGive(sem);
    semDelete(sem);
}

TEST(MutexSemaphore, RefusesOptionsItDoesNotKnow) {
    errno = 0;
    EXPECT_EQ(semMCreate(0x100), nullptr);
    EXPECT_EQ(errno, S_semLib_INVALID_OPTION);
    EXPECT_EQ(semMCreate(SEM_INVERSION_SAFE), nullptr)
        << "inversion safety needs priority queueing";
    SEM_ID sem = semMCreate(SEM_Q_PRIORITY | SEM_DELETE_SAFE | SEM_INVERSION_SAFE);
    ASSERT_NE(sem, nullptr);
    EXPECT_EQ(semFlush(sem), ERROR) << "only binary semaphores flush";
    semDelete(sem);
}

TEST(BinarySemaphore, OneGiveLetsOneTakeThrough) {
    SEM_ID sem = semBCreate(SEM_Q_PRIORITY, SEM_EMPTY);
    ASSERT_NE(sem, nullptr);
    errno = 0;
    EXPECT_EQ(semTake(sem, NO_WAIT), ERROR);
    EXPECT_EQ(errno, S_objLib_OBJ_UNAVAILABLE);
    EXPECT_EQ(semGive(sem), OK);
    EXPECT_EQ(semGive(sem), OK) << "giving a full semaphore changes nothing";
    EXPECT_EQ(semTake(sem, NO_WAIT), OK);
    EXPECT_EQ(semTake(sem, NO_WAIT), ERROR);
    semDelete(sem);

    SEM_ID full = semBCreate(SEM_Q_FIFO, SEM_FULL);
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(semTake(full, NO_WAIT), OK);
    EXPECT_EQ(semTake(full, NO_WAIT), ERROR);
    semDelete(full);
}

TEST(BinarySemaphore, RefusesBadOptionsAndStates) {
    EXPECT_EQ(semBCreate(SEM_INVERSION_SAFE, SEM_EMPTY), nullptr);
    EXPECT_EQ(semBCreate(SEM_Q_PRIORITY, static_cast<SEM_B_STATE>(2)), nullptr);
}

TEST(BinarySemaphore, TimedTakeEndsNearItsTimeout) {
    SEM_ID sem = semBCreate(SEM_Q_PRIORITY, SEM_EMPTY);
    const auto begin = Clock::now();
    errno = 0;
    EXPECT_EQ(semTake(sem, 6), ERROR); // 100 ms at 60 ticks per second
    const auto waited = Clock::now() - begin;
    EXPECT_EQ(errno, S_objLib_OBJ_TIMEOUT);
    EXPECT_GE(waited, std::chrono::milliseconds(100));
    semDelete(sem);
}

TEST(BinarySemaphoreConcurrency, GiveReleasesABlockedTaker) {
    SEM_ID sem = semBCreate(SEM_Q_PRIORITY, SEM_EMPTY);
    std::atomic<int> taken{0};
    std::vector<std::thread> waiters = startBlockedWaiters(sem, 2, taken);
    EXPECT_EQ(semGive(sem), OK);
    taskUnlock();
    awaitCount(taken, 1);
    EXPECT_EQ(semGive(sem), OK);
    joinAll(waiters);
    EXPECT_EQ(taken.load(), 2);
    semDelete(sem);
}

TEST(BinarySemaphoreConcurrency, FlushReleasesEveryBlockedTakerAndStaysEmpty) {
    SEM_ID sem = semBCreate(SEM_Q_PRIORITY, SEM_EMPTY);
    std::atomic<int> released{0};
    std::vector<std::thread> waiters = startBlockedWaiters(sem, 3, released);
    EXPECT_EQ(semFlush(sem), OK);
    taskUnlock();
    joinAll(waiters);
    EXPECT_EQ(released.load(), 3);
    EXPECT_EQ(semTake(sem, NO_WAIT), ERROR) << "a flush leaves the semaphore empty";
    semDelete(sem);
}

TEST(BinarySemaphoreConcurrency, DeletionReleasesBlockedTakersWithAnError) {
    SEM_ID sem = semBCreate(SEM_Q_PRIORITY, SEM_EMPTY);
    std::atomic<int> ready{0};
    STATUS result = OK;
    int error = 0;
    std::thread waiter([&] {
        taskLock();
        ++ready;
        result = semTake(sem, WAIT_FOREVER);
        error = errno;
        taskUnlock();
    });
    awaitCount(ready, 1);
    taskLock(); // the waiter is blocked now
    taskUnlock();
    EXPECT_EQ(semDelete(sem), OK);
    waiter.join();
    EXPECT_EQ(result, ERROR);
    EXPECT_EQ(error, S_objLib_OBJ_DELETED);
}

TEST(Semaphore, NullSemaphoreIsAnIdError) {
    errno = 0;
    EXPECT_EQ(semTake(nullptr, WAIT_FOREVER), ERROR);
    EXPECT_EQ(errno, S_objLib_OBJ_ID_ERROR);
    EXPECT_EQ(semGive(nullptr), ERROR);
    EXPECT_EQ(semFlush(nullptr), ERROR);
    EXPECT_EQ(semDelete(nullptr), ERROR);
}

TEST(Semaphore, AtInterruptLevelOnlyBinaryGiveAndFlushWork) {
    SEM_ID binary = semBCreate(SEM_Q_PRIORITY, SEM_EMPTY);
    SEM_ID mutex = semMCreate(SEM_Q_PRIORITY);
    kernelSimulateInterruptLevel(true);
    EXPECT_EQ(intContext(), 1);
    EXPECT_EQ(semGive(binary), OK);
    EXPECT_EQ(semFlush(binary), OK);
    errno = 0;
    EXPECT_EQ(semTake(binary, NO_WAIT), ERROR);
    EXPECT_EQ(errno, S_intLib_NOT_ISR_CALLABLE);
    EXPECT_EQ(semTake(mutex, WAIT_FOREVER), ERROR);
    EXPECT_EQ(semBCreate(SEM_Q_PRIORITY, SEM_EMPTY), nullptr);
    kernelSimulateInterruptLevel(false);
    EXPECT_EQ(intContext(), 0);
    EXPECT_EQ(semTake(binary, NO_WAIT), OK) << "the give at interrupt level counted";
    semDelete(binary);
    semDelete(mutex);
}
