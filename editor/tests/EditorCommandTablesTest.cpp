// The editor's command tables on a real editor: every row as registered (name, title,
// scope, keys and their priority), every handler declining without a document, and the
// commands run by their keys through the key invoker.
#include "corvel/document/LineHeader.h"
#include "corvel/editor/EditingCommands.h"
#include "corvel/editor/GotoLine.h"
#include "corvel/editor/PairedCharacterAction.h"
#include "corvel/widgets/afAction.h"
#include "corvel/widgets/afActionChooser.h"
#include "corvel/widgets/afActionTriggerKey.h"
#include "corvel/widgets/Hint.h"
#include "corvel/widgets/StringDialog.h"
#include "corvel/widgets/afControlEdit.h"
#include "corvel/widgets/afLabel.h"
#include "support/CommandFixture.h"
#include "support/SelectedText.h"
#include "../../ui_framework/widgets/tests/ModalSteps.h"

#include <string>
#include <vector>

namespace {

using corvel::TextPosition;

struct Row {
    std::wstring name;
    std::wstring title;
    std::wstring scope;
    std::vector<std::pair<std::wstring, bool>> keys; // key text, priority
};

std::vector<Row> expectedRows() {
    const wchar_t* E = L"ui.editor";
    std::vector<Row> rows = {
        {L"edit.undo", L"Undo", E, {{L"Ctrl+Z", true}}},
        {L"edit.redo", L"Redo", E, {{L"Ctrl+Y", true}, {L"Ctrl+Shift+Z", true}}},
        {L"edit.delete.forward", L"Delete Forward", E, {{L"Del", true}}},
        {L"edit.delete.backward", L"Delete Backward", E, {{L"Backspace", true}, {L"Shift+Backspace", false}}},
        {L"edit.delete.word.end", L"Delete To Word End", E, {{L"Ctrl+Del", true}}},
        {L"edit.delete.word.begin", L"Delete To Word Begin", E, {{L"Ctrl+Backspace", true}}},
        {L"edit.new_line", L"New Line", E, {{L"Enter", false}, {L"Ctrl+Enter", false}, {L"Shift+Enter", false}}},
        {L"edit.select.all", L"Select All", E, {{L"Ctrl+A", true}}},
        {L"edit.select.indent", L"Select Indent Level", E, {{L"Ctrl+Shift+Alt+A", true}}},
        {L"edit.select.lines", L"Select Lines", E, {{L"Ctrl+Shift+L", true}}},
        {L"edit.select.lines.text", L"Select Lines Text", E, {{L"Ctrl+Shift+Alt+L", true}}},
        {L"edit.select.word", L"Select Lines Text", E, {{L"Ctrl+Shift+W", true}}},
        {L"edit.copy", L"Copy", E, {{L"Ctrl+C", true}, {L"Ctrl+Ins", false}}},
        {L"edit.paste", L"Paste", E, {{L"Ctrl+V", true}, {L"Shift+Ins", false}}},
        {L"edit.cut", L"Cut", E, {{L"Ctrl+X", true}}},
        {L"edit.cut", L"Cut", E, {{L"Shift+Del", true}}},
        {L"edit.bookmark.toggle", L"Toggle bookmark", E, {{L"Ctrl+F2", true}}},
        {L"edit.bookmark.next", L"Next bookmark", E, {{L"F2", true}}},
        {L"edit.bookmark.previous", L"Previous bookmark", E, {{L"Shift+F2", true}}},
    };
    struct Move {
        const wchar_t* name;
        const wchar_t* moveTitle;
        const wchar_t* selectTitle;
        const wchar_t* rectTitle;
        const wchar_t* key;
    } const moves[] = {
        {L"char.right", L"Move Caret Right", L"Select Caret Right", L"Rect Caret Right", L"Right"},
        {L"char.left", L"Move Caret Left", L"Select Caret Left", L"Rect Caret Left", L"Left"},
        {L"line.up", L"Move Line Up", L"Select Line Up", L"Rect Line Up", L"Up"},
        {L"line.down", L"Move Line Down", L"Select Line Down", L"Rect Line Down", L"Down"},
        {L"word.right", L"Move Caret Word Right", L"Select Caret Word Right", L"Rect Caret Word Right", L"Ctrl+Right"},
        {L"word.left", L"Move Caret Word Left", L"Select Caret Word Left", L"Rect Caret Word Left", L"Ctrl+Left"},
        {L"line.home", L"Move Line Home", L"Select Line Home", L"Rect Line Home", L"Home"},
        {L"line.end", L"Move Line End", L"Select Line End", L"Rect Line End", L"End"},
        {L"page.up", L"Move Page Up", L"Select Page Up", L"Rect Page Up", L"Page-Up"},
        {L"page.down", L"Move Page Down", L"Select Page Down", L"Rect Page Down", L"Page-Down"},
        {L"document.home", L"Move Document Home", L"Select Document Home", L"Rect Document Home", L"Ctrl+Home"},
        {L"document.end", L"Move Document End", L"Select Document End", L"Rect Document End", L"Ctrl+End"},
    };
    for (const Move& m : moves)
        rows.push_back({std::wstring(L"caret.move.") + m.name, m.moveTitle, E, {{m.key, true}}});
    for (const Move& m : moves)
        rows.push_back({std::wstring(L"caret.select.normal.") + m.name, m.selectTitle, E,
                        {{std::wstring(L"Shift+") + m.key, true}}});
    for (const Move& m : moves)
        rows.push_back({std::wstring(L"caret.select.rect.") + m.name, m.rectTitle, E,
                        {{std::wstring(L"Alt+") + m.key, true}}});
    const wchar_t* S = L"ui.editor ui.editor.selection";
    const std::vector<Row> more = {
        {L"edit.lines.move.up", L"Move Lines Up", E, {{L"Ctrl+Shift+Up", true}}},
        {L"edit.lines.move.down", L"Move Lines Down", E, {{L"Ctrl+Shift+Down", true}}},
        {L"edit.lines.duplicate", L"Duplicate Lines", E, {{L"Ctrl+Shift+D", true}}},
        {L"edit.lines.indent.sel", L"Indent Lines If Selected", S, {{L"Tab", true}}},
        {L"edit.lines.unindent.sel", L"Unindent Lines If Selected", S, {{L"Shift+Tab", true}}},
        {L"edit.transpose", L"Transpose", E, {{L"Ctrl+T", true}}},
        {L"edit.inflect.uppercase", L"Uppercase", E, {{L"Ctrl+U", true}}},
        {L"edit.inflect.lowercase", L"Lowercase", E, {{L"Ctrl+Shift+U", true}}},
        {L"edit.inflect.capitalize", L"Capitalize", E, {{L"Alt+Shift+U", true}}},
        {L"edit.inflect.hyphenize", L"Hyphenize", E, {{L"Alt+Shift+U", true}}},
        {L"edit.inflect.underscore", L"Underscore", E, {{L"Alt+Shift+U", true}}},
        {L"edit.inflect.camelcase.upper", L"Upper CamelCase", E, {{L"Alt+Shift+U", true}}},
        {L"edit.inflect.camelcase.lower", L"Lower camelCase", E, {{L"Alt+Shift+U", true}}},
        {L"edit.inflect.split", L"Split To Words", E, {{L"Alt+Shift+U", true}}},
        {L"edit.inflect.systemize", L"Systemize", E, {{L"Alt+Shift+U", true}}},
        {L"show.scope", L"Show Scope", E, {{L"Ctrl+P", true}}},
        {L"launch.grammar", L"Select Grammar", E, {{L"Ctrl+Shift+G", true}}},
        {L"launch.snippet", L"Select Snippet", E, {{L"Ctrl+Space", true}}},
        {L"goto.line", L"Go To Line", E, {{L"Ctrl+G", true}}},
    };
    rows.insert(rows.end(), more.begin(), more.end());
    return rows;
}

::testing::AssertionResult registeredAs(const corvel::afAction* action, const Row& row) {
    if (action->getName() != row.name || action->getTitle() != row.title || action->getScopeText() != row.scope)
        return ::testing::AssertionFailure() << "row " << testing::PrintToString(row.name) << " registered as "
                                             << testing::PrintToString(action->getName()) << " / "
                                             << testing::PrintToString(action->getTitle()) << " / "
                                             << testing::PrintToString(action->getScopeText());
    const std::vector<corvel::afActionTrigger*>& triggers = action->getTriggers();
    if (triggers.size() != row.keys.size())
        return ::testing::AssertionFailure() << testing::PrintToString(row.name) << " has " << triggers.size()
                                             << " keys";
    for (size_t i = 0; i < triggers.size(); ++i) {
        auto* key = static_cast<const corvel::afActionTriggerKey*>(triggers[i]);
        if (key->getKeyCode() != corvel::afKey::parse(row.keys[i].first) || key->isPriority() != row.keys[i].second)
            return ::testing::AssertionFailure() << testing::PrintToString(row.name) << " key " << i << " is "
                                                 << testing::PrintToString(key->getText()) << " priority "
                                                 << key->isPriority();
    }
    return ::testing::AssertionSuccess();
}

class EditorCommandTablesTest : public edtest::CommandFixture {
protected:
    ::testing::AssertionResult caretIs(int32_t line, int32_t offset) {
        const TextPosition c = caret();
        if (c.line == line && c.offset == offset && selection()->isEmpty())
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "caret (" << c.line << ", " << c.offset << ")"
                                             << (selection()->isEmpty() ? "" : " with a selection");
    }
    std::wstring selectedText() { return edtest::selectedText(*controller); }
};

TEST_F(EditorCommandTablesTest, TablesRegisterEveryRowInOrder) {
    const std::vector<Row> rows = expectedRows();
    const std::vector<corvel::afAction*>& actions = registry->getActions();
    ASSERT_EQ(rows.size(), actions.size());
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_TRUE(registeredAs(actions[i], rows[i]));
    // A second registration (a second editor) adds nothing.
    corvel::EditorCmd::registerCommandTables(registry.get());
    EXPECT_EQ(rows.size(), registry->getActions().size());
}

TEST_F(EditorCommandTablesTest, EveryHandlerDeclinesWithoutADocument) {
    controller->setEditor(nullptr);
    editor->getCmd().activate();
    for (corvel::afAction* action : registry->getActions()) {
        corvel::afActionEvent event;
        event.action = action;
        EXPECT_FALSE(action->execute(&event)) << testing::PrintToString(action->getName());
    }
}

TEST_F(EditorCommandTablesTest, PlainMovesCollapseASelectionFirst) {
    setText(L"abcdefgh\nabcdefgh\nabcdefgh\nxy");
    struct Case {
        const wchar_t* key;
        int line, offset;
    } const cases[] = {
        {L"Right", 0, 5}, // collapse to the later end, no move
        {L"Left", 0, 2},  // to the earlier end
        {L"Down", 1, 5},  // collapse to the end, then one row down
        {L"Up", 0, 0},    // to the start, then up past the first row: the document start
    };
    for (const Case& c : cases) {
        select(2, 5);
        EXPECT_TRUE(press(c.key));
        EXPECT_TRUE(caretIs(c.line, c.offset)) << testing::PrintToString(std::wstring(c.key));
    }
}

TEST_F(EditorCommandTablesTest, MovesAtTheEdges) {
    setText(L"    abc\nabc   \nx\nyz");
    struct Case {
        int line, offset;
        const wchar_t* key;
        int expectLine, expectOffset;
    } const cases[] = {
        {0, 6, L"Home", 0, 4}, {0, 4, L"Home", 0, 0},   {0, 0, L"Home", 0, 4},
        {1, 0, L"End", 1, 3},  {1, 3, L"End", 1, 6},    {1, 6, L"End", 1, 3},
        {3, 0, L"Left", 2, 1}, {1, 6, L"Right", 2, 0},  {0, 2, L"Page-Up", 0, 0},
        {0, 2, L"Page-Down", 3, 2}, {2, 1, L"Ctrl+Home", 0, 0}, {0, 1, L"Ctrl+End", 3, 2},
    };
    for (const Case& c : cases) {
        setCaret(c.line, c.offset);
        EXPECT_TRUE(press(c.key));
        EXPECT_TRUE(caretIs(c.expectLine, c.expectOffset))
            << testing::PrintToString(std::wstring(c.key)) << " from (" << c.line << ", " << c.offset << ")";
    }
    setCaret(3, 2);
    EXPECT_TRUE(press(L"Shift+Right")); // the end of the last line: nothing
    EXPECT_TRUE(caretIs(3, 2));
    setCaret(2, 0);
    EXPECT_TRUE(press(L"Alt+Left")); // column 0: stays
    EXPECT_EQ(0, caret().offset);
    EXPECT_EQ(2, caret().line);
    setCaret(2, 1);
    EXPECT_TRUE(press(L"Alt+Right")); // into virtual space
    EXPECT_EQ(2, caret().offset);
    EXPECT_EQ(2, caret().line);
}

TEST_F(EditorCommandTablesTest, DeletesByKey) {
    struct Case {
        const wchar_t* text;
        int line, offset;
        const wchar_t* key;
        const wchar_t* expected;
    } const cases[] = {
        {L"ab\ncd", 0, 2, L"Del", L"abcd"},             // joins the next line
        {L"ab", 0, 2, L"Del", L"ab"},                   // the document's end
        {L"ab", 0, 2, L"Backspace", L"a"},
        {L"one two", 0, 0, L"Ctrl+Del", L" two"}, // up to the white space
        {L"one two", 0, 7, L"Ctrl+Backspace", L"one "},
        {L"ab\ncd", 1, 0, L"Ctrl+Backspace", L"abcd"}, // wraps to the previous line's end
    };
    for (const Case& c : cases) {
        setText(c.text);
        setCaret(c.line, c.offset);
        EXPECT_TRUE(press(c.key));
        EXPECT_EQ(c.expected, text()) << testing::PrintToString(std::wstring(c.key)) << " on "
                                      << testing::PrintToString(std::wstring(c.text));
    }
}

TEST_F(EditorCommandTablesTest, UndoThenRedoByKey) {
    setText(L"ab");
    setCaret(0, 2);
    EXPECT_TRUE(press(L"Backspace"));
    EXPECT_TRUE(press(L"Ctrl+Z"));
    EXPECT_EQ(L"ab", text());
    EXPECT_TRUE(press(L"Ctrl+Y"));
    EXPECT_EQ(L"a", text());
    EXPECT_TRUE(press(L"Ctrl+Shift+Z")); // nothing left to redo
    EXPECT_EQ(L"a", text());
}

TEST_F(EditorCommandTablesTest, SelectWordAtAWordStartStaysOnTheLine) {
    setText(L"x\nalpha beta");
    setCaret(1, 6);
    EXPECT_TRUE(press(L"Ctrl+Shift+W"));
    EXPECT_EQ(L"beta", selectedText());
    setCaret(1, 0);
    EXPECT_TRUE(press(L"Ctrl+Shift+W"));
    EXPECT_EQ(L"alpha", selectedText());
}

TEST_F(EditorCommandTablesTest, SelectWordJustBeforeABlankTakesTheWordBeforeIt) {
    // Caught: the caret before the space selected the space itself, (3,4).
    setText(L"abc def");
    setCaret(0, 3);
    EXPECT_TRUE(press(L"Ctrl+Shift+W"));
    EXPECT_EQ(L"abc", selectedText());
    EXPECT_EQ(TextPosition(0, 0), selection()->getAnchor());
    EXPECT_EQ(TextPosition(0, 3), selection()->getCaret());
    setCaret(0, 7);
    EXPECT_TRUE(press(L"Ctrl+Shift+W"));
    EXPECT_EQ(L"def", selectedText());
}

TEST_F(EditorCommandTablesTest, ClipboardByKey) {
    setText(L"ab\ncd");
    select(0, 5);
    EXPECT_TRUE(press(L"Ctrl+C"));
    setCaret(1, 2);
    EXPECT_TRUE(press(L"Ctrl+V"));
    EXPECT_EQ(L"ab\ncdab\ncd", text());
    setCaret(0, 1);
    EXPECT_TRUE(press(L"Shift+Del"));
    EXPECT_EQ(L"cdab\ncd", text());
    select(0, 2);
    EXPECT_TRUE(press(L"Ctrl+X"));
    EXPECT_EQ(L"ab\ncd", text());
    setCaret(0, 0);
    EXPECT_TRUE(press(L"Ctrl+X")); // nothing selected: nothing cut
    EXPECT_EQ(L"ab\ncd", text());
    EXPECT_TRUE(press(L"Shift+Ins"));
    EXPECT_EQ(L"cdab\ncd", text());
}

TEST_F(EditorCommandTablesTest, BookmarksByKey) {
    setText(L"a\nb\nc");
    setCaret(1, 0);
    EXPECT_TRUE(press(L"Ctrl+F2"));
    setCaret(2, 1);
    EXPECT_TRUE(press(L"F2")); // wraps once to line 1
    EXPECT_TRUE(caretIs(1, 0));
    EXPECT_TRUE(press(L"Shift+F2")); // the only marked line is the caret's: stays
    EXPECT_TRUE(caretIs(1, 0));
    EXPECT_TRUE(press(L"Ctrl+F2"));
    EXPECT_EQ(nullptr, controller->getLineMarkers(1));
}

TEST_F(EditorCommandTablesTest, LineCommandsByKey) {
    setText(L"0\n1\n2\n3");
    setCaret(0, 0);
    EXPECT_TRUE(press(L"Ctrl+Shift+Down"));
    EXPECT_TRUE(press(L"Ctrl+Shift+Down"));
    EXPECT_EQ(L"1\n2\n0\n3", text());
    EXPECT_TRUE(press(L"Ctrl+Shift+D"));
    EXPECT_EQ(L"1\n2\n0\n0\n3", text());
    // Tab indents only with a selection; a single caret leaves Tab to others.
    setCaret(0, 0);
    EXPECT_FALSE(press(L"Tab"));
    EXPECT_EQ(L"1\n2\n0\n0\n3", text());
    select(0, 3);
    EXPECT_TRUE(press(L"Tab"));
    EXPECT_EQ(L"\t1\n\t2\n0\n0\n3", text());
    EXPECT_TRUE(press(L"Shift+Tab"));
    EXPECT_EQ(L"1\n2\n0\n0\n3", text());
}

TEST_F(EditorCommandTablesTest, UppercaseOfTwoRangesIsOneUndoStep) {
    setText(L"ab\ncd");
    controller->beginEdit(corvel::DocumentController::EDIT_READ);
    selection()->selectRanges({corvel::SelectionRange(0, 1, 1), corvel::SelectionRange(3, 4, 2)});
    controller->endEdit();
    EXPECT_TRUE(press(L"Ctrl+U"));
    EXPECT_EQ(L"Ab\nCd", text());
    EXPECT_TRUE(press(L"Ctrl+Z"));
    EXPECT_EQ(L"ab\ncd", text());
}

TEST_F(EditorCommandTablesTest, EnterIndentsByKey) {
    setText(L"        x\n");
    setCaret(1, 0);
    EXPECT_TRUE(press(L"Enter"));
    EXPECT_EQ(L"        x\n\n\t\t", text());
}

} // namespace

namespace {

class PairedCharacterActionTest : public edtest::CommandFixture {
protected:
    void SetUp() override {
        edtest::CommandFixture::SetUp();
        parens = corvel::PairedCharacterAction::createPair(L')', L"ui.editor", L'(', false, registry.get());
        quotes = corvel::PairedCharacterAction::createPair(L'"', L"ui.editor", L'"', false, registry.get());
    }
    std::pair<corvel::PairedCharacterAction*, corvel::PairedCharacterAction*> parens;
    std::pair<corvel::PairedCharacterAction*, corvel::PairedCharacterAction*> quotes;
};

TEST_F(PairedCharacterActionTest, CreatePairMakesTheOpeningThenTheClosingAction) {
    ASSERT_NE(nullptr, parens.first);
    EXPECT_EQ(corvel::PairedCharacterAction::TYPE_TAG, parens.first->getTypeTag());
    EXPECT_EQ(L"ui.editor", parens.first->getScopeText());
    EXPECT_EQ(L"document.context.char_pair.2829 ui.editor, ui.editor document.context.char_pair.2829",
              parens.second->getScopeText());
    EXPECT_EQ(L"<PairedCharacterAction>", parens.first->getTitle());
    EXPECT_EQ(L"<Unknown>", parens.first->getSource());
    EXPECT_EQ(L'(', static_cast<corvel::afActionTriggerKey*>(parens.first->getTriggers()[0])->getCharacter());
    EXPECT_EQ(L')', static_cast<corvel::afActionTriggerKey*>(parens.second->getTriggers()[0])->getCharacter());
}

TEST_F(PairedCharacterActionTest, TypedCharactersOpenStepOverAndDelete) {
    setText(L"abc");
    setCaret(0, 3);
    typeChar(L'(');
    EXPECT_EQ(L"abc()", text());
    EXPECT_EQ(4, caretOffset());
    typeChar(L')');
    EXPECT_EQ(L"abc()", text());
    EXPECT_EQ(5, caretOffset());
    typeChar(L'(');
    EXPECT_TRUE(press(L"Backspace"));
    EXPECT_EQ(L"abc()", text());
    typeChar(L'"');
    typeChar(L'x');
    EXPECT_EQ(L"abc()\"x\"", text());
    typeChar(L'"');
    EXPECT_EQ(L"abc()\"x\"", text());
    EXPECT_EQ(8, caretOffset());
}

} // namespace

namespace {

BOOL CALLBACK findGotoWindow(HWND hwnd, LPARAM out) {
    wchar_t title[32] = {};
    GetWindowTextW(hwnd, title, 32);
    if (std::wstring(title) != L"Go to line")
        return TRUE;
    *reinterpret_cast<HWND*>(out) = hwnd;
    return FALSE;
}

// The open string dialog of the thread, found by its title.
corvel::StringDialog* openGotoDialog() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &findGotoWindow, reinterpret_cast<LPARAM>(&found));
    if (!found)
        return nullptr;
    return dynamic_cast<corvel::StringDialog*>(static_cast<corvel::afView*>(GetPropW(found, L"AFWIDGETPTR")));
}

class GotoLineTest : public edtest::CommandFixture {
protected:
    // Runs Ctrl+G, types text into the dialog and closes it with OK (or Cancel).
    void gotoLine(const wchar_t* text, bool ok = true) {
        std::wstring prompt;
        std::wstring value;
        widgetstest::runWithSteps(
            [this] {
                press(L"Ctrl+G");
                return 0u;
            },
            {[&, text, ok] {
                corvel::StringDialog* dialog = openGotoDialog();
                ASSERT_NE(nullptr, dialog);
                prompt = dialog->getPrompt()->getText();
                wchar_t field[32] = {};
                GetWindowTextW(dialog->getEdit()->getHandle(), field, 32);
                value = field;
                SetWindowTextW(dialog->getEdit()->getHandle(), text);
                dialog->close(ok ? corvel::afWindow::RESULT_OK : corvel::afWindow::RESULT_CANCEL);
            }});
        lastPrompt = prompt;
        lastValue = value;
    }
    std::wstring lastPrompt;
    std::wstring lastValue;
};

TEST(GotoLineTextTest, OnlyALineNumberOfTheDocumentCounts) {
    struct Case {
        const wchar_t* text;
        int32_t line;
    } const cases[] = {{L"1", 0}, {L"4", 3}, {L"", -1}, {L"abc", -1}, {L"0", -1}, {L"-1", -1}, {L"5", -1}};
    for (const Case& c : cases)
        EXPECT_EQ(c.line, corvel::GotoLine::parseLineNumber(c.text, 4)) << testing::PrintToString(std::wstring(c.text));
}

TEST_F(GotoLineTest, TheDialogGoesToTheLineOnOkOnly) {
    setText(L"a\nb\nc\nd");
    setCaret(2, 1);
    gotoLine(L"2");
    EXPECT_EQ(L"Line number: (1 - 4)", lastPrompt);
    EXPECT_EQ(L"3", lastValue);
    EXPECT_EQ(1, caret().line);
    EXPECT_EQ(0, caret().offset);
    gotoLine(L"4", false); // Cancel
    EXPECT_EQ(1, caret().line);
    gotoLine(L"9"); // past the last line
    EXPECT_EQ(1, caret().line);
}

TEST_F(GotoLineTest, ShowScopeListsThePathOutermostFirst) {
    setText(L"abc");
    setCaret(0, 1);
    EXPECT_TRUE(press(L"Ctrl+P"));
    auto* hint = dynamic_cast<corvel::Hint*>(editor->getCaretPopup());
    ASSERT_NE(nullptr, hint);
    EXPECT_TRUE(hint->getLines().empty()); // no grammar, no selection: an empty path
    select(0, 2);
    EXPECT_TRUE(press(L"Ctrl+P"));
    ASSERT_EQ(1u, hint->getLines().size());
    EXPECT_EQ(L"ui.selection.normal", hint->getLines()[0]);
}

} // namespace

namespace {

size_t g_offered = 0;

// Picks "Upper CamelCase" among the offered actions.
int pickUpperCamelCase(corvel::afActionMatchList& matches, corvel::afView*) {
    g_offered = matches.size();
    for (size_t i = 0; i < matches.size(); ++i) {
        if (matches[i].action->getName() == L"edit.inflect.camelcase.upper")
            return static_cast<int>(i);
    }
    return -1;
}

TEST_F(EditorCommandTablesTest, TheSharedInflectionKeyLetsTheUserChoose) {
    corvel::afActionChooserFunction saved = corvel::getActionChooser();
    corvel::setActionChooser(&pickUpperCamelCase);
    setText(L"foo bar");
    select(0, 7);
    EXPECT_TRUE(press(L"Alt+Shift+U"));
    corvel::setActionChooser(saved);
    EXPECT_EQ(7u, g_offered);
    EXPECT_EQ(L"FooBar", text());
}

} // namespace
