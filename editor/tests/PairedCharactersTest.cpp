// Auto-closed pairs on a real controller: typing, stepping over, wrapping a selection,
// Backspace and Enter inside the pair and away from it, and the undo steps.
#include "corvel/document/Span.h"
#include "corvel/document/SpanBinding.h"
#include "corvel/document/SpanContext.h"
#include "corvel/editor/EditingCommands.h"
#include "corvel/editor/PairedCharacters.h"
#include "support/ControllerFixture.h"

namespace {

using corvel::PairedCharacters;

class PairedCharactersTest : public documenttest::ControllerFixture {
protected:
    void open(wchar_t o, wchar_t c, bool block = false) { PairedCharacters::typeOpening(*controller, o, c, block); }
    void close(wchar_t o, wchar_t c, bool block = false) { PairedCharacters::typeClosing(*controller, o, c, block); }
    std::wstring currentSpanName() { return controller->spans()->getCurrent()->getName(); }
};

TEST(PairedCharacterNameTest, NamesInLowerCaseHexadecimal) {
    EXPECT_EQ(L"document.context.char_pair.block.7b7d", PairedCharacters::spanName(L'{', L'}', true));
    EXPECT_EQ(L"document.context.char_pair.2829", PairedCharacters::spanName(L'(', L')', false));
    EXPECT_EQ(L"document.context.char_pair.2222", PairedCharacters::spanName(L'"', L'"', false));
}

TEST_F(PairedCharactersTest, OpeningInsertsBothAndClosingStepsOver) {
    setText(L"abc");
    controller->getSelection()->setCaretOffset(3);
    open(L'(', L')');
    EXPECT_EQ(L"abc()", text());
    EXPECT_EQ(4, caret());
    EXPECT_EQ(L"document.context.char_pair.2829", currentSpanName());
    type(L"x");
    close(L'(', L')');
    EXPECT_EQ(L"abc(x)", text());
    EXPECT_EQ(6, caret());
    EXPECT_EQ(static_cast<corvel::Span*>(controller->spans()->getRoot()), controller->spans()->getCurrent());
}

TEST_F(PairedCharactersTest, QuotesOpenAwayFromAPairAndStepOverItsEnd) {
    setText(L"");
    open(L'"', L'"');
    EXPECT_EQ(L"\"\"", text());
    close(L'"', L'"');
    EXPECT_EQ(L"\"\"", text());
    EXPECT_EQ(2, caret());
    close(L'"', L'"'); // no pair at the caret now: a new one
    EXPECT_EQ(L"\"\"\"\"", text());
    EXPECT_EQ(3, caret());
}

TEST_F(PairedCharactersTest, ClosingAwayFromThePairIsTyped) {
    setText(L"ab");
    close(L'(', L')');
    EXPECT_EQ(L")ab", text());
}

TEST_F(PairedCharactersTest, WrapsTheSelectionAndKeepsItSelected) {
    setText(L"abc");
    selectOffsets(0, 3);
    open(L'(', L')');
    EXPECT_EQ(L"(abc)", text());
    const std::vector<corvel::SelectionRange>& ranges = selection()->getRanges();
    ASSERT_EQ(1u, ranges.size());
    EXPECT_EQ(1, ranges[0].start());
    EXPECT_EQ(4, ranges[0].end());
}

TEST_F(PairedCharactersTest, BackspaceInTheEmptyPairRemovesBoth) {
    setText(L"abc");
    controller->getSelection()->setCaretOffset(3);
    open(L'(', L')');
    corvel::EditingCommands::deleteBackward(*controller);
    EXPECT_EQ(L"abc", text());
    EXPECT_EQ(3, caret());
}

TEST_F(PairedCharactersTest, BackspaceAwayFromThePairDeletesOneCharacter) {
    setText(L"ab\ncd");
    controller->getSelection()->setCaretOffset(2);
    open(L'(', L')');
    controller->getSelection()->setCaretOffset(6); // "ab()\ncd": after "c"... on the other line
    corvel::EditingCommands::deleteBackward(*controller);
    EXPECT_EQ(L"ab()\nd", text());
}

TEST_F(PairedCharactersTest, EnterInABlockPairOpensAnIndentedBlock) {
    setText(L"    f");
    controller->getSelection()->setCaretOffset(5);
    open(L'{', L'}', true);
    corvel::EditingCommands::newLine(*controller);
    // Hard tabs of width 4: the line's 4 columns are written as one tab.
    EXPECT_EQ(L"    f{\n\t\t\n\t}", text());
    EXPECT_EQ(9, caret());
}

TEST_F(PairedCharactersTest, UndoTakesTheClosingCharacterFirst) {
    setText(L"a");
    controller->getSelection()->setCaretOffset(1);
    open(L'(', L')');
    ASSERT_TRUE(controller->undo());
    EXPECT_EQ(L"a(", text());
    ASSERT_TRUE(controller->undo());
    EXPECT_EQ(L"a", text());
}

} // namespace
