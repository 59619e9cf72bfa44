#include "support/EditorText.h"

#include "zem/base/Exception.h"

#include <gtest/gtest.h>

using corvel::LineCache;
using corvel::SubLineIterator;

namespace {

class LineCacheTest : public edtest::CacheFixture {};

// 40 cells wrapping at 30 give two rows; 70 give three.
std::vector<std::wstring> wrappedLines() {
    return {L"short", std::wstring(40, L'a'), L"", std::wstring(70, L'b'), L"end"};
}

TEST_F(LineCacheTest, LinesOutsideTheDocumentAreNull) {
    EXPECT_EQ(nullptr, cache->getLine(0)); // unbound
    bind({L"one", L"two"});
    EXPECT_EQ(nullptr, cache->getLine(-1));
    EXPECT_EQ(nullptr, cache->getLine(2));
    ASSERT_NE(nullptr, cache->getLine(1));
    EXPECT_EQ(L"two", cache->getLine(1)->text());
    EXPECT_EQ(1, cache->getSubLineCount(-1, true));
    EXPECT_EQ(0, cache->getSubLineCount(-1, false));
    EXPECT_EQ(0, cache->getSubLineCount(2, false));
}

TEST_F(LineCacheTest, ALineIsLaidOutOnceUntilInvalidated) {
    bind({L"\tab  ", L"x"});
    corvel::afUnicode* line = cache->getLine(0);
    ASSERT_NE(nullptr, line);
    EXPECT_EQ(4, line->indent());
    EXPECT_EQ(1, line->leadingWhitespaceEnd());
    EXPECT_EQ(3, line->trailingWhitespaceStart());
    cache->getLine(0);
    EXPECT_EQ(1, text.reads);
    cache->invalidateRange(5, -3); // clamped and ordered: both lines
    cache->getLine(0);
    EXPECT_EQ(2, text.reads);
}

TEST_F(LineCacheTest, WithoutWrapRowsAreLineArithmetic) {
    bind(std::vector<std::wstring>(20, L"text"));
    EXPECT_EQ(-7, cache->distance(cache->makeIterator(10, 0), cache->makeIterator(3, 0)));
    SubLineIterator it = cache->makeIterator(3, 0);
    it.advance(5);
    EXPECT_EQ(8, it.line);
    it.retreat(-2);
    EXPECT_EQ(10, it.line);
    EXPECT_EQ(0, text.reads);
}

TEST_F(LineCacheTest, EntriesCountRowsOfWrappedLines) {
    bind(wrappedLines(), 30);
    EXPECT_EQ(1, cache->getSubLineCount(0, false));
    EXPECT_EQ(2, cache->getSubLineCount(1, false));
    EXPECT_EQ(3, cache->getSubLineCount(3, false));
    EXPECT_EQ(2, cache->getLineEntry(1).subLineCount);
    EXPECT_EQ(40 * uitest::MONO_CELL, cache->getLineEntry(1).width);
    SubLineIterator end = cache->end();
    EXPECT_EQ(4, end.line);
    EXPECT_EQ(7, cache->distance(cache->begin(), end)); // one past the last row clamps onto it
}

struct StepCase {
    int32_t line, subLine, n;
    bool forward;
    int32_t toLine, toSubLine;
};

TEST_F(LineCacheTest, IteratorsStepRowByRow) {
    bind(wrappedLines(), 30);
    const StepCase cases[] = {
        {0, 0, 1, true, 1, 0},   {0, 0, 2, true, 1, 1},  {0, 0, 3, true, 2, 0},   {1, 1, 2, true, 3, 0},
        {3, 0, 4, true, 5, 0},   {4, 0, 3, true, 7, 0},  {3, 9, 1, true, 4, 0},   {4, 0, 1, false, 3, 2},
        {3, 0, 3, false, 1, 0},  {2, 0, 3, false, 0, 0}, {0, 0, 2, false, -2, 0}, {1, 0, -2, true, -1, 0},
        {3, 2, -1, false, 4, 0}, {7, 0, 2, false, 5, 0},
    };
    for (const StepCase& c : cases) {
        SubLineIterator it = cache->makeIterator(c.line, c.subLine);
        if (c.forward)
            it.advance(c.n);
        else
            it.retreat(c.n);
        EXPECT_EQ(c.toLine, it.line) << c.line << "," << c.subLine << (c.forward ? " +" : " -") << c.n;
        EXPECT_EQ(c.toSubLine, it.subLine) << c.line << "," << c.subLine << (c.forward ? " +" : " -") << c.n;
    }
    EXPECT_EQ(-5, cache->distance(cache->makeIterator(3, 2), cache->makeIterator(1, 0)));
    EXPECT_TRUE(cache->makeIterator(3, 9) == cache->makeIterator(3, 2));
    EXPECT_TRUE(cache->makeIterator(1, 1) < cache->makeIterator(2, 0));
}

TEST_F(LineCacheTest, NormalisingPullsRowsIntoTheDocument) {
    bind(wrappedLines(), 30);
    SubLineIterator before = cache->makeIterator(-3, 1);
    EXPECT_EQ(SubLineIterator::BEFORE, before.state());
    EXPECT_TRUE(before.normalise());
    EXPECT_EQ(0, before.line);
    EXPECT_EQ(0, before.subLine);
    SubLineIterator after = cache->makeIterator(9, 0);
    EXPECT_EQ(SubLineIterator::AFTER, after.state());
    EXPECT_TRUE(after.normalise());
    EXPECT_EQ(4, after.line);
    EXPECT_EQ(0, after.clampedSubLine());
    SubLineIterator inside = cache->makeIterator(3, 1);
    EXPECT_FALSE(inside.normalise());
}

TEST_F(LineCacheTest, InsertedLinesMoveLaterRecords) {
    std::vector<std::wstring> lines;
    for (int i = 0; i < 12; ++i)
        lines.push_back(L"line " + std::to_wstring(i));
    bind(lines);
    for (int i = 0; i < 12; ++i)
        cache->getLine(i);
    text.lines.insert(text.lines.begin() + 6, {L"new a", L"new b"});
    text.lines[5] = L"line 5 changed";
    cache->insertLines(5, 2);
    EXPECT_EQ(14, cache->getLineCount());
    int reads = text.reads;
    EXPECT_EQ(L"line 6", cache->getLine(8)->text());
    EXPECT_EQ(L"line 11", cache->getLine(13)->text());
    EXPECT_EQ(reads, text.reads);
    EXPECT_EQ(L"line 5 changed", cache->getLine(5)->text());
    EXPECT_EQ(reads + 1, text.reads);

    text.lines.erase(text.lines.begin() + 6, text.lines.begin() + 8);
    cache->removeLines(5, 2);
    EXPECT_EQ(12, cache->getLineCount());
    EXPECT_EQ(L"line 11", cache->getLine(11)->text());
    EXPECT_EQ(L"line 4", cache->getLine(4)->text());
    EXPECT_EQ(reads + 1, text.reads);
}

TEST_F(LineCacheTest, InvalidationForgetsRowCounts) {
    bind(wrappedLines(), 30);
    EXPECT_EQ(3, cache->getSubLineCount(3, false));
    text.lines[3] = L"b";
    cache->invalidateFrom(2);
    EXPECT_EQ(1, cache->getSubLineCount(3, false));
    text.lines[1] = L"a";
    cache->invalidateUpTo(1);
    EXPECT_EQ(1, cache->getSubLineCount(1, false));
    text.lines[4] = std::wstring(35, L'c');
    cache->invalidateAll();
    EXPECT_EQ(2, cache->getSubLineCount(4, false));
}

TEST_F(LineCacheTest, TheWidestLineIsReportedInSpaceWidths) {
    struct Widths {
        static void take(void* data, int32_t columns) { static_cast<std::vector<int32_t>*>(data)->push_back(columns); }
    };
    std::vector<int32_t> reported;
    cache->setWidthCallback(&reported, &Widths::take);
    bind({L"abc", L"a", std::wstring(12, L'x'), L"abcde"});
    for (int i = 0; i < 4; ++i)
        cache->getLine(i);
    EXPECT_EQ((std::vector<int32_t>{3, 12}), reported);
    EXPECT_EQ(12, cache->getWidestLine());
}

TEST_F(LineCacheTest, SelectionChangesOnlyMarkRecordsForRestyle) {
    bind({L"a", L"b", L"c", L"d"});
    for (int i = 0; i < 4; ++i)
        cache->getLine(i)->setRestyleMark(false);
    cache->markDirty(9, 2);
    EXPECT_FALSE(cache->getLine(1)->needsRestyle());
    EXPECT_TRUE(cache->getLine(2)->needsRestyle());
    EXPECT_TRUE(cache->getLine(3)->needsRestyle());
    EXPECT_EQ(4, text.reads);
}

} // namespace

namespace {

class FailingLines : public edtest::TextLines {
public:
    void readLine(int32_t line, corvel::afUnicode& record) override {
        if (line == failing)
            throw zem::IllegalStateException(L"Unicode processing failed.");
        TextLines::readLine(line, record);
    }
    int32_t failing = -1;
};

TEST_F(LineCacheTest, AFailedLineLeavesNoSlotBehind) {
    FailingLines failing;
    failing.lines = {L"a", L"b"};
    failing.failing = 1;
    cache->setSource(&failing);
    EXPECT_THROW(cache->getLine(1), zem::IllegalStateException);
    EXPECT_EQ(nullptr, cache->records().find(1));
    failing.failing = -1;
    ASSERT_NE(nullptr, cache->getLine(1));
    EXPECT_EQ(L"b", cache->getLine(1)->text());
}

} // namespace
