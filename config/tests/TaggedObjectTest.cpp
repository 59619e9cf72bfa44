#include "corvel/config/TaggedObject.h"

#include <gtest/gtest.h>

namespace {

TEST(TaggedObjectTest, RemovingWithoutTagsMakesNoMap) {
    corvel::TaggedObject object;
    EXPECT_FALSE(object.setTag(7, nullptr));
    EXPECT_FALSE(object.removeTag(7));
    EXPECT_EQ(nullptr, object.getTag(7));
    EXPECT_FALSE(object.hasTags());
}

TEST(TaggedObjectTest, SetReplacesAndNullRemoves) {
    int a = 1, b = 2, c = 3;
    corvel::TaggedObject object;
    EXPECT_TRUE(object.setTag(7, &a));
    EXPECT_TRUE(object.setTag(7, &b));
    EXPECT_TRUE(object.setTag(0xFFFFFFFFu, &c));
    EXPECT_EQ(&b, object.getTag(7));
    EXPECT_EQ(&c, object.getTag(0xFFFFFFFFu));
    EXPECT_EQ(nullptr, object.getTag(8));

    EXPECT_TRUE(object.setTag(7, nullptr));
    EXPECT_FALSE(object.setTag(7, nullptr));
    EXPECT_EQ(nullptr, object.getTag(7));
    EXPECT_TRUE(object.removeTag(0xFFFFFFFFu));
    EXPECT_FALSE(object.removeTag(0xFFFFFFFFu));
}

TEST(TaggedObjectTest, ACopyStartsUntagged) {
    int a = 1;
    corvel::TaggedObject object;
    object.setTag(1, &a);
    corvel::TaggedObject copy(object);
    EXPECT_EQ(nullptr, copy.getTag(1));
    EXPECT_EQ(&a, object.getTag(1));
}

} // namespace
