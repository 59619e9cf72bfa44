#include "corvel/ui/moveToIndex.h"

#include <gtest/gtest.h>

namespace {

int a, b, c, x;

::testing::AssertionResult moves(std::vector<int*> items, int* value, size_t index, bool expectedResult,
                                 const std::vector<int*>& expected) {
    bool result = corvel::moveToIndex(items, value, index);
    if (result == expectedResult && items == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "index " << index << ": result " << result << ", order changed wrongly";
}

TEST(moveToIndexTest, MovesWithinTheVector) {
    EXPECT_TRUE(moves({&a, &b, &c}, &a, 2, true, {&b, &a, &c}));
    EXPECT_TRUE(moves({&a, &b, &c}, &c, 0, true, {&c, &a, &b}));
    EXPECT_TRUE(moves({&a, &b, &c}, &b, 1, true, {&a, &b, &c}));
    EXPECT_TRUE(moves({&a, &b, &c}, &a, 3, true, {&b, &c, &a}));
    EXPECT_TRUE(moves({&a, &b}, &a, 5, true, {&b, &a}));
    EXPECT_TRUE(moves({&a, &b}, &x, 0, false, {&a, &b}));
    EXPECT_TRUE(moves({}, &x, 0, false, {}));
}

} // namespace
