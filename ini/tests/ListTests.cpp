// List and MemBlock storage: the header, exact growth, the position rules
// and searching.
#include "IniTestSupport.h"

#include "ini/List.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

struct ListOfInts {
    ListOfInts() { EXPECT_EQ(ListInit(&list, sizeof(int32_t)), 0); }
    ~ListOfInts() { ListFree(&list); }
    const ListHeader* header() const { return static_cast<const ListHeader*>(list.block.data); }
    std::vector<int32_t> contents() const {
        std::vector<int32_t> values;
        for (uint32_t position = 1; position <= ListCount(&list); ++position)
            values.push_back(*static_cast<int32_t*>(ListElement(&list, int32_t(position))));
        return values;
    }
    List list;
};

using Ints = std::vector<int32_t>;

int compareInt(const void* key, const void* element) {
    return *static_cast<const int32_t*>(key) != *static_cast<const int32_t*>(element);
}

TEST(ListStorage, TheBlockStartsWithItsHeader) {
    ListOfInts ints;
    EXPECT_EQ(memcmp(ints.header()->magic, "LIST", 4), 0);
    EXPECT_EQ(ints.header()->elementSize, 4u);
    EXPECT_EQ(ints.header()->count, 0u);
    EXPECT_EQ(ints.header()->capacity, 0u);
    ListFree(&ints.list);
    EXPECT_EQ(ListInit(&ints.list, 0), kIniStatusInvalid);
    EXPECT_EQ(ints.list.block.data, nullptr);
    EXPECT_EQ(ListInit(&ints.list, 4), 0);
}

TEST(ListStorage, CapacityGrowsByExactlyWhatIsInserted) {
    ListOfInts ints;
    const int32_t values[] = {1, 2, 3};
    ASSERT_EQ(ListInsert(&ints.list, 0, values, 1), 0);
    EXPECT_EQ(ints.header()->capacity, 1u);
    ASSERT_EQ(ListInsert(&ints.list, 0, values + 1, 2), 0);
    EXPECT_EQ(ints.header()->capacity, 3u);
    EXPECT_EQ(ints.list.block.size, sizeof(ListHeader) + 3 * sizeof(int32_t));
    EXPECT_EQ(ints.contents(), (Ints{1, 2, 3}));
}

TEST(ListStorage, PositionsZeroAndMinusOneMeanLastAndFirst) {
    ListOfInts ints;
    const int32_t values[] = {10, 20, 30, 40};
    ListInsert(&ints.list, 0, values, 1);      // 10
    ListInsert(&ints.list, -1, values + 1, 1); // 20 10
    ListInsert(&ints.list, 2, values + 2, 1);  // 20 30 10
    ListInsert(&ints.list, 4, values + 3, 1);  // 20 30 10 40
    EXPECT_EQ(ints.contents(), (Ints{20, 30, 10, 40}));
    EXPECT_EQ(*static_cast<int32_t*>(ListElement(&ints.list, 0)), 40);
    EXPECT_EQ(*static_cast<int32_t*>(ListElement(&ints.list, -1)), 20);
    EXPECT_EQ(ListElement(&ints.list, 5), nullptr);
    EXPECT_EQ(ListElement(&ints.list, -2), nullptr);
    EXPECT_EQ(ListInsert(&ints.list, 6, values, 1), kIniStatusInvalid);

    EXPECT_EQ(ListRemove(&ints.list, 2, 2), 0);
    EXPECT_EQ(ints.contents(), (Ints{20, 40}));
    EXPECT_EQ(ListRemove(&ints.list, 0, 1), 0);
    EXPECT_EQ(ints.contents(), (Ints{20}));
    EXPECT_EQ(ListRemove(&ints.list, 1, 2), kIniStatusInvalid);
    EXPECT_EQ(ints.contents(), (Ints{20}));
}

TEST(ListStorage, SearchFindsTheFirstMatchFromItsStart) {
    ListOfInts ints;
    const int32_t values[] = {5, 7, 5, 9};
    ListInsert(&ints.list, 0, values, 4);
    const int32_t five = 5;
    const int32_t absent = 6;
    EXPECT_EQ(ListSearch(&ints.list, -1, &five, compareInt), 1);
    EXPECT_EQ(ListSearch(&ints.list, 2, &five, compareInt), 3);
    EXPECT_EQ(ListSearch(&ints.list, 0, &five, compareInt), 0) << "0 starts at the last";
    EXPECT_EQ(ListSearch(&ints.list, -1, &absent, compareInt), 0);
    EXPECT_EQ(ListSearch(&ints.list, 9, &five, compareInt), 0);
    const int32_t nine = 9;
    EXPECT_EQ(ListSearch(&ints.list, 1, &nine, nullptr), 4) << "bytewise without a function";
    EXPECT_EQ(gListMemBlockCompareSize, 4u);
}

TEST(ListStorage, AFailedGrowthLeavesTheListAsItWas) {
    ListOfInts ints;
    const int32_t values[] = {1, 2};
    ListInsert(&ints.list, 0, values, 1);
    {
        CountingAllocator refuseAll(0);
        EXPECT_EQ(ListInsert(&ints.list, 0, values + 1, 1), kIniStatusNoMemory);
    }
    EXPECT_EQ(ints.contents(), (Ints{1}));
    EXPECT_EQ(ints.header()->capacity, 1u);
}

TEST(MemBlockStorage, GrowthIsZeroFilledAndShrinkingKeepsTheStart) {
    MemBlock block;
    MemBlockInit(&block);
    ASSERT_EQ(MemBlockResize(&block, 4), 0);
    memcpy(block.data, "abcd", 4);
    ASSERT_EQ(MemBlockResize(&block, 64), 0);
    const char* bytes = static_cast<const char*>(block.data);
    EXPECT_EQ(memcmp(bytes, "abcd", 4), 0);
    for (size_t i = 4; i < 64; ++i)
        ASSERT_EQ(bytes[i], 0) << "byte " << i;
    ASSERT_EQ(MemBlockResize(&block, 2), 0);
    EXPECT_EQ(memcmp(block.data, "ab", 2), 0);
    EXPECT_EQ(MemBlockResize(&block, 0), 0);
    EXPECT_EQ(block.data, nullptr);
    EXPECT_EQ(block.size, 0u);
}

} // namespace
