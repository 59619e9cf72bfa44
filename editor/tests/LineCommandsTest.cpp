// Whole-line commands on a real controller: the lines they leave, the selection they
// leave (so that repeating them acts on the same lines), and one undo step each.
#include "corvel/document/SpanBinding.h"
#include "corvel/document/SpanContext.h"
#include "corvel/editor/LineCommands.h"
#include "support/ControllerFixture.h"
#include "support/SelectedText.h"

#include <functional>

namespace {

using corvel::LineCommands;

class LineCommandsTest : public documenttest::ControllerFixture {
protected:
    std::wstring selectedText() { return edtest::selectedText(*controller); }
};

struct LineCase {
    const wchar_t* text;
    int32_t anchor;
    int32_t caret;
    std::function<void(corvel::DocumentController&)> command;
    int repeat;
    const wchar_t* expected;
    const wchar_t* expectedSelected; // the selected text afterwards
};

TEST_F(LineCommandsTest, CommandsLeaveTheLinesAndSelectThemAgain) {
    const auto up = [](corvel::DocumentController& c) { LineCommands::moveLines(c, false); };
    const auto down = [](corvel::DocumentController& c) { LineCommands::moveLines(c, true); };
    const auto duplicate = [](corvel::DocumentController& c) { LineCommands::duplicateLines(c); };
    const auto indent = [](corvel::DocumentController& c) { LineCommands::shiftIndent(c, 1); };
    const auto unindent = [](corvel::DocumentController& c) { LineCommands::shiftIndent(c, -1); };
    const LineCase cases[] = {
        {L"a\nb\nc", 2, 2, up, 1, L"b\na\nc", L"b\n"},
        {L"a\nb\nc", 0, 0, up, 1, L"a\nb\nc", L"a\n"},          // first line: nothing moves
        {L"a\nb\nc", 4, 4, down, 1, L"a\nb\nc", L"c"},          // last line: nothing moves
        {L"a\nb\nc\nd", 0, 0, down, 2, L"b\nc\na\nd", L"a\n"},  // the moved line follows, twice
        {L"a\nb\nc\nd", 7, 4, up, 2, L"c\nd\na\nb", L"c\nd\n"},   // two lines up twice, last line kept unbroken
        {L"0\n1\n2\n3", 4, 5, duplicate, 1, L"0\n1\n2\n2\n3", L"2\n"},
        // Lines 2-3 selected: copies on 4-5, selected; again: 6-7, never one line more.
        {L"0\n1\n2\n3\n4", 4, 7, duplicate, 1, L"0\n1\n2\n3\n2\n3\n4", L"2\n3\n"},
        {L"0\n1\n2\n3\n4", 4, 7, duplicate, 2, L"0\n1\n2\n3\n2\n3\n2\n3\n4", L"2\n3\n"},
        {L"a\nb", 0, 3, indent, 1, L"\ta\n\tb", L"\ta\n\tb"},
        {L"\t\ta\n  b", 0, 6, unindent, 1, L"\ta\nb", L"\ta\nb"},
        {L"a\nb", 0, 3, unindent, 1, L"a\nb", L"a\nb"}, // no indentation: nothing changes
    };
    for (const LineCase& c : cases) {
        setText(c.text);
        selectOffsets(c.anchor, c.caret);
        for (int n = 0; n < c.repeat; ++n)
            c.command(*controller);
        EXPECT_EQ(c.expected, text()) << "text " << testing::PrintToString(std::wstring(c.text));
        EXPECT_EQ(c.expectedSelected, selectedText()) << "text " << testing::PrintToString(std::wstring(c.text));
    }
}

TEST_F(LineCommandsTest, ARangeEndingAtALineStartEndsOnTheLineBefore) {
    setText(L"a\nb\nc\nd");
    selectOffsets(2, 6); // "b\nc\n": lines 1 and 2, not 3
    const corvel::DocumentController::LineRanges intervals = LineCommands::selectedLineIntervals(*controller);
    ASSERT_EQ(1u, intervals.size());
    EXPECT_EQ(1, intervals[0].first);
    EXPECT_EQ(2, intervals[0].second);
}

TEST_F(LineCommandsTest, EachCommandIsOneUndoStep) {
    setText(L"0\n1\n2\n3");
    selectOffsets(2, 5);
    LineCommands::moveLines(*controller, true);
    ASSERT_EQ(L"0\n3\n1\n2", text());
    ASSERT_TRUE(controller->undo());
    EXPECT_EQ(L"0\n1\n2\n3", text());
    EXPECT_FALSE(controller->undo());
}

TEST_F(LineCommandsTest, AMoveEndsAnAutoInsertedPair) {
    setText(L"x\ny");
    controller->beginEdit(corvel::DocumentController::EDIT_WRITE);
    corvel::SpanBinding* spans = controller->spans();
    auto* pair = new corvel::SpanContext(L"document.context.char_pair.2829", spans);
    corvel::Span::attachWithText(nullptr, pair, spans->getRoot(), 1, nullptr);
    spans->setSpan(pair);
    controller->endEdit();
    LineCommands::moveLines(*controller, true);
    EXPECT_EQ(static_cast<corvel::Span*>(spans->getRoot()), spans->getCurrent());
    EXPECT_EQ(0, spans->getRoot()->getChildCount());
}

} // namespace
