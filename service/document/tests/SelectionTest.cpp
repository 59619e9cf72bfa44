#include "corvel/document/Selection.h"
#include "corvel/document/SelectionBehaviorRectangle.h"
#include "corvel/document/SelectionRange.h"
#include "support/ControllerFixture.h"

#include "support/BytesStream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using corvel::DocumentController;
using corvel::Selection;
using corvel::SelectionRange;
using corvel::TextPosition;

using BytesStream = documenttest::BytesStream;

struct MergeCase {
    std::vector<std::pair<int32_t, int32_t>> entered;
    std::string expected; // "(anchor,caret)..." in start order
};

::testing::AssertionResult mergesTo(const MergeCase& c) {
    corvel::SelectionRangeMap map;
    int32_t sequence = 1;
    for (const auto& range : c.entered)
        corvel::addSelectionRange(map, true, range.first, range.second, sequence++);
    std::string actual;
    for (const auto& entry : map)
        actual += "(" + std::to_string(entry.second.anchor) + "," + std::to_string(entry.second.caret) + ")";
    if (actual == c.expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << actual << ", expected " << c.expected;
}

TEST(SelectionRangeTest, OverlappingAndTouchingRangesMerge) {
    const MergeCase cases[] = {
        {{{2, 5}, {5, 9}}, "(2,9)"},      {{{6, 8}, {10, 5}}, "(10,5)"},
        {{{1, 2}, {4, 6}}, "(1,2)(4,6)"}, {{{1, 2}, {4, 6}, {8, 9}, {2, 8}}, "(1,9)"},
        {{{3, 3}, {3, 3}}, "(3,3)"},
    };
    for (const MergeCase& c : cases)
        EXPECT_TRUE(mergesTo(c));
}

class SelectionTest : public documenttest::ControllerFixture {
protected:
    std::string ranges() {
        controller->beginEdit(DocumentController::EDIT_READ);
        std::string out;
        for (const SelectionRange& r : selection()->getRanges())
            out += "(" + std::to_string(r.anchor) + "," + std::to_string(r.caret) + ")";
        controller->endEdit();
        return out;
    }
};

TEST_F(SelectionTest, KindsOfSelection) {
    setText(L"abc\ndef\nghi");
    EXPECT_EQ(Selection::KIND_NOTHING, selection()->getKind());
    EXPECT_TRUE(selection()->isEmpty());
    selectOffsets(0, 2);
    EXPECT_EQ(Selection::ID_NORMAL, selection()->getKind());
    controller->beginEdit(DocumentController::EDIT_READ);
    selection()->addSelection(TextPosition(1, 0), TextPosition(1, 2), Selection::ID_NORMAL);
    EXPECT_EQ(Selection::ID_NORMAL, selection()->getKind());
    documenttest::FakeEditor editor;
    controller->setEditor(&editor);
    selection()->addSelection(TextPosition(2, 0), TextPosition(2, 2), Selection::ID_RECTANGLE);
    EXPECT_EQ(Selection::KIND_MIXED, selection()->getKind());
    selection()->collapse();
    EXPECT_EQ(Selection::KIND_NOTHING, selection()->getKind());
    EXPECT_EQ(Selection::ID_NORMAL, selection()->getBehaviorId());
    controller->endEdit();
    controller->setEditor(nullptr);
}

TEST_F(SelectionTest, MultipleSelectionKeepsTheLastItemPrimary) {
    setText(L"one\ntwo\nthree\nfour");
    controller->beginEdit(DocumentController::EDIT_READ);
    selection()->selectLines({2, 0});
    controller->endEdit();
    EXPECT_EQ("(0,3)(8,13)", ranges());
    EXPECT_EQ(TextPosition(0, 3), selection()->getCaret()) << "the last item is the behaviour's";
    controller->beginEdit(DocumentController::EDIT_READ);
    selection()->selectLineRanges({{0, 0}, {3, 3}}, false);
    controller->endEdit();
    EXPECT_EQ("(0,4)(14,18)", ranges()) << "whole lines, the last line to its end";
    controller->beginEdit(DocumentController::EDIT_READ);
    EXPECT_EQ((corvel::Selection::LineIntervals{{0, 1}, {3, 3}}), selection()->collectSelectedLines(true));
    controller->endEdit();
}

struct LineRangesCase {
    Selection::LineIntervals intervals;
    bool backward;
    std::string ranges;   // "(anchor,caret)..." in start order
    TextPosition primary; // the caret of the behaviour's own range
};

class SelectLineRangesTest : public SelectionTest {
protected:
    ::testing::AssertionResult selectsAs(const LineRangesCase& c) {
        controller->beginEdit(DocumentController::EDIT_READ);
        selection()->selectLineRanges(c.intervals, c.backward);
        controller->endEdit();
        const std::string actual = ranges();
        const TextPosition caret = selection()->getCaret();
        if (actual == c.ranges && caret == c.primary)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << (c.backward ? "backward " : "forward ") << c.intervals.size() << " intervals: ranges " << actual
               << ", caret " << caret.line << ":" << caret.offset << "; expected " << c.ranges << ", caret "
               << c.primary.line << ":" << c.primary.offset;
    }
};

// Caught: forward line ranges were taken from the first to the last, leaving the last one primary.
TEST_F(SelectLineRangesTest, TheFirstIntervalEndsUpPrimaryInEitherDirection) {
    setText(L"one\ntwo\nthree\nfour");
    const LineRangesCase cases[] = {
        {{{0, 0}, {3, 3}}, false, "(0,4)(14,18)", TextPosition(1, 0)},
        {{{0, 0}, {3, 3}}, true, "(4,0)(18,14)", TextPosition(0, 0)},
        {{{0, 0}, {2, 2}}, false, "(0,4)(8,14)", TextPosition(1, 0)},
        {{{1, 1}, {3, 3}}, true, "(8,4)(18,14)", TextPosition(1, 0)},
        {{{1, 2}}, false, "(4,14)", TextPosition(3, 0)},
    };
    for (const LineRangesCase& c : cases)
        EXPECT_TRUE(selectsAs(c));
}

TEST_F(SelectionTest, ARecordRestoresRangesIdsAndCaret) {
    setText(L"one\ntwo\nthree\nfour");
    controller->beginEdit(DocumentController::EDIT_READ);
    selection()->selectOffsets(0, 2, Selection::ID_NORMAL);
    selection()->addSelection(TextPosition(1, 3), TextPosition(1, 1), Selection::ID_NORMAL);
    selection()->addSelection(TextPosition(3, 0), TextPosition(3, 4), Selection::ID_NORMAL);
    controller->endEdit();
    const std::string before = ranges();
    BytesStream record;
    selection()->save(record);
    EXPECT_EQ(Selection::RECORD_HEADER_SIZE + 2 * Selection::RECORD_ITEM_SIZE, record.data.size());
    std::wstring dump;
    Selection::dump(record, dump, L"> ");
    EXPECT_EQ(L"> Ranges count = 2\n> Caret options = Anchor \n> Caret virtual mode = No\n> Behavior = normal\n"
              L"> Behavior range = [ Line = 3, Loff = 0 ] -> [ Line = 3, Loff = 4 ]\n",
              dump);
    record.at = 0;
    controller->beginEdit(DocumentController::EDIT_READ);
    selection()->collapse();
    EXPECT_TRUE(selection()->restore(record));
    controller->endEdit();
    EXPECT_EQ(before, ranges());
    EXPECT_EQ(TextPosition(3, 4), selection()->getCaret());
}

TEST_F(SelectionTest, AHostileRecordChangesNothing) {
    setText(L"abcdef");
    selectOffsets(1, 3);
    BytesStream record;
    selection()->save(record);
    // A count of ranges the record does not hold.
    BytesStream lying = record;
    lying.data[0] = 0xFF;
    lying.data[1] = 0xFF;
    controller->beginEdit(DocumentController::EDIT_READ);
    EXPECT_FALSE(selection()->restore(lying));
    EXPECT_EQ("(1,3)", ranges());
    // Out of range positions and an unknown behaviour are tamed.
    BytesStream wild = record;
    wild.data[8] = 0x12;
    wild.data[16] = 0x70;
    wild.data[28] = 0x7F;
    EXPECT_TRUE(selection()->restore(wild));
    EXPECT_EQ(Selection::ID_NORMAL, selection()->getBehaviorId());
    controller->endEdit();
    EXPECT_EQ("(6,6)", ranges()) << "positions clamp into the text";
}

TEST_F(SelectionTest, HighlightMarksRangesAndEmptyPlaces) {
    setText(L"abcdef\nghij");
    controller->beginEdit(DocumentController::EDIT_READ);
    selection()->setMarkBit(1);
    selection()->selectOffsets(2, 8, Selection::ID_NORMAL);
    selection()->addSelection(TextPosition(1, 3), TextPosition(1, 3), Selection::ID_NORMAL);
    corvel::CellMarks first;
    selection()->highlight(0, 0, 6, first);
    corvel::CellMarks second;
    selection()->highlight(1, 7, 11, second);
    controller->endEdit();
    std::string row;
    for (size_t i = 0; i < 8; ++i)
        row += std::to_string(first.rangeBits(i));
    EXPECT_EQ("00111110", row) << "the line break cell is selected";
    row.clear();
    for (size_t i = 0; i < 5; ++i)
        row += std::to_string(second.rangeBits(i)) + std::to_string(second.pointBits(i));
    EXPECT_EQ("1000000000", row) << "the first further range is the earlier one, the empty one only a point";
}

TEST_F(SelectionTest, RectangleInAMonospacedView) {
    setText(L"line zero\nline one is long\nab\nline three!\nline four\nline five");
    documenttest::FakeEditor editor;
    controller->setEditor(&editor);
    controller->beginEdit(DocumentController::EDIT_READ);
    selection()->select(TextPosition(2, 4), TextPosition(5, 8), 1, Selection::ID_RECTANGLE);
    controller->endEdit();
    EXPECT_EQ("(29,29)(34,38)(46,50)(56,60)", ranges()) << "four lines, a short one empty at its end";
    EXPECT_EQ(Selection::ID_RECTANGLE, selection()->getKind());
    controller->beginEdit(DocumentController::EDIT_READ);
    EXPECT_TRUE(selection()->isOffsetSelected(TextPosition(3, 6)));
    EXPECT_FALSE(selection()->isOffsetSelected(TextPosition(3, 9)));
    selection()->select(TextPosition(5, 8), TextPosition(3, 4), 1, Selection::ID_RECTANGLE);
    std::vector<int32_t> order;
    for (const SelectionRange& r : selection()->getRanges())
        order.push_back(r.sequence);
    EXPECT_EQ((std::vector<int32_t>{3, 2, 1}), order) << "numbered from the anchor's line upwards";
    selection()->getBehavior()->collapse();
    EXPECT_FALSE(selection()->getBehavior()->contains(TextPosition(4, 5), true));
    controller->endEdit();
    controller->setEditor(nullptr);
    EXPECT_EQ(0, selection()->getBehavior()->getRangeCount()) << "no editor, nothing selected";
}

} // namespace
