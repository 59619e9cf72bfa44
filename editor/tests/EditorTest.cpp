#include "corvel/editor/EditorCaret.h"
#include "corvel/editor/LineCache.h"
#include "corvel/ui/afUnicodeContext.h"
#include "corvel/widgets/afDataObjectComposite.h"
#include "corvel/widgets/afDataObjectFiles.h"
#include "corvel/widgets/afDataObjectText.h"
#include "corvel/widgets/afDropAction.h"
#include "corvel/widgets/afDropTarget.h"
#include "support/EditorFixture.h"

#include <gtest/gtest.h>

using corvel::Editor;
using corvel::EditorPositionMap;
using corvel::Selection;
using corvel::TextPosition;

namespace {

class EditorTest : public edtest::EditorFixture {};

TEST_F(EditorTest, CreatesItsWindowClassAndStyle) {
    // A bound editor's empty horizontal range takes its scroll bar away: look at a fresh one.
    Editor* fresh = Editor::create(host, 0);
    HWND hwnd = fresh->getHandle();
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    EXPECT_STREQ(L"CorvelEditor", name);
    EXPECT_EQ(0x50310000u, static_cast<uint32_t>(GetWindowLongW(hwnd, GWL_STYLE)) & 0x50310000u);
    wchar_t title[64] = {};
    GetWindowTextW(hwnd, title, 64);
    EXPECT_STREQ(L"Editor", title);
    EXPECT_STREQ(L"ui.editor", fresh->getTypeName());
    EXPECT_EQ(nullptr, fresh->getDocumentController());
    EXPECT_EQ(controller, editor->getDocumentController());
    EXPECT_EQ(0, GetWindowLongW(editor->getHandle(), GWL_EXSTYLE) & (WS_EX_CLIENTEDGE));
    Editor* edged = Editor::create(host, Editor::BORDER_CLIENT_EDGE);
    EXPECT_EQ(WS_EX_CLIENTEDGE, GetWindowLongW(edged->getHandle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    Editor* lined = Editor::create(host, Editor::BORDER_LINE);
    EXPECT_EQ(WS_BORDER, GetWindowLongW(lined->getHandle(), GWL_STYLE) & WS_BORDER);
}

TEST_F(EditorTest, PageCountsWholeRowsAndColumnsBesideTheGutter) {
    RECT r = client();
    EXPECT_EQ(r.bottom / ROW, editor->getVisibleRows());
    EXPECT_EQ((r.right - editor->getGutterWidth()) / CELL, editor->getVisibleColumns());
}

TEST_F(EditorTest, PaintsTextRowsAndBlankRowsBelowTheLastLine) {
    setText(L"abc\nxyz");
    std::unique_ptr<corveltest::DibTarget> shot = paint();
    const int left = editor->getTextLeft();
    // Row 0 holds the caret: its background is the current-line colour.
    const COLORREF background = shot->pixel(left + 10 * CELL, ROW / 2);
    EXPECT_EQ(shot->pixel(left + 10 * CELL, ROW + ROW / 2), shot->pixel(left + 10 * CELL, 5 * ROW + 5));
    // Glyph boxes of the made face cover each cell's centre.
    EXPECT_NE(background, shot->pixel(left + CELL / 2, ROW / 2));
    EXPECT_NE(background, shot->pixel(left + 2 * CELL + CELL / 2, ROW + ROW / 2));
    EXPECT_EQ(background, shot->pixel(left + 5 * CELL + CELL / 2, ROW / 2));
    // Nothing is left unpainted.
    EXPECT_EQ(0, shot->count(RGB(1, 2, 3)));
}

TEST_F(EditorTest, GutterDigitsFollowTheLineCountPlusOne) {
    struct Case {
        int lines;
        int digits;
    };
    const Case cases[] = {{1, 2}, {9, 2}, {98, 2}, {99, 3}, {998, 3}, {999, 4}};
    for (const Case& c : cases) {
        std::wstring all;
        for (int i = 1; i < c.lines; ++i)
            all += L"\n";
        setText(all);
        EXPECT_EQ(c.lines, editor->getLineCount());
        EXPECT_EQ(c.digits, editor->getDigitCount()) << c.lines << " lines";
    }
}

TEST_F(EditorTest, GutterWithoutNumbersIs22PixelsWide) {
    corvel::FacePreset preset = controller->getFacePreset();
    preset.gutterLineNumbers = false;
    editor->applyFacePreset(preset);
    EXPECT_EQ(22, editor->getGutterWidth());
    EXPECT_EQ(0, editor->getDigitCount());
    preset.gutterLineNumbers = true;
    editor->applyFacePreset(preset);
    EXPECT_GT(editor->getGutterWidth(), 22 + 2 * Editor::NUMBER_PADDING);
}

TEST_F(EditorTest, TypedCharactersAreInsertedAndControlCodesIgnored) {
    setText(L"ab");
    setCaret(0, 1);
    SendMessageW(editor->getHandle(), WM_CHAR, L'x', 0);
    SendMessageW(editor->getHandle(), WM_CHAR, 8, 0);
    SendMessageW(editor->getHandle(), WM_CHAR, 31, 0);
    EXPECT_EQ(L"axb", text());
    EXPECT_EQ(TextPosition(0, 2), caret());
}

TEST_F(EditorTest, MoveCaretKeepsTheDesiredXOverRowMovesOnly) {
    setText(L"abcdef\nab\nabcdef");
    setCaret(0, 5);
    editor->moveCaret(Selection::ID_START_OVER, EditorPositionMap::ROW_DOWN, 0);
    EXPECT_EQ(1, caret().line);
    EXPECT_EQ(2, caret().offset);
    editor->moveCaret(Selection::ID_START_OVER, EditorPositionMap::ROW_DOWN, 0);
    EXPECT_EQ(TextPosition(2, 5), caret());
    editor->moveCaret(Selection::ID_START_OVER, EditorPositionMap::CHAR_LEFT, 0);
    editor->moveCaret(Selection::ID_START_OVER, EditorPositionMap::ROW_UP, 0);
    editor->moveCaret(Selection::ID_START_OVER, EditorPositionMap::ROW_UP, 0);
    EXPECT_EQ(TextPosition(0, 4), caret());
    EXPECT_EQ(4 * CELL, editor->getCaret().getDesiredX());
}

TEST_F(EditorTest, SelectingMovesExtendFromTheAnchor) {
    setText(L"hello world");
    setCaret(0, 0);
    editor->moveCaret(Selection::ID_NORMAL, EditorPositionMap::WORD_RIGHT, 0);
    editor->moveCaret(Selection::ID_NORMAL, EditorPositionMap::CHAR_RIGHT, 0);
    EXPECT_EQ(TextPosition(0, 0), selection()->getAnchor());
    EXPECT_EQ(6, caret().offset);
    EXPECT_FALSE(selection()->isEmpty());
}

TEST_F(EditorTest, ScrollBarsCoverTheLinesAndAPage) {
    std::wstring all;
    for (int i = 0; i < 100; ++i)
        all += std::wstring(i % 50, L'x') + L"\n";
    setText(all);
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(editor->getHandle(), SB_VERT, &info));
    EXPECT_EQ(0, info.nMin);
    EXPECT_EQ(101 + editor->getVisibleRows() - 1, info.nMax);
    EXPECT_EQ(static_cast<UINT>(editor->getVisibleRows()), info.nPage);
    EXPECT_TRUE(editor->scrollTo(0, 40, 0, false));
    EXPECT_FALSE(editor->scrollTo(0, 40, 0, false));
    ASSERT_TRUE(GetScrollInfo(editor->getHandle(), SB_VERT, &info));
    EXPECT_EQ(40, info.nPos);
    SendMessageW(editor->getHandle(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(41, editor->getTopIterator().line);
    SendMessageW(editor->getHandle(), WM_VSCROLL, SB_PAGEUP, 0);
    EXPECT_EQ(41 - editor->getVisibleRows(), editor->getTopIterator().line);
    SendMessageW(editor->getHandle(), WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(0, editor->getTopIterator().line);
}

// The vertical range ends a page past the last line: nMax = lines + rows - 1, page = rows,
// rows counting whole rows of the client area that the horizontal bar leaves.
TEST_F(EditorTest, TheVerticalRangeAndPageFollowTheLinesAndWholeRows) {
    struct Case {
        int lines;
        int lineLength; // past the page's width: the horizontal bar is shown
        int clientHeight;
        int rows;
    };
    const int bar = GetSystemMetrics(SM_CYHSCROLL);
    // The widest line seen stays for the view: the wide cases come last.
    const Case cases[] = {
        {1, 10, 5 * ROW, 5},      {200, 10, 23 * ROW, 23},      {200, 10, 23 * ROW + ROW - 1, 23},
        {200, 200, 23 * ROW, 23}, {200, 200, 23 * ROW - 1, 22},
    };
    for (const Case& c : cases) {
        std::wstring all;
        for (int i = 0; i < c.lines - 1; ++i)
            all += std::wstring(c.lineLength, L'x') + L"\n";
        all += std::wstring(c.lineLength, L'x');
        setText(all);
        const bool wide = c.lineLength * CELL > hostWidth;
        editor->setFrameRect(0, 0, hostWidth, c.clientHeight + (wide ? bar : 0));
        // Lines are measured as they are painted: the horizontal bar comes with the first paint.
        paint();
        editor->scrollTo(0, 0, 0, true);
        pump();
        const std::string what = std::to_string(c.lines) + " lines of " + std::to_string(c.lineLength) + ", client " +
                                 std::to_string(c.clientHeight);
        ASSERT_EQ(c.clientHeight, client().bottom) << what;
        EXPECT_EQ(c.rows, editor->getVisibleRows()) << what;
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_ALL;
        ASSERT_TRUE(GetScrollInfo(editor->getHandle(), SB_VERT, &info)) << what;
        EXPECT_EQ(0, info.nMin) << what;
        EXPECT_EQ(c.lines + c.rows - 1, info.nMax) << what;
        EXPECT_EQ(static_cast<UINT>(c.rows), info.nPage) << what;
    }
}

TEST_F(EditorTest, InsertingLinesAboveTheTopKeepsTheSameTextInView) {
    std::wstring all;
    for (int i = 0; i < 60; ++i)
        all += L"line\n";
    setText(all);
    editor->scrollTo(0, 30, 0, false);
    editor->setFollowCaret(false);
    setCaret(2, 0);
    controller->beginEdit(corvel::DocumentController::EDIT_WRITE);
    controller->insertString(L"a\nb\nc\n");
    controller->endEdit();
    EXPECT_EQ(33, editor->getTopIterator().line);
}

TEST_F(EditorTest, RebindingRestoresEachControllersViewState) {
    std::wstring all;
    for (int i = 0; i < 80; ++i)
        all += L"x\n";
    setText(all);
    // The caret is brought into view at binding: it stays where the view was.
    setCaret(30, 0);
    editor->scrollTo(0, 25, 0, false);
    corvel::DocumentController* other = controllers->createUntitledDocument();
    other->setEditor(editor);
    EXPECT_EQ(other, editor->getDocumentController());
    EXPECT_EQ(nullptr, controller->getEditor());
    EXPECT_EQ(0, editor->getTopIterator().line);
    controller->setEditor(editor);
    EXPECT_EQ(25, editor->getTopIterator().line);
}

// Caught: the view state was kept by the editor, so a controller shown in another editor
// started at the top, and the horizontal offset was lost on rebinding.
TEST_F(EditorTest, EachControllerKeepsItsViewStateAcrossRebinding) {
    std::wstring all;
    for (int i = 0; i < 80; ++i)
        all += std::wstring(100, L'x') + L"\n";
    setText(all);
    // The caret is brought into view at binding: it stays inside the view.
    setCaret(30, 20);
    ASSERT_TRUE(editor->scrollTo(7, 25, 0, false));
    ASSERT_EQ(7, editor->getHorizontalColumn());
    corvel::DocumentController* other = controllers->createUntitledDocument();
    other->setText(L"short\ntext");
    Editor* second = Editor::create(host, 0);
    second->setFrameRect(0, 0, hostWidth, hostHeight);

    struct Case {
        const char* what;
        Editor* to;
        bool otherFirst; // the other controller is shown there in between
    };
    const Case cases[] = {
        {"another controller and back", editor, true},
        {"moved to another editor", second, false},
        {"moved back to the first editor", editor, false},
        {"another controller and back in the second editor", second, true},
    };
    for (const Case& c : cases) {
        if (c.otherFirst) {
            other->setEditor(c.to);
            EXPECT_EQ(0, c.to->getTopIterator().line) << c.what;
            EXPECT_EQ(0, c.to->getHorizontalColumn()) << c.what;
        }
        controller->setEditor(c.to);
        ASSERT_EQ(controller, c.to->getDocumentController()) << c.what;
        EXPECT_EQ(25, c.to->getTopIterator().line) << c.what;
        EXPECT_EQ(7, c.to->getHorizontalColumn()) << c.what;
    }
}

TEST_F(EditorTest, FocusMakesTheCommandHandlerLiveAndShowsTheCaret) {
    setText(L"abc");
    ShowWindow(host->getHandle(), SW_SHOWNA);
    SetFocus(editor->getHandle());
    pump();
    ASSERT_TRUE(editor->hasFocus());
    EXPECT_TRUE(editor->getCaret().isActive());
    EXPECT_TRUE(editor->getCaret().isShown());
    setCaret(0, 2);
    POINT point{};
    GetCaretPos(&point);
    EXPECT_EQ(editor->getTextLeft() + 2 * CELL, point.x);
    EXPECT_EQ(0, point.y);
    SetFocus(window.handle());
    pump();
    EXPECT_FALSE(editor->getCaret().isActive());
    ShowWindow(host->getHandle(), SW_HIDE);
}

TEST_F(EditorTest, UnboundEditorHandlesNothing) {
    controller->setEditor(nullptr);
    EXPECT_EQ(nullptr, editor->getDocumentController());
    SendMessageW(editor->getHandle(), WM_CHAR, L'x', 0);
    editor->moveCaret(Selection::ID_START_OVER, EditorPositionMap::CHAR_RIGHT, 0);
    EXPECT_FALSE(editor->scrollTo(3, 3, 0, true));
    std::unique_ptr<corveltest::DibTarget> shot = paint();
    EXPECT_EQ(L"", text());
}

} // namespace

namespace {

class EditorViewTest : public edtest::EditorFixture {};

TEST_F(EditorViewTest, AMarkedLineShowsItsIconInTheGutter) {
    setText(L"one\ntwo\nthree");
    controller->getDocument()->addLineMarker(1, L"error here", 0, 1);
    std::unique_ptr<corveltest::DibTarget> shot = paint();
    const RECT markerColumn{Editor::NUMBER_PADDING, 0, Editor::NUMBER_PADDING + Editor::MARKER_WIDTH, ROW};
    const COLORREF gutter = shot->pixel(1, 2 * ROW + 2);
    RECT marked = markerColumn;
    OffsetRect(&marked, 0, ROW);
    RECT plain = markerColumn;
    OffsetRect(&plain, 0, 2 * ROW);
    const int area = Editor::MARKER_WIDTH * ROW;
    EXPECT_EQ(area, shot->count(gutter, plain));
    EXPECT_LT(shot->count(gutter, marked), area);
}

TEST_F(EditorViewTest, ATypedCharacterShowsWithoutAParserRepaint) {
    // Caught: a text change kept the line's old layout, so plain text never showed a keystroke.
    setText(L"ab");
    setCaret(0, 2);
    const int left = editor->getTextLeft();
    const POINT at{left + 2 * CELL + CELL / 2, ROW / 2};
    const COLORREF before = paint()->pixel(at.x, at.y);
    SendMessageW(editor->getHandle(), WM_CHAR, L'c', 0);
    EXPECT_NE(before, paint()->pixel(at.x, at.y));
}

TEST_F(EditorViewTest, PaintsTheSameBehindAnActiveDialogAndWhileItsWindowIsDisabled) {
    // A find dialog takes the focus; a message box also disables the whole window behind it.
    // Neither may change what the editor shows: text, gutter and current line stay.
    setText(L"abc\nxyz\n");
    setCaret(1, 1);
    ShowWindow(host->getHandle(), SW_SHOWNA);
    SetFocus(editor->getHandle());
    pump();
    ASSERT_TRUE(editor->hasFocus());
    // Through the window's own paint path, as a repaint behind the dialog takes it.
    auto printed = [this] {
        RECT r = client();
        std::unique_ptr<corveltest::DibTarget> shot(new corveltest::DibTarget(r.right, r.bottom, RGB(1, 2, 3)));
        SendMessageW(editor->getHandle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(shot->dc()), PRF_CLIENT);
        return shot;
    };
    std::unique_ptr<corveltest::DibTarget> focused = printed();
    const int left = editor->getTextLeft();
    const COLORREF currentRow = focused->pixel(left + 10 * CELL, ROW + ROW / 2);
    ASSERT_NE(focused->pixel(left + 10 * CELL, ROW / 2), currentRow);
    ASSERT_NE(currentRow, focused->pixel(left + CELL / 2, ROW + ROW / 2)); // a glyph
    ASSERT_EQ(0, focused->count(RGB(1, 2, 3)));
    auto differing = [](const corveltest::DibTarget& a, const corveltest::DibTarget& b) {
        int n = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                n += a.pixel(x, y) != b.pixel(x, y);
        return n;
    };
    SetFocus(window.handle());
    pump();
    ASSERT_FALSE(editor->hasFocus());
    EXPECT_EQ(0, differing(*focused, *printed())) << "another window active";
    EnableWindow(host->getHandle(), FALSE);
    pump();
    EXPECT_EQ(0, differing(*focused, *printed())) << "its window disabled";
    EnableWindow(host->getHandle(), TRUE);
    ShowWindow(host->getHandle(), SW_HIDE);
}

TEST_F(EditorViewTest, TheCaretHidesOutOfViewAndComesBack) {
    std::wstring all;
    for (int i = 0; i < 100; ++i)
        all += L"line\n";
    setText(all);
    ShowWindow(host->getHandle(), SW_SHOWNA);
    SetFocus(editor->getHandle());
    pump();
    setCaret(2, 1);
    ASSERT_TRUE(editor->getCaret().isShown());
    editor->scrollTo(0, 50, 0, false);
    EXPECT_FALSE(editor->getCaret().isShown());
    editor->scrollTo(0, 1, 0, false);
    EXPECT_TRUE(editor->getCaret().isShown());
    POINT point{};
    GetCaretPos(&point);
    EXPECT_EQ(ROW, point.y);
    EXPECT_EQ(editor->getTextLeft() + CELL, point.x);
    SetFocus(window.handle());
    ShowWindow(host->getHandle(), SW_HIDE);
}

TEST_F(EditorViewTest, ATabWidthChangeLaysTheLinesOutAgain) {
    setText(L"\tx");
    EXPECT_EQ(4 * CELL, editor->getXAtPosition(TextPosition(0, 1), true, nullptr));
    controller->setIndentation(8, false);
    EXPECT_EQ(8 * CELL, editor->getXAtPosition(TextPosition(0, 1), true, nullptr));
}

TEST_F(EditorViewTest, WrappingMeasuresTheWidestRowNotTheWholeLine) {
    setText(std::wstring(200, L'x') + L"\nshort");
    EXPECT_EQ(200, editor->getHorizontalRange());
    corvel::FacePreset preset = controller->getFacePreset();
    preset.wordWrap = true;
    preset.boundaryBreak = false;
    editor->applyFacePreset(preset);
    std::unique_ptr<corveltest::DibTarget> shot = paint(); // lays the visible lines out again
    EXPECT_GT(editor->getLineCache().getLineEntry(0).subLineCount, 1);
    // The wrap width is at least 30 characters, however narrow the window.
    EXPECT_LE(editor->getHorizontalRange(), std::max(editor->getVisibleColumns(), 30));
    preset.wordWrap = false;
    editor->applyFacePreset(preset);
    shot = paint();
    EXPECT_EQ(200, editor->getHorizontalRange());
}

TEST_F(EditorViewTest, RepaintsWaitForTheOutermostBracketAndCoverOnlyTheirRows) {
    setText(L"one\ntwo\nthree\nfour");
    ShowWindow(host->getHandle(), SW_SHOWNA);
    HWND hwnd = editor->getHandle();
    UpdateWindow(hwnd);
    ASSERT_FALSE(GetUpdateRect(hwnd, nullptr, FALSE));
    controller->beginEdit(corvel::DocumentController::EDIT_READ);
    editor->beginUpdate();
    editor->beginUpdate();
    editor->invalidateLine(1);
    editor->invalidateLine(2);
    editor->endUpdate();
    EXPECT_FALSE(GetUpdateRect(hwnd, nullptr, FALSE));
    editor->endUpdate();
    controller->endEdit();
    RECT dirty{};
    ASSERT_TRUE(GetUpdateRect(hwnd, &dirty, FALSE));
    EXPECT_EQ(ROW, dirty.top);
    EXPECT_EQ(3 * ROW, dirty.bottom);
    UpdateWindow(hwnd);
    ShowWindow(host->getHandle(), SW_HIDE);
}

TEST_F(EditorViewTest, AControllersPresetReachesOnlyTheEditorShowingIt) {
    setText(std::wstring(200, L'x') + L"\nshort");
    corvel::FacePreset preset = controller->getFacePreset();
    preset.wordWrap = true;
    preset.boundaryBreak = false;
    preset.gutterLineNumbers = false;
    preset.boundary = 40;
    controller->setFacePreset(preset);
    std::unique_ptr<corveltest::DibTarget> shot = paint();
    EXPECT_TRUE(editor->getFacePreset().wordWrap);
    EXPECT_EQ(40, editor->getFacePreset().boundary);
    EXPECT_EQ(22, editor->getGutterWidth());
    EXPECT_GT(editor->getLineCache().getLineEntry(0).subLineCount, 1);

    // Another document in the editor: the first one's changes stay with it until it is shown.
    corvel::DocumentController* other = controllers->createUntitledDocument();
    other->setEditor(editor);
    EXPECT_FALSE(editor->getFacePreset().wordWrap) << "the other document's own preset";
    EXPECT_GT(editor->getGutterWidth(), 22);
    preset.boundary = 60;
    preset.gutterLineNumbers = true;
    controller->setFacePreset(preset);
    EXPECT_EQ(78, editor->getFacePreset().boundary);
    controller->setEditor(editor);
    EXPECT_EQ(60, editor->getFacePreset().boundary);
    EXPECT_GT(editor->getGutterWidth(), 22);
    preset.wordWrap = false;
    controller->setFacePreset(preset);
    shot = paint();
    EXPECT_EQ(1, editor->getLineCache().getLineEntry(0).subLineCount);
    controllers->destroyController(other);
}

TEST_F(EditorViewTest, EitherSideGoingAwayUnbindsTheOther) {
    corvel::DocumentController* other = controllers->createUntitledDocument();
    other->setEditor(editor);
    controllers->destroyController(other);
    EXPECT_EQ(nullptr, editor->getDocumentController());
    controller->setEditor(editor);
    Editor* second = Editor::create(host, 0);
    controller->setEditor(second);
    EXPECT_EQ(nullptr, editor->getDocumentController());
    delete second;
    EXPECT_EQ(nullptr, controller->getEditor());
    // A controller bound from the editor's side learns about its view too.
    editor->setDocumentController(controller);
    EXPECT_EQ(editor, controller->getEditor());
}

TEST_F(EditorViewTest, BadInputIsClampedNeverReadOutsideTheText) {
    setText(std::wstring(70000, L'x') + L"\nab");
    std::unique_ptr<corveltest::DibTarget> shot = paint();
    editor->moveCaret(Selection::ID_START_OVER, corvel::EditorPositionMap::SMART_END, 0);
    EXPECT_TRUE(TextPosition(0, 70000).samePlace(caret()));
    editor->moveCaret(Selection::ID_START_OVER, corvel::EditorPositionMap::DOCUMENT_END, 0);
    EXPECT_TRUE(TextPosition(1, 2).samePlace(caret()));
    controller->beginEdit(corvel::DocumentController::EDIT_READ);
    TextPosition position;
    EXPECT_TRUE(editor->pointToPosition(-50, -50, position, false));
    EXPECT_EQ(0, position.line);
    EXPECT_EQ(0, position.offset);
    EXPECT_TRUE(editor->pointToPosition(5000, 5000, position, false));
    EXPECT_EQ(1, position.line);
    EXPECT_EQ(2, position.offset);
    controller->endEdit();
    editor->scrollTo(-5, -5, -5, false);
    EXPECT_EQ(0, editor->getTopIterator().line);
    EXPECT_EQ(0, editor->getHorizontalColumn());
    EXPECT_TRUE(editor->scrollTo(0, 99, 0, false));
    EXPECT_EQ(1, editor->getTopIterator().line);
    SendMessageW(editor->getHandle(), WM_LBUTTONDOWN, 0, MAKELPARAM(-3, -3));
    SendMessageW(editor->getHandle(), WM_LBUTTONUP, 0, MAKELPARAM(-3, -3));
    shot = paint();
}

std::vector<std::wstring> g_dropped;
void takeDrop(void*, Editor*, const std::vector<std::wstring>& paths) {
    g_dropped = paths;
}

TEST_F(EditorViewTest, DroppedFilesGoToTheOwnerAndDroppedTextIsInserted) {
    setText(L"abc\ndef");
    corvel::afDataObjectComposite* data =
        static_cast<corvel::afDataObjectComposite*>(editor->getDropTarget()->getDataObject());
    static_cast<corvel::afDataObjectText*>(data->findPart(CF_UNICODETEXT))->setText(L"XY", 2);
    EXPECT_NE(corvel::afDropAction::NONE,
              editor->acceptDrop(POINT{editor->getTextLeft() + CELL + 2, ROW + 5}, corvel::afDropAction::COPY));
    EXPECT_EQ(L"abc\ndXYef", text());
    // Files without a handler are refused; with one they reach it.
    static_cast<corvel::afDataObjectFiles*>(data->findPart(CF_HDROP))->setPaths({L"C:\\a.txt"});
    EXPECT_EQ(corvel::afDropAction::NONE, editor->acceptDrop(POINT{0, 0}, corvel::afDropAction::COPY));
    Editor::FileDropHandler handler;
    handler.drop = &takeDrop;
    editor->setFileDropHandler(handler);
    static_cast<corvel::afDataObjectFiles*>(data->findPart(CF_HDROP))->setPaths({L"C:\\a.txt", L"C:\\b.txt"});
    EXPECT_EQ(corvel::afDropAction::COPY, editor->acceptDrop(POINT{0, 0}, corvel::afDropAction::COPY));
    EXPECT_EQ(2u, g_dropped.size());
    EXPECT_EQ(L"abc\ndXYef", text());
}

// Wide enough that a 40-column text leaves room on both sides.
class EditorWideTest : public edtest::EditorFixture {
protected:
    EditorWideTest() { hostWidth = 800; }
};

TEST_F(EditorWideTest, DistractionFreeWrapsAtTheMarginCentredWithoutNumbersAndComesBack) {
    setText(std::wstring(100, L'x') + L"\nshort");
    corvel::FacePreset preset = controller->getFacePreset();
    preset.gutterLineNumbers = true;
    preset.wordWrap = false;
    preset.boundaryShow = true;
    preset.boundary = 40;
    editor->applyFacePreset(preset);
    const int numbered = editor->getGutterWidth();
    ASSERT_GT(numbered, 22);

    editor->setDistractionFree(true);
    std::unique_ptr<corveltest::DibTarget> shot = paint();
    EXPECT_EQ(22, editor->getGutterWidth());
    EXPECT_EQ(0, editor->getDigitCount());
    EXPECT_EQ(40 * CELL, editor->getTextContext().wrapWidth());
    EXPECT_EQ((client().right - 22 - 40 * CELL) / 2, editor->getLeftPadding());
    EXPECT_EQ(3, editor->getLineCache().getLineEntry(0).subLineCount);
    EXPECT_FALSE(editor->getShownPreset().boundaryShow);
    // The owner's preset is kept as given.
    EXPECT_TRUE(editor->getFacePreset().gutterLineNumbers);
    EXPECT_FALSE(editor->getFacePreset().wordWrap);

    // A preset given meanwhile is shown the same way, at its own margin.
    preset.boundary = 50;
    editor->applyFacePreset(preset);
    shot = paint();
    EXPECT_EQ(22, editor->getGutterWidth());
    EXPECT_EQ(50 * CELL, editor->getTextContext().wrapWidth());
    EXPECT_EQ((client().right - 22 - 50 * CELL) / 2, editor->getLeftPadding());

    editor->setDistractionFree(false);
    shot = paint();
    EXPECT_EQ(numbered, editor->getGutterWidth());
    EXPECT_EQ(0, editor->getLeftPadding());
    EXPECT_EQ(1, editor->getLineCache().getLineEntry(0).subLineCount);
    EXPECT_EQ(100, editor->getHorizontalRange());
    EXPECT_TRUE(editor->getShownPreset().boundaryShow);
}

} // namespace
