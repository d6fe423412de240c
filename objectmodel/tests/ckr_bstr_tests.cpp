#include "objectmodel/CkrBStr.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CkrBStr, NullStaysNullThroughCopies) {
    const CkrBStr empty;
    const CkrBStr copy(empty);
    EXPECT_EQ(copy.str, nullptr) << "a copy of null is null, not an empty string";
    CkrBStr assigned(u"text");
    assigned = empty;
    EXPECT_EQ(assigned.str, nullptr);
    const CkrBStr fromNull(static_cast<const char16_t*>(nullptr));
    EXPECT_EQ(fromNull.str, nullptr);
}

TEST(CkrBStr, CopiesAreOwnedSeparately) {
    CkrBStr original(u"camera");
    CkrBStr copy(original);
    ASSERT_NE(copy.str, original.str);
    original.Empty();
    EXPECT_EQ(std::u16string(copy.str), u"camera");
    EXPECT_EQ(BStrLen(copy.str), 6u);
}

TEST(CkrBStr, DetachHandsTheStringOver) {
    CkrBStr holder(u"abc");
    char16_t* taken = holder.Detach();
    EXPECT_EQ(holder.str, nullptr);
    EXPECT_EQ(std::u16string(taken), u"abc");
    BStrFree(taken);
}

TEST(CkrBStr, AddressDeliversIntoAnEmptiedHolder) {
    CkrBStr holder(u"old");
    char16_t** slot = holder.Address();
    EXPECT_EQ(*slot, nullptr) << "the old string was freed first";
    *slot = BStrAlloc(u"new");
    EXPECT_EQ(std::u16string(holder.str), u"new");
}

} // namespace
