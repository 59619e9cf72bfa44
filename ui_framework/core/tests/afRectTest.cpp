#include "corvel/ui/afRect.h"

#include <gtest/gtest.h>

using corvel::afRect;

namespace {

::testing::AssertionResult isRect(const afRect& actual, LONG l, LONG t, LONG r, LONG b) {
    if (actual.left == l && actual.top == t && actual.right == r && actual.bottom == b)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << actual.left << ", " << actual.top << ", " << actual.right << ", "
                                         << actual.bottom << "), expected (" << l << ", " << t << ", " << r << ", " << b
                                         << ")";
}

TEST(afRectTest, ResizingOperations) {
    afRect r(10, 20, 30, 40);
    r.offset(-5, 5);
    EXPECT_TRUE(isRect(r, 5, 25, 25, 45));
    r.deflate(2, 3);
    EXPECT_TRUE(isRect(r, 7, 28, 23, 42));
    r.deflate(-1);
    EXPECT_TRUE(isRect(r, 6, 27, 24, 43));
    r.deflate(1, 2, 3, 4);
    EXPECT_TRUE(isRect(r, 7, 29, 21, 39));
    r.applyInsets(RECT{1, 2, 3, 4}, true);
    EXPECT_TRUE(isRect(r, 6, 27, 24, 43));
    r.applyInsets(RECT{1, 2, 3, 4}, false);
    EXPECT_TRUE(isRect(r, 7, 29, 21, 39));
    r.setSize(5, 6);
    EXPECT_TRUE(isRect(r, 7, 29, 12, 35));
    r.moveTo(-3, 4);
    EXPECT_TRUE(isRect(r, -3, 4, 2, 10));
    EXPECT_TRUE(r.sameSize(afRect(0, 0, 5, 6)));
    EXPECT_FALSE(r.sameSize(afRect(0, 0, 6, 5)));
}

TEST(afRectTest, ContainsIncludesBothEnds) {
    afRect r(0, 0, 10, 10);
    EXPECT_TRUE(r.contains(10, 10));
    EXPECT_TRUE(r.contains(0, 0));
    EXPECT_FALSE(r.contains(11, 5));
    EXPECT_FALSE(r.contains(5, -1));
}

TEST(afRectTest, IntersectLeavesTheRectangleWhenApart) {
    afRect r(0, 0, 10, 10);
    EXPECT_FALSE(r.intersect(afRect(20, 20, 30, 30)));
    EXPECT_TRUE(isRect(r, 0, 0, 10, 10));
    EXPECT_FALSE(r.intersect(afRect(10, 0, 20, 10))); // touching edges share no pixel
    EXPECT_TRUE(r.intersect(afRect(5, -5, 20, 7)));
    EXPECT_TRUE(isRect(r, 5, 0, 10, 7));
    afRect big(-5, -5, 50, 50);
    EXPECT_TRUE(big.clipTo(20, 30));
    EXPECT_TRUE(isRect(big, 0, 0, 20, 30));
}

TEST(afRectTest, CenterIn) {
    afRect a(0, 0, 3, 3);
    a.centerIn(afRect(0, 0, 10, 10));
    EXPECT_TRUE(isRect(a, 3, 3, 6, 6));
    afRect b(0, 0, 4, 4);
    b.centerIn(afRect(0, 0, 9, 9));
    EXPECT_TRUE(isRect(b, 2, 2, 6, 6));
    afRect larger(0, 0, 5, 5); // rounds toward minus infinity
    larger.centerIn(afRect(10, 10, 12, 12));
    EXPECT_TRUE(isRect(larger, 8, 8, 13, 13));
}

TEST(afRectTest, KeepInside) {
    afRect a(90, 90, 130, 130);
    a.keepInside(afRect(0, 0, 100, 100));
    EXPECT_TRUE(isRect(a, 60, 60, 100, 100));
    afRect b(-10, 5, 200, 20);
    b.keepInside(afRect(0, 0, 100, 100));
    EXPECT_TRUE(isRect(b, 0, 5, 210, 20));
    afRect c(20, 20, 30, 30);
    c.keepInside(afRect(0, 0, 100, 100));
    EXPECT_TRUE(isRect(c, 20, 20, 30, 30));
}

TEST(afRectTest, Compare) {
    EXPECT_EQ(0, afRect::compare(afRect(1, 2, 3, 4), afRect(1, 2, 3, 4)));
    EXPECT_NE(0, afRect::compare(afRect(1, 2, 3, 4), afRect(1, 2, 3, 5)));
    EXPECT_TRUE(afRect().isEmpty());
}

} // namespace
