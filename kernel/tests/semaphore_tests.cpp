#include "kernel/sem.h"
#include "kernel/task.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <thread>

TEST(MutexSemaphore, NestsForItsOwner) {
    SEM_ID sem = semMCreate(SEM_Q_PRIORITY | SEM_INVERSION_SAFE);
    ASSERT_NE(sem, nullptr);
    EXPECT_EQ(semTake(sem, WAIT_FOREVER), OK);
    EXPECT_EQ(semTake(sem, WAIT_FOREVER), OK);
    EXPECT_EQ(semGive(sem), OK);
    EXPECT_EQ(semGive(sem), OK);
    EXPECT_EQ(semGive(sem), ERROR) << "a third give has no take to match";
    EXPECT_EQ(semDelete(sem), OK);
}

TEST(MutexSemaphore, OtherTaskWaitsUntilGiven) {
    SEM_ID sem = semMCreate(SEM_Q_PRIORITY);
    ASSERT_EQ(semTake(sem, WAIT_FOREVER), OK);
    int busyTakeResult = OK;
    int busyErrno = 0;
    std::thread other([&] {
        busyTakeResult = semTake(sem, NO_WAIT);
        busyErrno = errno;
    });
    other.join();
    EXPECT_EQ(busyTakeResult, ERROR);
    EXPECT_EQ(busyErrno, S_objLib_OBJ_UNAVAILABLE);

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

TEST(MutexSemaphore, NullSemaphoreIsAnIdError) {
    errno = 0;
    EXPECT_EQ(semTake(nullptr, WAIT_FOREVER), ERROR);
    EXPECT_EQ(errno, S_objLib_OBJ_ID_ERROR);
    EXPECT_EQ(semGive(nullptr), ERROR);
    EXPECT_EQ(semDelete(nullptr), ERROR);
}

TEST(TaskIdentity, DistinctPerThreadAndNeverZero) {
    const TASK_ID mine = taskIdSelf();
    EXPECT_NE(mine, 0);
    EXPECT_EQ(taskIdSelf(), mine);
    TASK_ID theirs = 0;
    std::thread([&] { theirs = taskIdSelf(); }).join();
    EXPECT_NE(theirs, 0);
    EXPECT_NE(theirs, mine);
}
