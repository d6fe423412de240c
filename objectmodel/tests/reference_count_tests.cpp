#include "TestWidget.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

TEST(ReferenceCount, SaturatesInsteadOfWrapping) {
    std::atomic<uint32_t> count{kPinnedReferenceCount - 1};
    EXPECT_EQ(InterLockedIncrement(&count), kPinnedReferenceCount);
    EXPECT_EQ(InterLockedIncrement(&count), kPinnedReferenceCount);
    bool last = true;
    EXPECT_EQ(InterLockedDecrement(&count, &last), kPinnedReferenceCount);
    EXPECT_FALSE(last) << "a pinned count never reaches zero";
}

TEST(ReferenceCount, ReleaseAtZeroChangesNothing) {
    std::atomic<uint32_t> count{0};
    bool last = true;
    EXPECT_EQ(InterLockedDecrement(&count, &last), 0u);
    EXPECT_FALSE(last);
    EXPECT_EQ(count.load(), 0u);
}

TEST(ReferenceCount, TheLastReleasePinsTheCountAgainstStrayPairs) {
    std::atomic<uint32_t> count{1};
    bool last = false;
    EXPECT_EQ(InterLockedDecrement(&count, &last), 0u);
    EXPECT_TRUE(last);
    // Another thread's AddRef and Release while the object is destroyed.
    EXPECT_EQ(InterLockedIncrement(&count), kPinnedReferenceCount);
    EXPECT_EQ(InterLockedDecrement(&count, &last), kPinnedReferenceCount);
    EXPECT_FALSE(last) << "no second destruction";
}

TEST(ReferenceCount, IncrementIfLiveRefusesUnbornAndDyingObjects) {
    const struct {
        uint32_t before;
        bool added;
        uint32_t after;
    } cases[] = {{0, false, 0},
                 {1, true, 2},
                 {7, true, 8},
                 {kPinnedReferenceCount, false, kPinnedReferenceCount}};
    for (const auto& c : cases) {
        std::atomic<uint32_t> count{c.before};
        EXPECT_EQ(InterLockedIncrementIfLive(&count), c.added) << c.before;
        EXPECT_EQ(count.load(), c.after) << c.before;
    }
}

TEST(ReferenceCount, ObjectAtZeroIsNotDestroyedByAStrayRelease) {
    CTestWidget::destroyed = 0;
    CKRComObject<CTestWidget>* object = nullptr;
    ASSERT_EQ(CKRComObject<CTestWidget>::CreateInstance(&object), S_OK);
    EXPECT_EQ(object->Release(), 0u); // no reference to give back
    EXPECT_EQ(CTestWidget::destroyed, 0);
    EXPECT_EQ(object->AddRef(), 1u);
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_EQ(CTestWidget::destroyed, 1);
}

TEST(ReferenceCount, PinnedObjectIsNeverDestroyed) {
    CTestWidget::destroyed = 0;
    auto* object = CreateComObject<CTestWidget>();
    object->refCount.store(kPinnedReferenceCount - 1);
    EXPECT_EQ(object->AddRef(), kPinnedReferenceCount);
    EXPECT_EQ(object->Release(), kPinnedReferenceCount);
    EXPECT_EQ(CTestWidget::destroyed, 0);
    // The test owns the object's memory: end it the way its last Release would.
    object->refCount.store(1);
    object->Release();
    EXPECT_EQ(CTestWidget::destroyed, 1);
}

// Member teardown may AddRef and Release the object, even unbalanced: the
// count stays pinned whether a last Release or a plain delete began it.
TEST(ReferenceCount, TeardownKeepsTheCountPinned) {
    static uint32_t countSeen;
    CTestWidget::duringTeardown = [](CTestWidget* widget) {
        countSeen = widget->refCount.load();
        auto* object = static_cast<CKRComObject<CTestWidget>*>(widget);
        object->CKRComObject<CTestWidget>::AddRef();
        object->CKRComObject<CTestWidget>::Release();
        object->CKRComObject<CTestWidget>::Release(); // unbalanced
    };
    for (bool byLastRelease : {true, false}) {
        CTestWidget::destroyed = 0;
        countSeen = 0;
        CKRComObject<CTestWidget>* object = nullptr;
        ASSERT_EQ(CKRComObject<CTestWidget>::CreateInstance(&object), S_OK);
        if (byLastRelease) {
            object->AddRef();
            object->Release();
        } else {
            delete object;
        }
        EXPECT_EQ(CTestWidget::destroyed, 1) << "by last release: " << byLastRelease;
        EXPECT_EQ(countSeen, kPinnedReferenceCount) << "by last release: " << byLastRelease;
    }
    CTestWidget::duringTeardown = nullptr;
}

TEST(ReferenceCount, ManyThreadsDestroyExactlyOnce) {
    CTestWidget::destroyed = 0;
    auto* object = CreateComObject<CTestWidget>();
    constexpr int kThreads = 4;
    constexpr int kRounds = 20000;
    for (int i = 0; i < kThreads; ++i) {
        object->AddRef(); // one reference per thread
    }
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back([object] {
            for (int round = 0; round < kRounds; ++round) {
                object->AddRef();
                object->Release();
            }
            object->Release();
        });
    }
    for (auto& t : threads) {
        t.join();
    }
    EXPECT_EQ(CTestWidget::destroyed, 0);
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_EQ(CTestWidget::destroyed, 1);
}

} // namespace
