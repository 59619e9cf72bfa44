#include "corvel/editor/LineRecordCache.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using corvel::LineRecordCache;

namespace {

class RecordCacheTest : public ::testing::Test {
protected:
    bool acquire(int32_t line) {
        bool hit = false;
        cache->acquire(line, &hit);
        return hit;
    }
    // The lines of the slots in use, in slot order.
    std::vector<int32_t> usedLines() const {
        std::vector<int32_t> lines;
        for (int i = 0; i < LineRecordCache::SLOT_COUNT; ++i) {
            if (cache->header(i).stamp != 0)
                lines.push_back(cache->header(i).line);
        }
        return lines;
    }

    std::unique_ptr<LineRecordCache> cache{new LineRecordCache()};
};

TEST_F(RecordCacheTest, TheLeastRecentlyUsedSlotGoesFirst) {
    for (int line = 0; line < LineRecordCache::SLOT_COUNT; ++line)
        EXPECT_FALSE(acquire(line));
    EXPECT_TRUE(acquire(0)); // line 1 is now the oldest
    EXPECT_FALSE(acquire(500));
    EXPECT_EQ(nullptr, cache->find(1));
    EXPECT_NE(nullptr, cache->find(0));
    EXPECT_TRUE(acquire(500));
    EXPECT_EQ(cache->header(1).line, 500);
}

TEST_F(RecordCacheTest, AFreedSlotIsReusedBeforeAnyInUse) {
    for (int line = 0; line < LineRecordCache::SLOT_COUNT; ++line)
        acquire(line);
    cache->dropRange(150, 150);
    EXPECT_FALSE(acquire(1000));
    EXPECT_EQ(cache->header(150).line, 1000);
    EXPECT_NE(nullptr, cache->find(0));
}

TEST_F(RecordCacheTest, TheClockIsRebasedKeepingTheOrderOfUse) {
    cache->setClockForTest(0xFFFFFFFDu);
    acquire(7); // 0xFFFFFFFD
    acquire(8); // 0xFFFFFFFE
    acquire(9); // 0xFFFFFFFF: the rebase follows
    EXPECT_EQ(1u, cache->header(0).stamp);
    EXPECT_EQ(2u, cache->header(1).stamp);
    EXPECT_EQ(3u, cache->header(2).stamp);
    EXPECT_EQ(4u, cache->clock());
    acquire(7);
    EXPECT_EQ(4u, cache->header(0).stamp);
    for (int line = 100; line < 100 + LineRecordCache::SLOT_COUNT - 3; ++line)
        acquire(line);
    acquire(1000); // evicts line 8, now the oldest
    EXPECT_EQ(nullptr, cache->find(8));
    EXPECT_NE(nullptr, cache->find(9));
}

TEST_F(RecordCacheTest, ClearingFreesEverySlotAndRestartsTheClock) {
    acquire(1);
    acquire(2);
    cache->clear();
    EXPECT_TRUE(usedLines().empty());
    EXPECT_EQ(1u, cache->clock());
}

struct RenumberCase {
    const char* name;
    bool insert;
    int32_t a, b; // insert: count, from; remove: first, end
    std::vector<int32_t> expected;
};

::testing::AssertionResult renumbers(const RenumberCase& c) {
    std::unique_ptr<LineRecordCache> cache(new LineRecordCache());
    bool hit = false;
    for (int32_t line : {2, 5, 6, 7, 9, 20})
        cache->acquire(line, &hit);
    if (c.insert)
        cache->insertLines(c.a, c.b);
    else
        cache->removeLines(c.a, c.b);
    std::vector<int32_t> lines;
    for (int i = 0; i < LineRecordCache::SLOT_COUNT; ++i) {
        if (cache->header(i).stamp != 0)
            lines.push_back(cache->header(i).line);
    }
    if (lines == c.expected)
        return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure() << c.name << ": got";
    for (int32_t line : lines)
        failure << ' ' << line;
    return failure;
}

TEST(RecordCacheRenumbering, MovesAndFreesSlots) {
    const RenumberCase cases[] = {
        {"insert two from 6", true, 2, 6, {2, 5, 8, 9, 11, 22}}, {"insert at 0", true, 1, 0, {3, 6, 7, 8, 10, 21}},
        {"insert past all", true, 3, 21, {2, 5, 6, 7, 9, 20}},   {"remove 5..7", false, 5, 7, {2, 7, 18}},
        {"remove none at 6", false, 6, 6, {2, 5, 7, 9, 20}},     {"remove 0..2", false, 0, 2, {3, 4, 5, 7, 18}},
        {"remove past all", false, 30, 40, {2, 5, 6, 7, 9, 20}},
    };
    for (const RenumberCase& c : cases)
        EXPECT_TRUE(renumbers(c));
}

} // namespace
