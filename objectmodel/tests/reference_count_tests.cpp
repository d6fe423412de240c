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
