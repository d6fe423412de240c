// Checked allocation over the runtime heap.
#include "FailingHeap.h"

#include "tarn/Allocation.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>

namespace {

using namespace kr::tarn;
using kr::tarn::testing::FailingHeap;

TEST(Allocation, GivesBlocksAndReleasesThem) {
    void* block = Allocate(16);
    ASSERT_NE(nullptr, block);
    std::memset(block, 0xA5, 16);
    block = Reallocate(block, 64);
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(0xA5, static_cast<unsigned char*>(block)[15]);
    Deallocate(block);

    void* empty = Allocate(0);
    EXPECT_NE(nullptr, empty);
    Deallocate(empty);
}

TEST(Allocation, NullAndZeroSizesAreAccepted) {
    Deallocate(nullptr);
    void* block = Allocate(8);
    void* resized = nullptr;
    EXPECT_NO_THROW(resized = Reallocate(block, 0));
    Deallocate(resized); // realloc may hand back a block even for 0 bytes

    void* fresh = Reallocate(nullptr, 8);
    ASSERT_NE(nullptr, fresh);
    Deallocate(fresh);
}

TEST(Allocation, RefusalsThrowBadAlloc) {
    void* block = Allocate(8);
    {
        FailingHeap heap(0);
        EXPECT_THROW(Allocate(8), std::bad_alloc);
        EXPECT_THROW(Reallocate(block, 32), std::bad_alloc);
    }
    // The block survived the failed resize.
    std::memset(block, 0, 8);
    Deallocate(block);
}

TEST(Allocation, TryReallocateReportsRefusalWithNull) {
    void* block = Allocate(8);
    std::memset(block, 0x5A, 8);
    {
        FailingHeap heap(0);
        EXPECT_EQ(nullptr, TryReallocate(block, 1024));
    }
    EXPECT_EQ(0x5A, static_cast<unsigned char*>(block)[7]);
    void* grown = TryReallocate(block, 1024);
    ASSERT_NE(nullptr, grown);
    EXPECT_EQ(0x5A, static_cast<unsigned char*>(grown)[7]);
    Deallocate(grown);
}

} // namespace
