// The growable array of tags: growth steps, copies, and failed growth.
#include "FailingHeap.h"

#include "tarn/Vector.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <new>
#include <vector>

namespace {

using kr::tarn::Vector;
using kr::tarn::testing::FailingHeap;

std::vector<uint32_t> Elements(const Vector<uint32_t>& tags) {
    return std::vector<uint32_t>(tags.begin(), tags.end());
}

TEST(VectorGrowth, StartsWithoutABlockAndGrowsToTwiceCapacityPlusOne) {
    Vector<uint32_t> tags;
    EXPECT_EQ(nullptr, tags.begin());
    EXPECT_EQ(nullptr, tags.end());
    EXPECT_EQ(0u, tags.capacity());
    EXPECT_TRUE(tags.empty());

    std::vector<uint32_t> capacities;
    std::vector<uint32_t> expected;
    for (uint32_t tag = 0; tag < 16; ++tag) {
        tags.push_back(0x07000000u + tag);
        capacities.push_back(tags.capacity());
        expected.push_back(0x07000000u + tag);
    }
    EXPECT_EQ((std::vector<uint32_t>{1, 3, 3, 7, 7, 7, 7, 15, 15, 15, 15, 15, 15, 15, 15, 31}),
              capacities);
    EXPECT_EQ(expected, Elements(tags));
    EXPECT_EQ(16u, tags.size());
    EXPECT_EQ(0x0700000Fu, tags[15]);
}

TEST(VectorGrowth, ARefusedGrowthLeavesTheArrayAsItWas) {
    Vector<uint32_t> tags;
    tags.push_back(1);
    tags.push_back(2);
    tags.push_back(3);
    {
        FailingHeap heap(0);
        EXPECT_THROW(tags.push_back(4), std::bad_alloc);
    }
    EXPECT_EQ((std::vector<uint32_t>{1, 2, 3}), Elements(tags));
    EXPECT_EQ(3u, tags.capacity());
    tags.push_back(4);
    EXPECT_EQ((std::vector<uint32_t>{1, 2, 3, 4}), Elements(tags));
}

TEST(VectorCopies, AreExactFitsAndIndependent) {
    Vector<uint32_t> tags;
    for (uint32_t tag = 1; tag <= 4; ++tag) {
        tags.push_back(tag);
    }
    Vector<uint32_t> copy(tags);
    EXPECT_EQ(4u, copy.capacity());
    EXPECT_NE(tags.begin(), copy.begin());
    copy.push_back(5);
    EXPECT_EQ((std::vector<uint32_t>{1, 2, 3, 4}), Elements(tags));
    EXPECT_EQ((std::vector<uint32_t>{1, 2, 3, 4, 5}), Elements(copy));

    Vector<uint32_t> moved(std::move(copy));
    EXPECT_EQ(5u, moved.size());
    EXPECT_EQ(nullptr, copy.begin()); // NOLINT: moved-from is empty
    copy = tags;
    EXPECT_EQ((std::vector<uint32_t>{1, 2, 3, 4}), Elements(copy));

    const Vector<uint32_t> empty;
    FailingHeap heap(0); // copying an empty array allocates nothing
    const Vector<uint32_t> emptyCopy(empty);
    EXPECT_EQ(nullptr, emptyCopy.begin());
}

} // namespace
