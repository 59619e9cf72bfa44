#include "corvel/ui/Callback.h"

#include <gtest/gtest.h>

namespace {

bool addTo(void* object, int amount) {
    *static_cast<int*>(object) += amount;
    return true;
}

TEST(CallbackTest, BoundWhenEitherHalfIsSet) {
    int total = 0;
    corvel::Callback<bool(int)> unset;
    EXPECT_FALSE(unset.isBound());
    EXPECT_TRUE((corvel::Callback<bool(int)>(&total, nullptr)).isBound());
    corvel::Callback<bool(int)> bound(&total, &addTo);
    EXPECT_TRUE(bound.isBound());
    EXPECT_TRUE(bound(5));
    EXPECT_EQ(5, total);
    EXPECT_EQ(bound, (corvel::Callback<bool(int)>(&total, &addTo)));
    int other = 0;
    EXPECT_NE(bound, (corvel::Callback<bool(int)>(&other, &addTo)));
}

} // namespace
