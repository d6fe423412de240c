#include "objectmodel/KRMutex.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(KRMutex, SerializesShortSections) {
    CKRMutex mutex;
    int shared = 0;
    auto work = [&] {
        for (int i = 0; i < 5000; ++i) {
            mutex.Lock();
            ++shared;
            mutex.Unlock();
        }
    };
    std::thread a(work);
    std::thread b(work);
    a.join();
    b.join();
    EXPECT_EQ(shared, 10000);
}

TEST(KRMutexDeathTest, HolderTakingItAgainStopsTheSystem) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            CKRMutex mutex;
            mutex.Lock();
            mutex.Lock();
        },
        "");
}

} // namespace
