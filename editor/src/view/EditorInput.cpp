// What the view takes itself: raw window messages, typed characters, the mouse and its
// gestures, the wheel, the input method and the keys the command tables leave to it.
#include "corvel/editor/Editor.h"

#include "EditorBrackets.h"
#include "corvel/document/ControllerBrackets.h"

#include "corvel/document/LineHeader.h"
#include "corvel/document/ScopePath.h"
#include "corvel/document/Selection.h"
#include "corvel/document/SpanBinding.h"
#include "corvel/editor/EditorCaret.h"
#include "corvel/editor/EditorContext.h"
#include "corvel/editor/LineCache.h"
#include "corvel/ui/afApp.h"
#include "corvel/ui/afEvent.h"
#include "corvel/ui/afIcon.h"
#include "corvel/ui/afKey.h"
#include "corvel/ui/afResources.h"
#include "corvel/ui/afSystem.h"
#include "corvel/ui/afUnicodeContext.h"
#include "corvel/widgets/Hint.h"
#include "corvel/widgets/afAction.h"
#include "corvel/widgets/afActionChooser.h"
#include "corvel/widgets/afActionEvent.h"
#include "corvel/widgets/afActionInvokerKey.h"
#include "corvel/widgets/afActionInvokerTab.h"
#include "corvel/widgets/afActionMatch.h"
#include "corvel/widgets/afActionMenuItem.h"
#include "corvel/widgets/afActionRegistry.h"
#include "corvel/widgets/afMenu.h"

#include <algorithm>
#include <imm.h>
#include <windowsx.h>

namespace corvel {

namespace {

// A burst of typing shows at least this often, in milliseconds.
const uint32_t TYPING_PAINT_INTERVAL_MS = 25;

// Cut and Copy of the context menu need a selection. The menu brings every item's state
// up to date again as it opens, so the item itself answers for it.
class SelectionMenuItem : public afActionMenuItem {
public:
    SelectionMenuItem(const wchar_t* title, const wchar_t* actionName, bool hasSelection)
        : afActionMenuItem(title, actionName), m_hasSelection(hasSelection) {}
    bool isEnabled() override { return m_hasSelection && afActionMenuItem::isEnabled(); }

private:
    bool m_hasSelection;
};

bool readImeResult(HWND hwnd, std::wstring& out) {
    out.clear();
    HIMC context = ImmGetContext(hwnd);
    if (!context)
        return false;
    LONG bytes = ImmGetCompositionStringW(context, GCS_RESULTSTR, nullptr, 0);
    if (bytes > 0) {
        out.resize(static_cast<size_t>(bytes) / sizeof(wchar_t));
        ImmGetCompositionStringW(context, GCS_RESULTSTR, &out[0], static_cast<DWORD>(bytes));
    }
    ImmReleaseContext(hwnd, context);
    return true;
}

Editor::ImeResultReader g_imeReader = &readImeResult;

// Modifier bits of an event in key-code form (afKey::CTRL ...).
int keyModifiers(const afEvent* event) {
    return event->getModifiers() << 8;
}

} // namespace

void Editor::setImeResultReader(ImeResultReader reader) {
    g_imeReader = reader ? reader : &readImeResult;
}

POINT Editor::clientPoint(const afEvent* event) const {
    POINT point{event->x, event->y};
    if (m_hwnd)
        ScreenToClient(m_hwnd, &point);
    return point;
}

// --- Raw messages -------------------------------------------------------------------------

bool Editor::onRawMessage(afMessage* message) {
    if (m_caretPopup && m_caretPopup->isVisible()) {
        switch (message->message) {
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_HSCROLL:
        case WM_VSCROLL:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_MOUSEWHEEL:
            hideCaretPopup();
            break;
        default:
            break;
        }
    }
    switch (message->message) {
    case WM_ERASEBKGND:
        message->result = 1;
        return true;
    case WM_GETDLGCODE:
        message->result = DLGC_WANTALLKEYS;
        return true;
    case WM_NCPAINT:
        if (paintThemedBorder(message))
            return true;
        break;
    case WM_NCCALCSIZE:
        if (calcThemedClient(message))
            return true;
        break;
    case WM_SIZE:
        if (m_controller) {
            beginUpdate();
            updateWrapLayout();
            updatePageSize(false);
            endUpdate();
        }
        break;
    case WM_SETCURSOR:
        if (m_controller && LOWORD(message->lParam) == HTCLIENT && afResources::exists()) {
            POINT point;
            GetCursorPos(&point);
            ScreenToClient(m_hwnd, &point);
            if (m_hint) {
                setCursorShape(1);
            } else if (hasCapture() && m_dragMode == DRAG_SELECTION) {
                setCursorShape(afSystem::isInDoubleClickRect(m_pressPoint.x, m_pressPoint.y, point.x, point.y) ? 0 : 2);
            } else {
                ReadScopeGuard read(m_controller);
                setCursorShape(hasCapture() || hitTestText(point.x, point.y) == 0 ? 2 : 0);
            }
            message->result = TRUE;
            return true;
        }
        break;
    case WM_CONTEXTMENU:
        if (m_controller) {
            POINT point{GET_X_LPARAM(message->lParam), GET_Y_LPARAM(message->lParam)};
            if (message->lParam == -1) {
                RECT area = getContextMenuPoint();
                point = POINT{area.left, area.bottom};
            }
            ScreenToClient(m_hwnd, &point);
            onContextMenu(point);
            return true;
        }
        break;
    case WM_IME_STARTCOMPOSITION:
        if (m_controller)
            placeImeWindow();
        break;
    case WM_IME_COMPOSITION:
        if (m_controller && (message->lParam & GCS_RESULTSTR) && insertImeResult(message))
            return true;
        break;
    case WM_IME_CHAR:
        if (m_controller) {
            const wchar_t character = static_cast<wchar_t>(message->wParam);
            EditBracket write(*m_controller, DocumentController::EDIT_WRITE);
            m_controller->insertText(1, &character);
            message->result = 0;
            return true;
        }
        break;
    default:
        break;
    }
    return afWidget::onRawMessage(message);
}

void Editor::setCursorShape(int index) {
    SetCursor(afResources::getCursor(index).getHandle());
}

void Editor::placeImeWindow() {
    ReadScopeGuard read(m_controller);
    POINT point;
    if (!positionToPoint(m_caret->getPosition(), point))
        return;
    if (HIMC context = ImmGetContext(m_hwnd)) {
        COMPOSITIONFORM form{};
        form.dwStyle = CFS_POINT;
        form.ptCurrentPos = point;
        ImmSetCompositionWindow(context, &form);
        ImmReleaseContext(m_hwnd, context);
    }
}

bool Editor::insertImeResult(afMessage* message) {
    std::wstring text;
    if (!g_imeReader(m_hwnd, text) || text.empty())
        return false;
    {
        EditBracket write(*m_controller, DocumentController::EDIT_WRITE);
        m_controller->insertString(text);
    }
    placeImeWindow();
    message->result = 0;
    return true;
}

// --- Characters ------------------------------------------------------------------------------

bool Editor::onCharNotice(void* self, afViewPlatform*, afEvent* event) {
    return static_cast<Editor*>(self)->onChar(event->character);
}

bool Editor::onChar(wchar_t code) {
    if (!m_controller || code < 32)
        return false;
    {
        EditBracket write(*m_controller, DocumentController::EDIT_WRITE);
        auto* keys = dynamic_cast<afActionInvokerKey*>(afApp::getKeyInvoker());
        // Without an application (tests, tools) the registry's character invoker serves.
        afActionRegistry* registry = afActionRegistry::getInstance();
        if (!keys && registry)
            keys = dynamic_cast<afActionInvokerKey*>(registry->getInvoker(afActionEventType::CHARACTER));
        if (!keys || !keys->invokeChar(getScopePath(), code))
            m_controller->insertText(1, &code);
    }
    paintWhileTyping();
    return true;
}

void Editor::paintWhileTyping() {
    // A paint comes only once no input is queued: keys that arrive faster than they are
    // handled would show all at once at the end of the burst. While more input waits, the
    // typed text is painted at a steady rate instead.
    const uint32_t now = GetTickCount();
    if (!m_hwnd || now - m_lastPaintTick < TYPING_PAINT_INTERVAL_MS)
        return;
    if (HIWORD(GetQueueStatus(QS_INPUT | QS_POSTMESSAGE)) == 0)
        return;
    UpdateWindow(m_hwnd);
}

// --- Mouse ------------------------------------------------------------------------------------

int Editor::hitTestText(int x, int y) {
    // x = 0 is the gutter's too.
    if (x >= 0 && x < m_gutterWidth + m_leftPadding)
        return 2;
    TextPosition position;
    if (!pointToPosition(x, y, position, false))
        return 0;
    if (position.line >= m_controller->getLineCount() ||
        position.offset > m_controller->getLineTextLength(position.line))
        return 0;
    return m_controller->getSelection()->isOffsetSelected(position) ? 1 : 0;
}

bool Editor::onMouseDown(afEvent* event) {
    if (!m_controller)
        return false;
    const POINT point = clientPoint(event);
    if (event->getDetail() == 2) {
        onContextMenu(point);
        return true;
    }
    if (event->getDetail() != 1)
        return false;
    m_pressPoint = point;
    bool onSelection;
    {
        ReadScopeGuard read(m_controller);
        onSelection = hitTestText(point.x, point.y) == 1;
    }
    // Only a first click may start dragging the selection: the later clicks of a double
    // or triple click land on the word or line the earlier ones selected.
    if (onSelection && event->getClickCount() <= 1 &&
        !(keyModifiers(event) & (afKey::SHIFT | afKey::CTRL | afKey::ALT))) {
        m_dragMode = DRAG_SELECTION;
        requestFocus();
        setCapture(true);
        return true;
    }
    pressAt(point, event->getClickCount(), keyModifiers(event));
    return true;
}

void Editor::pressAt(POINT point, unsigned clicks, int modifiers) {
    const bool alt = (modifiers & afKey::ALT) != 0;
    GestureScope scope(*this, *m_controller);
    TextPosition position;
    pointToPosition(point.x, point.y, position, alt);
    requestFocus();
    setCapture(true);
    if (hitTestText(point.x, point.y) == 2 || clicks >= 3)
        m_dragMode = DRAG_LINES;
    else
        m_dragMode = clicks == 2 ? DRAG_WORDS : DRAG_CHARACTERS;
    m_dragAnchor = position;
    m_dragCaret = position;
    if (m_dragMode == DRAG_WORDS && !m_controller->isVirtualPosition(position)) {
        m_dragCaret = m_positions->wordEnd(position);
        m_dragAnchor = m_positions->moveWordLeft(m_dragCaret, false);
    } else if (m_dragMode == DRAG_LINES) {
        m_dragAnchor = TextPosition(position.line, 0);
        m_dragCaret = position.line < m_controller->getLineCount()
                          ? TextPosition(position.line, m_controller->getLineTextLength(position.line), 1)
                          : TextPosition(position.line, 0);
        m_followCaret = false;
    }
    Selection& selection = scope.selection();
    const uint32_t options = alt ? SELECT_RESET_X | SELECT_VIRTUAL : uint32_t(SELECT_RESET_X);
    if (modifiers & afKey::SHIFT) {
        selection.select(selection.getAnchor(), m_dragCaret, options, Selection::ID_CURRENT);
    } else {
        const uint32_t kind = alt ? Selection::ID_RECTANGLE : Selection::ID_NORMAL;
        if (modifiers & afKey::CTRL) {
            selection.addSelection(m_dragAnchor, m_dragCaret, kind);
        } else {
            selection.select(m_dragCaret, m_dragCaret, options, Selection::ID_START_OVER);
            selection.select(m_dragAnchor, m_dragCaret, options, kind);
        }
    }
    m_followCaret = true;
}

bool Editor::onMouseMove(afEvent* event) {
    if (!m_controller)
        return false;
    const POINT point = clientPoint(event);
    if (hasCapture()) {
        if (m_dragMode != DRAG_SELECTION)
            dragSelectTo(point, keyModifiers(event));
        return true;
    }
    if (point.x >= 0 && point.x < m_gutterWidth + m_leftPadding)
        return showMarkerHint(point);
    destroyMarkerHint();
    return false;
}

void Editor::dragSelectTo(POINT point, int modifiers) {
    const int height = getLineHeight();
    RECT page{0, 0, clientWidth(), (clientHeight() / height) * height};
    if (m_dragMode == DRAG_LINES) {
        m_autoScrollAxes = 1;
        if (!m_autoScroll.isRunning())
            m_autoScroll.start();
    } else {
        RECT text = page;
        text.left += m_gutterWidth + m_leftPadding;
        if (PtInRect(&text, point)) {
            m_autoScroll.stop();
        } else {
            m_autoScrollAxes = 3;
            if (!m_autoScroll.isRunning())
                m_autoScroll.start();
        }
    }
    const bool alt = (modifiers & afKey::ALT) != 0;
    m_followCaret = false;
    {
        GestureScope scope(*this, *m_controller);
        Selection& selection = scope.selection();
        TextPosition position;
        pointToPosition(point.x, point.y, position, alt);
        const uint32_t options = alt ? SELECT_RESET_X | SELECT_VIRTUAL : uint32_t(SELECT_RESET_X);
        if (m_dragMode == DRAG_CHARACTERS) {
            selection.select(selection.getAnchor(), position, options, Selection::ID_CURRENT);
        } else if (position.before(m_dragAnchor)) {
            TextPosition end = position;
            if (m_dragMode == DRAG_LINES)
                end = TextPosition(position.line, 0);
            else if (!m_controller->isVirtualPosition(position))
                end = m_positions->moveWordLeft(m_positions->wordEnd(position), false);
            selection.select(m_dragCaret, end, options, Selection::ID_CURRENT);
        } else if (m_dragCaret.before(position)) {
            TextPosition end = position;
            if (m_dragMode == DRAG_LINES)
                end = position.line < m_controller->getLineCount()
                          ? TextPosition(position.line, m_controller->getLineTextLength(position.line), 1)
                          : TextPosition(position.line, 0);
            else if (!m_controller->isVirtualPosition(position))
                end = m_positions->wordEnd(position);
            selection.select(m_dragAnchor, end, options, Selection::ID_CURRENT);
        } else {
            selection.select(m_dragAnchor, m_dragCaret, options, Selection::ID_CURRENT);
        }
    }
    m_followCaret = true;
}

int Editor::autoScrollStep(int d, int t) {
    const bool fifth = t % 5 == 0;
    if (d >= 49)
        return 5;
    if (d >= 17)
        return 2;
    if (d >= 4)
        return 1;
    if (d >= 1)
        return fifth ? 1 : 0;
    if (d <= -49)
        return -5;
    if (d <= -17)
        return -2;
    if (d <= -4)
        return -1;
    if (d <= -1)
        return fifth ? -1 : 0;
    return 0;
}

bool Editor::onAutoScrollTimer(afTimer* timer) {
    if (!m_controller || !m_hwnd)
        return false;
    POINT point;
    GetCursorPos(&point);
    ScreenToClient(m_hwnd, &point);
    const int ticks = timer->getTicks();
    const int height = getLineHeight();
    const int pageBottom = (clientHeight() / height) * height;
    int rows = 0, columns = 0;
    if (m_autoScrollAxes & 1) {
        if (point.y < 0)
            rows = autoScrollStep(point.y, ticks);
        else if (point.y >= pageBottom)
            rows = autoScrollStep(point.y - pageBottom + 1, ticks);
    }
    if (m_autoScrollAxes & 2) {
        const int textLeft = m_gutterWidth + m_leftPadding;
        if (point.x < textLeft)
            columns = autoScrollStep(point.x - textLeft, ticks);
        else if (point.x > clientWidth())
            columns = autoScrollStep(point.x - clientWidth(), ticks);
    }
    {
        ReadScopeGuard read(m_controller);
        beginUpdate();
        if (rows || columns)
            scrollBy(columns, rows);
        endUpdate();
    }
    if (hasCapture() && m_dragMode != DRAG_SELECTION)
        dragSelectTo(point, afSystem::getModifierState() << 8);
    return true;
}

bool Editor::onMouseUp(afEvent* event) {
    if (!m_controller || !hasCapture())
        return false;
    const POINT point = clientPoint(event);
    if (m_dragMode == DRAG_SELECTION) {
        // A press on the selection that never became a drag: a click at the release point.
        {
            GestureScope scope(*this, *m_controller);
            Selection& selection = scope.selection();
            selection.select(selection.getCaret(), selection.getCaret(), SELECT_RESET_X, Selection::ID_START_OVER);
        }
        pressAt(point, 1, keyModifiers(event));
    } else {
        dragSelectTo(point, keyModifiers(event));
    }
    m_autoScroll.stop();
    setCapture(false);
    m_followCaret = true;
    return true;
}

bool Editor::onMouseLeave(afEvent*) {
    destroyMarkerHint();
    return false;
}

bool Editor::onMouseWheel(afEvent*, int notches) {
    if (!m_controller)
        return false;
    int lines = 3;
    UINT setting = 0;
    if (SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &setting, 0) && static_cast<int>(setting) > 1)
        lines = static_cast<int>(setting);
    ReadScopeGuard read(m_controller);
    scrollBy(0, -(notches * lines));
    return true;
}

// --- Marker hint ------------------------------------------------------------------------------

bool Editor::showMarkerHint(POINT point) {
    const std::vector<LineMarker>* markers;
    int32_t line;
    {
        ReadScopeGuard read(m_controller);
        line = rowAt(point.y).line;
        markers = m_controller->getLineMarkers(line);
    }
    if (!markers || markers->empty()) {
        destroyMarkerHint();
        return false;
    }
    if (m_hint && m_hintLine == line)
        return true;
    if (!m_hint)
        m_hint = Hint::create(this);
    if (!m_hint)
        return false;
    m_hint->clear();
    for (const LineMarker& marker : *markers)
        m_hint->addLine(marker.text);
    POINT screen = point;
    ClientToScreen(m_hwnd, &screen);
    SIZE size = m_hint->measure();
    m_hint->setFrameRect(screen.x, screen.y, size.cx, size.cy);
    m_hint->setVisible(true);
    m_hintLine = line;
    if (afResources::exists())
        setCursorShape(1);
    return true;
}

void Editor::destroyMarkerHint() {
    if (!m_hint)
        return;
    Hint* hint = m_hint;
    m_hint = nullptr;
    m_hintLine = -1;
    delete hint;
}

void Editor::hideCaretPopup() {
    if (m_caretPopup && m_caretPopup->isVisible())
        m_caretPopup->setVisible(false);
}

// --- Keys ----------------------------------------------------------------------------------------

bool Editor::onKeyDown(afEvent* event) {
    if (!m_controller)
        return false;
    const int code = event->getKeyCode();
    const int key = code & afKey::KEY;
    const bool modifierOnly =
        key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU || key == VK_LWIN || key == VK_RWIN;
    bool handled = false;
    if (key == VK_TAB)
        handled = handleTabKey(code);
    else if (key == VK_ESCAPE)
        handled = handleEscape();
    if (!modifierOnly)
        hideCaretPopup();
    return handled;
}

bool Editor::handleEscape() {
    if (m_caretPopup && m_caretPopup->isVisible())
        return true;
    if (!m_escapeCollapses)
        return false;
    GestureScope scope(*this, *m_controller);
    Selection& selection = scope.selection();
    bool done = false;
    if (!selection.isEmpty() || !selection.getFurtherRanges().empty()) {
        const TextPosition caret = selection.getCaret();
        selection.select(caret, caret, SELECT_RESET_X, Selection::ID_START_OVER);
        done = true;
    }
    if (SpanBinding* spans = m_controller->spans()) {
        if (spans->getActiveContext() && spans->getActiveContext() != spans->getRoot()) {
            spans->reset();
            done = true;
        }
    }
    return done;
}

bool Editor::handleTabKey(int keyCode) {
    const bool ctrl = (keyCode & afKey::CTRL) != 0;
    if (ctrl != m_tabNeedsCtrl)
        return false;
    const bool backward = (keyCode & afKey::SHIFT) != 0;
    if (navigateSnippetField(backward))
        return true;
    if (indentOrInsertTab(backward))
        return true;
    return !backward && expandTabTrigger();
}

bool Editor::navigateSnippetField(bool backward) {
    EditBracket write(*m_controller, DocumentController::EDIT_WRITE);
    SpanBinding* spans = m_controller->getSpanBinding();
    const bool moved = spans && spans->getActiveContext() && spans->getActiveContext() != spans->getRoot() &&
                       spans->gotoNextSpan(backward);
    m_controller->endChangeBatch();
    return moved;
}

bool Editor::indentOrInsertTab(bool backward) {
    EditBracket write(*m_controller, DocumentController::EDIT_WRITE);
    Selection* selection = m_controller->getSelection();
    const std::vector<SelectionRange>& ranges = selection->getRanges();
    bool allEmpty = true;
    for (const SelectionRange& range : ranges)
        allEmpty = allEmpty && range.isEmpty();
    if (!backward && allEmpty && ranges.size() <= 1)
        return false;
    if (!backward && allEmpty) {
        std::wstring tab;
        m_controller->getTabInsertText(m_controller->getCaretOffset(), tab);
        m_controller->insertString(tab);
        return true;
    }
    Selection::LineIntervals lines = selection->collectSelectedLines(false);
    m_controller->shiftLineIndent(backward ? -1 : 1, lines);
    selection->selectLineRanges(lines, false);
    return true;
}

bool Editor::expandTabTrigger() {
    EditBracket write(*m_controller, DocumentController::EDIT_WRITE);
    std::wstring before;
    textBeforeCaret(before);
    afActionMatchList matches;
    afActionInvokerTab* tabs = EditorContext::get().tabInvoker;
    if (tabs)
        tabs->invoke(matches, getScopePath(), before.c_str(), before.size());
    std::vector<std::wstring> names;
    for (const afActionMatch& match : matches)
        names.push_back(match.action->getName());
    const int chosen = chooseAction(matches, this);
    if (chosen == -2)
        return true;
    // Bundles may reload while the chooser is open: a named action is looked up again.
    afAction* action = nullptr;
    if (chosen >= 0 && static_cast<size_t>(chosen) < names.size()) {
        const std::wstring& name = names[static_cast<size_t>(chosen)];
        afActionRegistry* registry = tabs->getRegistry();
        action = name.empty() || !registry ? matches[static_cast<size_t>(chosen)].action
                                           : registry->findAction(name.c_str());
    }
    const int32_t caretBefore = m_controller->getCaretOffset();
    std::wstring tab;
    m_controller->getTabInsertText(caretBefore, tab);
    m_controller->insertString(tab);
    if (!action)
        return true;
    // The word ends where the caret stood; everything from its start to the caret after the
    // Tab text goes, counted in the document's own offsets, whatever the Tab text was.
    const int32_t wordStart = caretBefore - static_cast<int32_t>(matches[static_cast<size_t>(chosen)].secondary);
    m_controller->deleteBackwardOrSelection(wordStart - m_controller->getCaretOffset());
    afActionEventTab event;
    event.action = action;
    event.trigger = action->findTrigger(afActionEventType::TAB);
    event.context = &getScopePath();
    action->execute(&event);
    return true;
}

void Editor::textBeforeCaret(std::wstring& before) {
    const TextPosition caret = m_controller->getSelection()->getCaret();
    m_controller->getLineText(caret.line, before, false);
    const size_t column = static_cast<size_t>(std::max(0, caret.offset));
    // A caret in virtual space has blanks before it, which end no word.
    if (column > before.size())
        before.append(column - before.size(), L' ');
    before.resize(column);
}

// --- Context menu ---------------------------------------------------------------------------------

RECT Editor::getContextMenuPoint() {
    RECT area{0, 0, clientWidth(), clientHeight()};
    if (m_controller) {
        ReadScopeGuard read(m_controller);
        POINT point;
        if (positionToPoint(m_caret->getPosition(), point))
            area = RECT{point.x, point.y, point.x + m_caret->getWidth(), point.y + m_caret->getHeight()};
    }
    MapWindowPoints(m_hwnd, nullptr, reinterpret_cast<POINT*>(&area), 2);
    return area;
}

void Editor::onContextMenu(POINT point) {
    if (!m_controller)
        return;
    {
        GestureScope scope(*this, *m_controller);
        if (hitTestText(point.x, point.y) == 0) {
            TextPosition position;
            pointToPosition(point.x, point.y, position, false);
            scope.selection().select(position, position, SELECT_RESET_X, Selection::ID_START_OVER);
        }
    }
    std::unique_ptr<afMenu> menu(afMenu::createPopup(L""));
    if (!menu)
        return;
    bool hasSelection;
    {
        ReadScopeGuard read(m_controller);
        hasSelection = !m_controller->getSelection()->isEmpty();
    }
    menu->addItem(new SelectionMenuItem(L"Cu&t", L"edit.cut", hasSelection));
    menu->addItem(new SelectionMenuItem(L"&Copy", L"edit.copy", hasSelection));
    menu->addItem(new afActionMenuItem(L"&Paste", L"edit.paste"));
    menu->addSeparator();
    menu->addItem(new afActionMenuItem(L"&Undo", L"edit.undo"));
    menu->addItem(new afActionMenuItem(L"&Redo", L"edit.redo"));
    menu->addSeparator();
    menu->addItem(new afActionMenuItem(L"Select &All", L"edit.select.all"));
    menu->addItem(new afActionMenuItem(L"Select &Lines", L"edit.select.lines"));
    menu->addItem(new afActionMenuItem(L"Select &Lines Text", L"edit.select.lines.text"));
    menu->addItem(new afActionMenuItem(L"Select &Indent Level", L"edit.select.indent"));
    contextMenuContributors.invoke(this, menu.get());
    menu->updateItemStates();
    m_openMenu = menu.get();
    POINT screen = point;
    ClientToScreen(m_hwnd, &screen);
    afMenuNode* chosen = menu->popup(m_hwnd, screen.x, screen.y, false);
    m_openMenu = nullptr;
    if (auto* item = dynamic_cast<afActionMenuItem*>(chosen))
        item->execute(&getScopePath());
}

} // namespace corvel
