#include "corvel/editor/EditorPositionMap.h"
#include "support/EditorText.h"

#include <gtest/gtest.h>

using corvel::EditorPositionMap;
using corvel::TextPosition;

namespace {

const int CELL = uitest::MONO_CELL;

class PositionMapTest : public edtest::CacheFixture {
protected:
    void SetUp() override {
        edtest::CacheFixture::SetUp();
        map.reset(new EditorPositionMap(*cache));
    }

    struct MoveCase {
        int32_t line, offset;
        int code;
        bool allowVirtual;
        int32_t desiredX;
        int32_t toLine, toOffset;
        int toFlag; // -1: not checked
    };
    ::testing::AssertionResult moves(const MoveCase& c) {
        EditorPositionMap::Move move =
            map->computeMove(TextPosition(c.line, c.offset), c.code, c.allowVirtual, c.desiredX, 2);
        const TextPosition& t = move.target;
        if (t.line == c.toLine && t.offset == c.toOffset && (c.toFlag < 0 || t.virtualFlag == c.toFlag))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "code " << c.code << " from (" << c.line << ", " << c.offset << ") gave (" << t.line << ", "
               << t.offset << ", " << int(t.virtualFlag) << ")";
    }

    std::unique_ptr<EditorPositionMap> map;
};

TEST_F(PositionMapTest, CharacterAndWordMoves) {
    bind({L"foo bar", L"", L"x"});
    const MoveCase cases[] = {
        {0, 0, 1, false, 0, 0, 1, 0},  {0, 7, 1, false, 0, 1, 0, 0},  {0, 7, 1, true, 0, 0, 8, -1},
        {2, 1, 1, false, 0, 2, 1, -1}, {5, 3, 1, false, 0, 2, 1, 1},  {5, 3, 1, true, 0, 5, 4, -1},
        {0, 3, 2, false, 0, 0, 2, 0},  {1, 0, 2, false, 0, 0, 7, 1},  {1, 0, 3, false, 0, 1, 0, -1},
        {0, 0, 2, false, 0, 0, 0, -1}, {0, 10, 2, true, 0, 0, 9, -1}, {0, 10, 2, false, 0, 0, 6, -1},
        {5, 0, 2, false, 0, 2, 1, 1},  {5, 0, 2, true, 0, 4, 0, -1},  {0, 0, 4, false, 0, 0, 3, -1},
        {0, 3, 4, false, 0, 0, 4, -1}, {0, 4, 4, false, 0, 0, 7, -1}, {0, 7, 4, false, 0, 1, 0, -1},
        {0, 7, 5, false, 0, 0, 4, -1}, {0, 4, 5, false, 0, 0, 3, -1}, {1, 0, 5, false, 0, 0, 7, 1},
        {1, 0, 6, false, 0, 1, 0, -1}, {5, 0, 5, false, 0, 2, 1, 1},  {0, 5, 17, false, 0, 0, 0, -1},
        {0, 5, 18, false, 0, 2, 1, 1},
    };
    for (const MoveCase& c : cases)
        EXPECT_TRUE(moves(c));
}

TEST_F(PositionMapTest, SmartHomeAndEndCycle) {
    bind({L"    abc", L"abc   "});
    const MoveCase cases[] = {
        {0, 6, 12, false, 0, 0, 4, -1}, {0, 4, 12, false, 0, 0, 0, -1}, {0, 0, 12, false, 0, 0, 4, -1},
        {1, 0, 11, false, 0, 1, 3, -1}, {1, 3, 11, false, 0, 1, 6, -1}, {1, 6, 11, false, 0, 1, 3, 0},
    };
    for (const MoveCase& c : cases)
        EXPECT_TRUE(moves(c));
}

TEST_F(PositionMapTest, SmartMovesStopAtWrappedRowEdges) {
    // 40 letters wrapping at 30 cells: rows [0, 30) and [30, 40).
    bind({std::wstring(40, L'a')}, 30);
    const MoveCase cases[] = {
        {0, 5, 11, false, 0, 0, 30, 1},
        {0, 30, 11, false, 0, 0, 40, -1},
        {0, 35, 12, false, 0, 0, 30, 0},
        {0, 30, 12, false, 0, 0, 0, -1},
    };
    for (const MoveCase& c : cases)
        EXPECT_TRUE(moves(c));
}

TEST_F(PositionMapTest, RowMovesKeepTheDesiredX) {
    bind({L"abcdef", L"ab", L"abcdefgh"});
    const MoveCase cases[] = {
        {0, 5, 8, false, 5 * CELL, 1, 2, -1},  {1, 2, 8, false, 5 * CELL, 2, 5, -1},
        {1, 2, 8, true, 5 * CELL, 2, 5, -1},   {0, 5, 8, true, 5 * CELL, 1, 5, -1},
        {2, 5, 8, false, 5 * CELL, 2, 8, 1},   {2, 9, 8, true, 9 * CELL, 2, 9, -1},
        {0, 3, 7, false, 3 * CELL, 0, 0, -1},  {2, 3, 7, false, 3 * CELL, 1, 2, -1},
        {0, 1, 10, false, 1 * CELL, 2, 1, -1}, {2, 1, 9, false, 1 * CELL, 0, 1, -1},
        {1, 1, 10, false, 1 * CELL, 2, 8, 1},
    };
    for (const MoveCase& c : cases)
        EXPECT_TRUE(moves(c));
}

TEST_F(PositionMapTest, RowMovesWalkWrappedRows) {
    context->setContinuationIndent(false); // rows start at x 0
    bind({std::wstring(40, L'a'), L"b"}, 30);
    const MoveCase cases[] = {
        {0, 5, 8, false, 5 * CELL, 0, 35, 0},
        {0, 35, 8, false, 5 * CELL, 1, 1, -1},
        {1, 0, 7, false, 2 * CELL, 0, 32, 0},
        {0, 32, 7, false, 2 * CELL, 0, 2, 0},
    };
    for (const MoveCase& c : cases)
        EXPECT_TRUE(moves(c));
}

TEST_F(PositionMapTest, PositionsAndXBothWays) {
    context->setContinuationIndent(false); // rows start at x 0
    bind({L"abcdef", std::wstring(40, L'a')}, 30);
    int32_t row = -1;
    EXPECT_EQ(3 * CELL, map->getXAtPosition(TextPosition(0, 3), true, nullptr));
    EXPECT_EQ(9 * CELL, map->getXAtPosition(TextPosition(0, 9), true, nullptr)); // three columns beyond the end
    EXPECT_EQ(5 * CELL, map->getXAtPosition(TextPosition(1, 35), false, &row));
    EXPECT_EQ(1, row);
    EXPECT_EQ(35 * CELL, map->getXAtPosition(TextPosition(1, 35), true, nullptr));
    EXPECT_EQ(30 * CELL, map->getXAtPosition(TextPosition(1, 30, 1), false, &row));
    EXPECT_EQ(0, row);
    EXPECT_EQ(4 * context->averageCharWidth(), map->getXAtPosition(TextPosition(7, 4), false, nullptr));

    TextPosition out;
    map->getPositionAtX(-5, 1, 0, out, true, false);
    EXPECT_EQ(TextPosition(1, 0, 0), out);
    map->getPositionAtX(3 * CELL + 2, 0, 0, out, false, true);
    EXPECT_EQ(3, out.offset);
    map->getPositionAtX(9 * CELL, 0, 0, out, true, true);
    EXPECT_EQ(9, out.offset);
    map->getPositionAtX(9 * CELL, 0, 0, out, false, true);
    EXPECT_EQ(6, out.offset);
    map->getPositionAtX(4 * CELL, 1, 1, out, false, false);
    EXPECT_EQ(34, out.offset);
    map->getPositionAtX(4 * CELL + 7, 5, 0, out, true, false);
    EXPECT_EQ(TextPosition(5, 5, 0), out);
    map->getPositionAtX(4 * CELL, 5, 0, out, false, false);
    EXPECT_EQ(TextPosition(1, 40, 1), out);
}

TEST_F(PositionMapTest, DoubleClickSelectsTheWordUnderThePosition) {
    bind({L"foo bar baz"});
    struct Case {
        int32_t offset, start, end;
    };
    const Case cases[] = {{0, 0, 3}, {1, 0, 3}, {4, 4, 7}, {6, 4, 7}, {3, 3, 4}, {11, 8, 11}};
    for (const Case& c : cases) {
        TextPosition start, end;
        map->selectWordAt(TextPosition(0, c.offset), start, end);
        EXPECT_EQ(c.start, start.offset) << c.offset;
        EXPECT_EQ(c.end, end.offset) << c.offset;
    }
}

TEST_F(PositionMapTest, AnUnboundMapLeavesPositionsAlone) {
    EXPECT_EQ(0, map->getXAtPosition(TextPosition(2, 3), true, nullptr));
    for (int code : {1, 2, 4, 5, 7, 8, 11, 12, 18}) {
        EditorPositionMap::Move move = map->computeMove(TextPosition(2, 3), code, true, 0, 5);
        EXPECT_EQ(TextPosition(2, 3), move.target) << code;
    }
}

} // namespace
