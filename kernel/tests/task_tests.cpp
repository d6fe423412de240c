#include "kernel/int.h"
#include "kernel/sem.h"
#include "kernel/simulation.h"
#include "kernel/task.h"

#include "Waiting.h"

#include <gtest/gtest.h>

#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>

namespace {

// What a spawned test task saw, and the semaphore it gives when it is done.
struct TaskReport {
    SEM_ID done = semBCreate(SEM_Q_PRIORITY, SEM_EMPTY);
    TASK_ID self = 0;
    TASK_ARG args[10] = {};
    size_t stackSize = 0;

    ~TaskReport() { semDelete(done); }
};

int reportingTask(TASK_ARG report, TASK_ARG a2, TASK_ARG a3, TASK_ARG a4, TASK_ARG a5, TASK_ARG a6,
                  TASK_ARG a7, TASK_ARG a8, TASK_ARG a9, TASK_ARG a10) {
    TaskReport& r = *reinterpret_cast<TaskReport*>(report);
    r.self = taskIdSelf();
    const TASK_ARG args[10] = {report, a2, a3, a4, a5, a6, a7, a8, a9, a10};
    std::copy(args, args + 10, r.args);
    pthread_attr_t attributes;
    if (pthread_getattr_np(pthread_self(), &attributes) == 0) {
        pthread_attr_getstacksize(&attributes, &r.stackSize);
        pthread_attr_destroy(&attributes);
    }
    semGive(r.done);
    return 0;
}

TASK_ID spawnReporting(TaskReport& report, size_t stackSize) {
    return taskSpawn("tReporter", 100, VX_FP_TASK, stackSize, reportingTask,
                     reinterpret_cast<TASK_ARG>(&report), 2, 3, 4, 5, 6, 7, 8, 9, 10);
}

int lockingTask(TASK_ARG done, TASK_ARG, TASK_ARG, TASK_ARG, TASK_ARG, TASK_ARG, TASK_ARG, TASK_ARG,
                TASK_ARG, TASK_ARG) {
    taskLock();
    taskLock();
    semGive(reinterpret_cast<SEM_ID>(done));
    return 0; // ends with the preemption lock held twice
}

} // namespace

TEST(TaskSpawn, RunsTheEntryWithItsArgumentsUnderTheReturnedId) {
    TaskReport report;
    const TASK_ID id = spawnReporting(report, 32768);
    ASSERT_NE(id, ERROR);
    ASSERT_EQ(semTake(report.done, WAIT_FOREVER), OK);
    EXPECT_EQ(report.self, id);
    EXPECT_NE(id, 0);
    EXPECT_NE(id, taskIdSelf());
    EXPECT_EQ(report.args[0], reinterpret_cast<TASK_ARG>(&report));
    for (int i = 1; i < 10; ++i) {
        EXPECT_EQ(report.args[i], i + 1) << "argument " << i + 1;
    }
    EXPECT_GE(report.stackSize, 32768u);
}

TEST(TaskSpawn, GivesAtLeastTheRequestedStack) {
    TaskReport report;
    const size_t large = 4 * 1024 * 1024;
    ASSERT_NE(spawnReporting(report, large), ERROR);
    ASSERT_EQ(semTake(report.done, WAIT_FOREVER), OK);
    EXPECT_GE(report.stackSize, large);
}

TEST(TaskSpawn, EveryTaskHasItsOwnId) {
    TaskReport first;
    TaskReport second;
    const TASK_ID a = spawnReporting(first, 0);
    const TASK_ID b = spawnReporting(second, 0);
    ASSERT_EQ(semTake(first.done, WAIT_FOREVER), OK);
    ASSERT_EQ(semTake(second.done, WAIT_FOREVER), OK);
    EXPECT_NE(a, b);
    EXPECT_EQ(first.self, a);
    EXPECT_EQ(second.self, b);
}

TEST(TaskSpawn, RefusesBadRequests) {
    TaskReport report;
    errno = 0;
    EXPECT_EQ(taskSpawn("t", 256, 0, 8192, reportingTask, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), ERROR);
    EXPECT_EQ(errno, S_taskLib_ILLEGAL_PRIORITY);
    EXPECT_EQ(taskSpawn("t", 100, 0, 8192, nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), ERROR);
    kernelSimulateInterruptLevel(true);
    errno = 0;
    EXPECT_EQ(spawnReporting(report, 8192), ERROR);
    EXPECT_EQ(errno, S_intLib_NOT_ISR_CALLABLE);
    kernelSimulateInterruptLevel(false);
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

TEST(PreemptionLockConcurrency, AnotherTaskWaitsUntilTheLastUnlock) {
    ASSERT_EQ(taskLock(), OK);
    ASSERT_EQ(taskLock(), OK);
    std::atomic<bool> otherLocked{false};
    std::thread other([&] {
        taskLock();
        otherLocked = true;
        taskUnlock();
    });
    EXPECT_EQ(taskUnlock(), OK);
    // The other task cannot get the lock while it is still held once.
    ASSERT_TRUE(waitUntil([] { return kernelTasksWaitingForPreemptionLock() == 1; }));
    EXPECT_FALSE(otherLocked.load());
    EXPECT_EQ(taskUnlock(), OK);
    other.join();
    EXPECT_TRUE(otherLocked.load());
    EXPECT_EQ(taskUnlock(), OK) << "unlocking without a lock is harmless";
}

TEST(PreemptionLockConcurrency, HolderGivesItUpWhileBlockedAndHasItBackAfter) {
    SEM_ID wakeUp = semBCreate(SEM_Q_PRIORITY, SEM_EMPTY);
    std::atomic<int> stage{0};
    std::thread holder([&] {
        taskLock();
        taskLock();
        stage = 1;
        semTake(wakeUp, WAIT_FOREVER); // gives the lock up while blocked
        stage = 2;                     // only once the lock is back
        taskUnlock();
        taskUnlock();
    });
    while (stage.load() < 1) {
        std::this_thread::yield();
    }
    ASSERT_EQ(taskLock(), OK) << "succeeds only once the holder is blocked";
    semGive(wakeUp);
    ASSERT_TRUE(waitUntil([] { return kernelTasksWaitingForPreemptionLock() == 1; }));
    EXPECT_EQ(stage.load(), 1) << "the woken holder must wait for the lock";
    taskUnlock();
    holder.join();
    EXPECT_EQ(stage.load(), 2);
    // Both of the holder's levels were restored and undone again.
    ASSERT_EQ(taskLock(), OK);
    taskUnlock();
    semDelete(wakeUp);
}

TEST(PreemptionLockConcurrency, EndsWithTheTaskThatHeldIt) {
    SEM_ID done = semBCreate(SEM_Q_PRIORITY, SEM_EMPTY);
    ASSERT_NE(taskSpawn("tLocker", 100, 0, 8192, lockingTask, reinterpret_cast<TASK_ARG>(done), 0,
                        0, 0, 0, 0, 0, 0, 0, 0),
              ERROR);
    semTake(done, WAIT_FOREVER);
    EXPECT_EQ(taskLock(), OK) << "would wait for ever if the ended task kept the lock";
    taskUnlock();
    semDelete(done);
}

TEST(PreemptionLock, RefusedAtInterruptLevel) {
    kernelSimulateInterruptLevel(true);
    errno = 0;
    EXPECT_EQ(taskLock(), ERROR);
    EXPECT_EQ(errno, S_intLib_NOT_ISR_CALLABLE);
    EXPECT_EQ(taskUnlock(), ERROR);
    kernelSimulateInterruptLevel(false);
}
