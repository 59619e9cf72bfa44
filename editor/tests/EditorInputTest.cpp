#include "corvel/editor/EditorCaret.h"
#include "corvel/widgets/Hint.h"
#include "corvel/widgets/afActionHandler.h"
#include "corvel/widgets/afActionRegistry.h"
#include "corvel/widgets/afActionSystem.h"
#include "corvel/widgets/afMenu.h"
#include "support/EditorFixture.h"

#include <gtest/gtest.h>

using corvel::Editor;
using corvel::Selection;
using corvel::TextPosition;

namespace {

enum Keys { NONE = 0, SHIFT = 1, CTRL = 2, ALT = 4 };

class EditorInputTest : public edtest::EditorFixture {
protected:
    void TearDown() override {
        holdKeys(NONE);
        edtest::EditorFixture::TearDown();
    }
    // Modifiers as GetKeyState reports them from now on.
    void holdKeys(int keys) {
        BYTE state[256] = {};
        GetKeyboardState(state);
        auto set = [&](int vk, bool down) { state[vk] = down ? 0x80 : 0; };
        set(VK_SHIFT, keys & SHIFT);
        set(VK_LSHIFT, keys & SHIFT);
        set(VK_CONTROL, keys & CTRL);
        set(VK_LCONTROL, keys & CTRL);
        set(VK_MENU, keys & ALT);
        set(VK_LMENU, keys & ALT);
        SetKeyboardState(state);
    }
    // Client point of a text cell's left part.
    POINT cell(int line, int column) const { return POINT{editor->getTextLeft() + column * CELL + 2, line * ROW + 5}; }
    void mouse(UINT message, POINT client) {
        POINT screen = client;
        ClientToScreen(editor->getHandle(), &screen);
        SetCursorPos(screen.x, screen.y);
        SendMessageW(editor->getHandle(), message, 0, MAKELPARAM(client.x, client.y));
    }
    void click(POINT client, int clicks = 1) {
        for (int i = 0; i < clicks; ++i) {
            mouse(WM_LBUTTONDOWN, client);
            mouse(WM_LBUTTONUP, client);
        }
    }
    // Forgets the last press so that the next one counts as a first click.
    void newGesture() { editor->clickState() = corvel::afView::ClickState(); }
    ::testing::AssertionResult selects(int anchorLine, int anchorOffset, int caretLine, int caretOffset) {
        const TextPosition& a = selection()->getAnchor();
        const TextPosition& c = selection()->getCaret();
        if (a.samePlace(TextPosition(anchorLine, anchorOffset)) && c.samePlace(TextPosition(caretLine, caretOffset)))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "selection (" << a.line << ", " << a.offset << ") .. (" << c.line << ", " << c.offset << ")";
    }
    bool keyDown(int virtualKey) {
        MSG msg{editor->getHandle(), WM_KEYDOWN, static_cast<WPARAM>(virtualKey), 0, 0, {0, 0}};
        corvel::afEvent event(msg, static_cast<unsigned>(virtualKey));
        return editor->onKeyDown(&event);
    }
};

TEST_F(EditorInputTest, ClicksSelectByTheirCount) {
    setText(L"alpha beta gamma\nsecond line");
    struct Case {
        int clicks;
        int line, column;
        int anchorLine, anchorOffset, caretLine, caretOffset;
    };
    const Case cases[] = {
        {1, 0, 7, 0, 7, 0, 7},  // a caret
        {2, 0, 7, 0, 6, 0, 10}, // the word under the mouse
        {2, 0, 6, 0, 6, 0, 10}, // on its first character too
        {3, 1, 2, 1, 0, 1, 11}, // the line
        {1, 5, 3, 1, 3, 1, 3},  // below the last line: on the last row
    };
    for (const Case& c : cases) {
        newGesture();
        click(cell(c.line, c.column), c.clicks);
        EXPECT_TRUE(selects(c.anchorLine, c.anchorOffset, c.caretLine, c.caretOffset))
            << c.clicks << " clicks at (" << c.line << ", " << c.column << ")";
    }
}

TEST_F(EditorInputTest, AGutterClickSelectsTheLineAndDraggingThereScrollsRowsOnly) {
    setText(L"one\ntwo\nthree");
    newGesture();
    mouse(WM_LBUTTONDOWN, POINT{0, ROW + 3});
    EXPECT_TRUE(selects(1, 0, 1, 3));
    EXPECT_EQ(Editor::DRAG_LINES, editor->getDragMode());
    mouse(WM_MOUSEMOVE, POINT{5, 2 * ROW + 3});
    EXPECT_TRUE(selects(1, 0, 2, 5));
    EXPECT_TRUE(editor->isAutoScrolling());
    EXPECT_EQ(1, editor->getAutoScrollAxes());
    mouse(WM_LBUTTONUP, POINT{5, 2 * ROW + 3});
    EXPECT_FALSE(editor->isAutoScrolling());
}

TEST_F(EditorInputTest, ModifiersExtendAddOrMakeRectangles) {
    setText(L"abcdef\nabcdef\nab");
    newGesture();
    click(cell(0, 1));
    holdKeys(SHIFT);
    newGesture();
    click(cell(1, 3));
    EXPECT_TRUE(selects(0, 1, 1, 3));
    holdKeys(CTRL);
    newGesture();
    click(cell(2, 1));
    EXPECT_EQ(2u, selection()->getRanges().size());
    holdKeys(ALT);
    newGesture();
    mouse(WM_LBUTTONDOWN, cell(0, 1));
    mouse(WM_MOUSEMOVE, cell(2, 5));
    mouse(WM_LBUTTONUP, cell(2, 5));
    EXPECT_EQ(Selection::ID_RECTANGLE, selection()->getBehaviorId());
    // The caret may stand beyond the short last line.
    EXPECT_EQ(TextPosition(2, 5).offset, selection()->getCaret().offset);
}

TEST_F(EditorInputTest, DoubleClickDragExtendsByWholeWords) {
    setText(L"one two three four");
    newGesture();
    click(cell(0, 9), 1);
    mouse(WM_LBUTTONDOWN, cell(0, 9));
    mouse(WM_MOUSEMOVE, cell(0, 5));
    EXPECT_TRUE(selects(0, 13, 0, 4));
    mouse(WM_MOUSEMOVE, cell(0, 15));
    EXPECT_TRUE(selects(0, 8, 0, 18));
    mouse(WM_LBUTTONUP, cell(0, 15));
}

TEST_F(EditorInputTest, AClickInsideTheSelectionReleasedWithoutMovingPlacesTheCaret) {
    setText(L"hello world");
    controller->beginEdit(corvel::DocumentController::EDIT_READ);
    selection()->select(TextPosition(0, 0), TextPosition(0, 11), 1, Selection::ID_NORMAL);
    controller->endEdit();
    newGesture();
    mouse(WM_LBUTTONDOWN, cell(0, 3));
    EXPECT_EQ(Editor::DRAG_SELECTION, editor->getDragMode());
    EXPECT_TRUE(selects(0, 0, 0, 11));
    mouse(WM_LBUTTONUP, cell(0, 3));
    EXPECT_TRUE(selects(0, 3, 0, 3));
}

TEST_F(EditorInputTest, AutoScrollStepsGrowWithTheDistance) {
    struct Case {
        int distance, tick, step;
    };
    const Case cases[] = {{60, 1, 5},  {49, 1, 5},   {48, 1, 2},   {17, 1, 2},   {16, 1, 1},   {4, 1, 1},
                          {3, 1, 0},   {2, 5, 1},    {1, 10, 1},   {0, 5, 0},    {-2, 1, 0},   {-2, 5, -1},
                          {-4, 1, -1}, {-16, 1, -1}, {-17, 1, -2}, {-48, 1, -2}, {-49, 1, -5}, {-60, 3, -5}};
    for (const Case& c : cases)
        EXPECT_EQ(c.step, Editor::autoScrollStep(c.distance, c.tick)) << c.distance << " at tick " << c.tick;
}

TEST_F(EditorInputTest, AWheelSettingOfOneLineScrollsThreeRows) {
    std::wstring all;
    for (int i = 0; i < 100; ++i)
        all += L"x\n";
    setText(all);
    UINT saved = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &saved, 0);
    SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, 1, nullptr, 0);
    editor->scrollTo(0, 20, 0, false);
    SendMessageW(editor->getHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, -120), 0);
    EXPECT_EQ(23, editor->getTopIterator().line);
    SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, 5, nullptr, 0);
    SendMessageW(editor->getHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, 240), 0);
    EXPECT_EQ(13, editor->getTopIterator().line);
    SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, saved, nullptr, 0);
}

TEST_F(EditorInputTest, WithoutWrapTheCaretKeepsFiveColumnsFromTheEdges) {
    setText(std::wstring(300, L'x'));
    const int columns = editor->getVisibleColumns();
    setCaret(0, columns);
    EXPECT_EQ(6, editor->getHorizontalColumn());
    setCaret(0, 8);
    EXPECT_EQ(3, editor->getHorizontalColumn());
}

TEST_F(EditorInputTest, EscapeCollapsesASelectionOnly) {
    setText(L"hello");
    EXPECT_FALSE(keyDown(VK_ESCAPE));
    controller->beginEdit(corvel::DocumentController::EDIT_READ);
    selection()->select(TextPosition(0, 1), TextPosition(0, 4), 1, Selection::ID_NORMAL);
    controller->endEdit();
    EXPECT_TRUE(keyDown(VK_ESCAPE));
    EXPECT_TRUE(selects(0, 4, 0, 4));
    editor->setEscapeCollapses(false);
    EXPECT_FALSE(keyDown(VK_ESCAPE));
}

TEST_F(EditorInputTest, TabIndentsSelectedLinesAndInsertsAtACaret) {
    setText(L"a\nb\nc");
    setCaret(0, 1);
    EXPECT_TRUE(keyDown(VK_TAB));
    EXPECT_EQ(L"a\t\nb\nc", text());
    controller->beginEdit(corvel::DocumentController::EDIT_READ);
    selection()->select(TextPosition(1, 0), TextPosition(2, 1), 1, Selection::ID_NORMAL);
    controller->endEdit();
    EXPECT_TRUE(keyDown(VK_TAB));
    EXPECT_EQ(L"a\t\n\tb\n\tc", text());
    holdKeys(SHIFT);
    EXPECT_TRUE(keyDown(VK_TAB));
    EXPECT_EQ(L"a\t\nb\nc", text());
    // Ctrl+Tab belongs to other handlers unless the editor asks for it.
    holdKeys(CTRL);
    EXPECT_FALSE(keyDown(VK_TAB));
    editor->setTabNeedsCtrl(true);
    holdKeys(NONE);
    EXPECT_FALSE(keyDown(VK_TAB));
    EXPECT_EQ(L"a\t\nb\nc", text());
}

bool g_imeHasResult = false;
bool fakeImeResult(HWND, std::wstring& out) {
    out = g_imeHasResult ? L"\x65E5\x672C" : L"";
    return true;
}

TEST_F(EditorInputTest, InputMethodResultsAndCharactersAreInserted) {
    Editor::setImeResultReader(&fakeImeResult);
    setText(L"ab");
    setCaret(0, 1);
    g_imeHasResult = false;
    SendMessageW(editor->getHandle(), WM_IME_COMPOSITION, 0, GCS_RESULTSTR);
    EXPECT_EQ(L"ab", text());
    g_imeHasResult = true;
    EXPECT_EQ(0, SendMessageW(editor->getHandle(), WM_IME_COMPOSITION, 0, GCS_RESULTSTR));
    EXPECT_EQ(L"a\x65E5\x672C"
              L"b",
              text());
    SendMessageW(editor->getHandle(), WM_IME_CHAR, L'z', 0);
    EXPECT_EQ(L"a\x65E5\x672Cz"
              L"b",
              text());
    Editor::setImeResultReader(nullptr);
}

TEST_F(EditorInputTest, AMarkerHintShowsTheLinesMarkersInTheGutter) {
    setText(L"one\ntwo");
    controller->getDocument()->addLineMarker(1, L"A warning", 0, 2);
    mouse(WM_MOUSEMOVE, POINT{3, ROW + 4});
    ASSERT_NE(nullptr, editor->getMarkerHint());
    EXPECT_EQ(1, editor->getMarkerHintLine());
    ASSERT_EQ(1u, editor->getMarkerHint()->getLines().size());
    EXPECT_EQ(L"A warning", editor->getMarkerHint()->getLines()[0]);
    mouse(WM_MOUSEMOVE, POINT{3, 4});
    EXPECT_EQ(nullptr, editor->getMarkerHint());
}

Editor* g_menuEditor = nullptr;
int g_menuItemCount = -1;
bool g_cutGreyed = false;
void CALLBACK inspectMenu(HWND, UINT, UINT_PTR id, DWORD) {
    corvel::afMenu* menu = g_menuEditor->getOpenContextMenu();
    if (!menu)
        return;
    KillTimer(nullptr, id);
    g_menuItemCount = GetMenuItemCount(menu->getHandle());
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STATE;
    GetMenuItemInfoW(menu->getHandle(), 0, TRUE, &info);
    g_cutGreyed = (info.fState & MFS_DISABLED) != 0;
    EndMenu();
}

// The greyed state of the open context menu's first three items (Cut, Copy, Paste).
std::vector<bool> g_greyed;
void CALLBACK inspectFirstItems(HWND, UINT, UINT_PTR id, DWORD) {
    corvel::afMenu* menu = g_menuEditor->getOpenContextMenu();
    if (!menu)
        return;
    KillTimer(nullptr, id);
    g_greyed.clear();
    for (UINT position = 0; position < 3; ++position) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_STATE;
        GetMenuItemInfoW(menu->getHandle(), position, TRUE, &info);
        g_greyed.push_back((info.fState & MFS_DISABLED) != 0);
    }
    EndMenu();
}

// A live handler for the clipboard commands, as the application has one.
class ClipboardCommands : public corvel::afActionHandler {
public:
    explicit ClipboardCommands(corvel::afActionRegistry* registry)
        : corvel::afActionHandler(L"ClipboardTest", registry) {
        activate();
    }
    bool run(corvel::afActionEvent*) { return true; }
};

// Caught: opening the menu brought every item's state up to date again, so Cut and Copy
// of live commands showed enabled without a selection.
TEST_F(EditorInputTest, CutAndCopyOfLiveCommandsNeedASelection) {
    std::unique_ptr<corvel::afActionRegistry> own;
    corvel::afActionRegistry* registry = corvel::afActionRegistry::getInstance();
    if (!registry) {
        own.reset(new corvel::afActionRegistry());
        registry = own.get();
    }
    ASSERT_EQ(registry, corvel::afActionRegistry::getInstance());
    ClipboardCommands handler(registry);
    std::vector<corvel::afAction*> added;
    for (const wchar_t* name : {L"edit.cut", L"edit.copy", L"edit.paste"}) {
        if (!registry->findAction(name))
            added.push_back(registry->addAction(
                new corvel::afActionSystem(L"Command", handler.getHandlerClass(), name, L"", &ClipboardCommands::run)));
    }
    setText(L"hello world");
    g_menuEditor = editor;
    ShowWindow(host->getHandle(), SW_SHOWNA);
    struct Case {
        const char* what;
        int anchor, caret, pointAt; // the menu opens over column pointAt
        std::vector<bool> greyed;   // Cut, Copy, Paste
    };
    const Case cases[] = {
        {"no selection", 3, 3, 3, {true, true, false}},
        {"a selection", 0, 5, 2, {false, false, false}},
    };
    for (const Case& c : cases) {
        controller->beginEdit(corvel::DocumentController::EDIT_READ);
        selection()->selectOffsets(c.anchor, c.caret, Selection::ID_NORMAL);
        controller->endEdit();
        g_greyed.clear();
        UINT_PTR timer = SetTimer(nullptr, 0, 20, &inspectFirstItems);
        editor->onContextMenu(cell(0, c.pointAt));
        KillTimer(nullptr, timer);
        EXPECT_EQ(c.greyed, g_greyed) << c.what;
    }
    ShowWindow(host->getHandle(), SW_HIDE);
    for (corvel::afAction* action : added)
        registry->removeAction(action);
}

TEST_F(EditorInputTest, TheContextMenuGreysCutAndCopyWithoutASelection) {
    setText(L"hello world");
    g_menuEditor = editor;
    ShowWindow(host->getHandle(), SW_SHOWNA);
    UINT_PTR timer = SetTimer(nullptr, 0, 20, &inspectMenu);
    editor->onContextMenu(cell(0, 3));
    KillTimer(nullptr, timer);
    ShowWindow(host->getHandle(), SW_HIDE);
    EXPECT_EQ(11, g_menuItemCount);
    EXPECT_TRUE(g_cutGreyed);
    EXPECT_TRUE(selects(0, 3, 0, 3));
}

} // namespace
