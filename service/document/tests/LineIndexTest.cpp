#include "corvel/document/LineIndex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Drives a line index the way a document does, keeping the text beside it.
class IndexedText {
public:
    corvel::LineIndex index;
    std::wstring text;

    void insert(int32_t offset, const std::wstring& units) {
        std::vector<int32_t> breaks;
        for (size_t i = 0; i < units.size(); ++i) {
            if (units[i] == L'\n')
                breaks.push_back(static_cast<int32_t>(i + 1));
        }
        corvel::TextChange change;
        change.offset = offset;
        change.count = static_cast<int32_t>(units.size());
        change.line = index.getLineOfOffset(offset);
        change.lineBreaks = static_cast<int32_t>(breaks.size());
        change.breakOffsets = breaks.data();
        text.insert(offset, units);
        index.insert(change);
    }

    void remove(int32_t offset, int32_t count) {
        corvel::TextChange change;
        change.offset = offset;
        change.count = count;
        change.line = index.getLineOfOffset(offset);
        change.lineBreaks = index.getLineOfOffset(offset + count) - change.line;
        text.erase(offset, count);
        index.remove(change);
    }

    std::vector<int32_t> lineEnds() const {
        std::vector<int32_t> ends;
        for (int32_t line = 0; line < index.getLineCount(); ++line)
            ends.push_back(index.getLineEnd(line));
        return ends;
    }

    // The line ends a fresh count of the text gives.
    std::vector<int32_t> expectedEnds() const {
        std::vector<int32_t> ends;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == L'\n')
                ends.push_back(static_cast<int32_t>(i + 1));
        }
        ends.push_back(static_cast<int32_t>(text.size()));
        return ends;
    }
};

TEST(LineIndexTest, EmptyIndexHasOneDirtyLine) {
    corvel::LineIndex index;
    EXPECT_EQ(1, index.getLineCount());
    EXPECT_EQ(0, index.getLineEnd(0));
    EXPECT_EQ(255, index.getSlotOfLine(0));
    EXPECT_EQ(corvel::LINE_DIRTY, index.getHeader(0)->flags);
    EXPECT_EQ(255, index.getFreeSlots().size());
}

struct OffsetCase {
    int32_t offset;
    int32_t line;
};

TEST(LineIndexTest, LineOfOffset) {
    IndexedText t;
    t.insert(0, L"ab\ncd\n\nef"); // line ends 3, 6, 7, 9
    const OffsetCase cases[] = {{-5, 0}, {0, 0}, {2, 0}, {3, 1}, {5, 1}, {6, 2}, {7, 3}, {8, 3}, {9, 3}, {50, 3}};
    for (const OffsetCase& c : cases)
        EXPECT_EQ(c.line, t.index.getLineOfOffset(c.offset)) << "offset " << c.offset;
    EXPECT_EQ(0, t.index.getLineStart(0));
    EXPECT_EQ(6, t.index.getLineStart(2));
    EXPECT_EQ(9, t.index.getLineStart(4));
}

TEST(LineIndexTest, InsertingAtALineStartPutsNewHeadersBeforeTheOldOne) {
    IndexedText t;
    t.insert(0, L"hello");
    t.insert(0, L"x\ny\n");
    EXPECT_EQ((std::vector<int32_t>{2, 4, 9}), t.lineEnds());
    EXPECT_EQ(0, t.index.getSlotOfLine(0));
    EXPECT_EQ(1, t.index.getSlotOfLine(1));
    EXPECT_EQ(255, t.index.getSlotOfLine(2)); // the old header follows "hello"
}

TEST(LineIndexTest, InsertingInsideALinePutsNewHeadersAfterIt) {
    IndexedText t;
    t.insert(0, L"hello");
    t.insert(2, L"\n");
    EXPECT_EQ((std::vector<int32_t>{3, 6}), t.lineEnds());
    EXPECT_EQ(255, t.index.getSlotOfLine(0));
    EXPECT_EQ(0, t.index.getSlotOfLine(1));
}

TEST(LineIndexTest, RemovingEverythingRecyclesTheSlotsLast) {
    IndexedText t;
    t.insert(0, L"a\nb\nc");
    t.index.getHeader(1)->markers = new std::vector<corvel::LineMarker>(1);
    t.remove(0, 5);
    EXPECT_EQ((std::vector<int32_t>{0}), t.lineEnds());
    const corvel::IntList& free = t.index.getFreeSlots();
    // Removal at the line start releases lines 0 and 1, whose slots were 0 and 1.
    EXPECT_EQ(0, free[free.size() - 2]);
    EXPECT_EQ(1, free[free.size() - 1]);
    EXPECT_EQ(nullptr, t.index.getHeader(0)->markers);
}

// Random insertions and removals; one unit in newlineShare of the inserted ones is a
// line break, and with lineLocal the removals stay inside a line, as typing does.
::testing::AssertionResult keepsLineEnds(IndexedText& t, uint32_t newlineShare, bool lineLocal) {
    uint32_t seed = 12345;
    auto next = [&seed]() { return (seed = seed * 1103515245 + 12345) >> 8; };
    for (int step = 0; step < 2000; ++step) {
        const int32_t length = static_cast<int32_t>(t.text.size());
        const int32_t offset = static_cast<int32_t>(next() % (length + 1));
        if (next() % 3 != 0 || length == 0) {
            std::wstring piece;
            const int pieceLength = next() % 12;
            for (int i = 0; i < pieceLength; ++i)
                piece += next() % newlineShare == 0 ? L'\n' : L'q';
            t.insert(offset, piece);
        } else if (lineLocal) {
            const int32_t lineEnd = t.index.getLineEnd(t.index.getLineOfOffset(offset));
            const int32_t room = std::max(0, lineEnd - offset - 1);
            t.remove(offset, static_cast<int32_t>(next() % (room + 1)));
        } else {
            t.remove(offset, static_cast<int32_t>(next() % (length - offset + 1)));
        }
        if (t.expectedEnds() != t.lineEnds())
            return ::testing::AssertionFailure() << "line ends differ after step " << step;
    }
    return ::testing::AssertionSuccess();
}

TEST(LineIndexTest, RandomEditsKeepTheLineEnds) {
    IndexedText anywhere;
    EXPECT_TRUE(keepsLineEnds(anywhere, 3, false));
    IndexedText insideLines;
    insideLines.insert(0, std::wstring(400, L'\n'));
    EXPECT_TRUE(keepsLineEnds(insideLines, 50, true));
}

TEST(LineIndexTest, CapacityMovesInStepsOf256WithSlack) {
    IndexedText t;
    t.insert(0, std::wstring(300, L'\n'));
    EXPECT_EQ(512, t.index.getLineEndsCapacity());
    EXPECT_EQ(301, t.index.getLineCount());
    EXPECT_EQ(768, t.index.getSlotCount()); // 255 free slots, 300 wanted: 256 + 300 rounded up
    t.insert(0, std::wstring(1000, L'\n'));
    EXPECT_EQ(1536, t.index.getLineEndsCapacity());
    t.remove(0, 700); // 601 lines remain: 935 spare, more than 512
    EXPECT_EQ(1024, t.index.getLineEndsCapacity());
    t.remove(0, 200); // 401 lines remain in 1024: 623 spare
    EXPECT_EQ(768, t.index.getLineEndsCapacity());
}

TEST(LineIndexTest, MarkLinesSetsBothBitsAndClearsOnlyTheEditedOne) {
    IndexedText t;
    t.insert(0, L"a\nb\nc\nd\ne");
    t.index.markLines(-1, 3, true); // a negative first counts from 0: lines 0 to 2
    t.index.markLines(1, 100, false);
    EXPECT_EQ(corvel::LINE_DIRTY | corvel::LINE_EDITED, t.index.getHeader(0)->flags);
    EXPECT_EQ(corvel::LINE_DIRTY, t.index.getHeader(2)->flags);
    EXPECT_EQ(0, t.index.getHeader(3)->flags);
}

} // namespace
