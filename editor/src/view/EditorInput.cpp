// What the view takes itself: raw window messages, typed characters, the mouse, the
// wheel and the keys the command tables leave to it.
#include "corvel/editor/Editor.h"

#include "corvel/document/Selection.h"
#include "corvel/document/SpanBinding.h"
#include "corvel/editor/EditorCaret.h"
#include "corvel/editor/LineCache.h"
#include "corvel/ui/afEvent.h"
#include "corvel/ui/afKey.h"
#include "corvel/ui/afSystem.h"
#include "corvel/ui/afUnicodeContext.h"

#include <algorithm>

namespace corvel {

namespace {

// Brackets of one gesture: read, selection batch and view update, closed in reverse.
class GestureScope {
public:
    GestureScope(Editor& editor, DocumentController& controller) : m_editor(editor), m_controller(controller) {
        m_controller.beginEdit(DocumentController::EDIT_READ);
        m_selection = m_controller.beginChangeBatch();
        m_editor.beginUpdate();
    }
    ~GestureScope() {
        m_editor.endUpdate();
        m_controller.endChangeBatch();
        m_controller.endEdit();
    }
    GestureScope(const GestureScope&) = delete;
    GestureScope& operator=(const GestureScope&) = delete;
    Selection& selection() const { return *m_selection; }

private:
    Editor& m_editor;
    DocumentController& m_controller;
    Selection* m_selection = nullptr;
};

class WriteScope {
public:
    explicit WriteScope(DocumentController& controller) : m_controller(controller) {
        m_controller.beginEdit(DocumentController::EDIT_WRITE);
    }
    ~WriteScope() { m_controller.endEdit(); }
    WriteScope(const WriteScope&) = delete;
    WriteScope& operator=(const WriteScope&) = delete;

private:
    DocumentController& m_controller;
};

} // namespace

POINT Editor::clientPoint(const afEvent* event) const {
    POINT point{event->x, event->y};
    if (m_hwnd)
        ScreenToClient(m_hwnd, &point);
    return point;
}

bool Editor::onRawMessage(afMessage* message) {
    switch (message->message) {
    case WM_ERASEBKGND:
        message->result = 1;
        return true;
    case WM_GETDLGCODE:
        message->result = DLGC_WANTALLKEYS;
        return true;
    case WM_SIZE:
        if (m_controller) {
            beginUpdate();
            updateWrapLayout();
            updatePageSize(false);
            endUpdate();
        }
        break;
    case WM_IME_CHAR:
        if (m_controller) {
            const wchar_t character = static_cast<wchar_t>(message->wParam);
            WriteScope write(*m_controller);
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

bool Editor::onCharNotice(void* self, afViewPlatform*, afEvent* event) {
    return static_cast<Editor*>(self)->onChar(event->character);
}

bool Editor::onChar(wchar_t code) {
    if (!m_controller || code < 32)
        return false;
    WriteScope write(*m_controller);
    m_controller->insertText(1, &code);
    return true;
}

int Editor::hitTestText(int x, int y) {
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
    m_pressPoint = point;
    const int modifiers = event->getModifiers() << 8;
    const bool alt = (modifiers & afKey::ALT) != 0;
    GestureScope scope(*this, *m_controller);
    TextPosition position;
    pointToPosition(point.x, point.y, position, alt);
    requestFocus();
    setCapture(true);
    const unsigned clicks = event->getClickCount();
    if (hitTestText(point.x, point.y) == 2 || clicks >= 3)
        m_dragMode = DRAG_LINES;
    else
        m_dragMode = clicks == 2 ? DRAG_WORDS : DRAG_CHARACTERS;
    m_dragAnchor = position;
    m_dragCaret = position;
    if (m_dragMode == DRAG_WORDS && !m_controller->isVirtualPosition(position)) {
        m_positions->selectWordAt(position, m_dragAnchor, m_dragCaret);
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
    return true;
}

bool Editor::onMouseMove(afEvent* event) {
    if (!m_controller)
        return false;
    if (!hasCapture())
        return false;
    const POINT point = clientPoint(event);
    const bool alt = ((event->getModifiers() << 8) & afKey::ALT) != 0;
    m_followCaret = false;
    {
        GestureScope scope(*this, *m_controller);
        TextPosition position;
        pointToPosition(point.x, point.y, position, alt);
        Selection& selection = scope.selection();
        const uint32_t options = alt ? SELECT_RESET_X | SELECT_VIRTUAL : uint32_t(SELECT_RESET_X);
        selection.select(selection.getAnchor(), position, options, Selection::ID_CURRENT);
    }
    m_followCaret = true;
    return true;
}

bool Editor::onMouseUp(afEvent* event) {
    if (!m_controller)
        return false;
    if (!hasCapture())
        return false;
    (void)event;
    m_autoScroll.stop();
    setCapture(false);
    m_followCaret = true;
    return true;
}

bool Editor::onMouseLeave(afEvent*) {
    return false;
}

bool Editor::onMouseWheel(afEvent*, int notches) {
    if (!m_controller)
        return false;
    int lines = 3;
    UINT setting = 0;
    if (SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &setting, 0) && static_cast<int>(setting) > 1)
        lines = static_cast<int>(setting);
    m_controller->beginEdit(DocumentController::EDIT_READ);
    scrollBy(0, -(notches * lines));
    m_controller->endEdit();
    return true;
}

bool Editor::onKeyDown(afEvent* event) {
    if (!m_controller)
        return false;
    const int key = event->getKeyCode() & afKey::KEY;
    if (key == VK_ESCAPE && m_escapeCollapses) {
        GestureScope scope(*this, *m_controller);
        Selection& selection = scope.selection();
        if (!selection.isEmpty() || selection.getRanges().size() > 1) {
            selection.collapse();
            return true;
        }
        return false;
    }
    return false;
}

bool Editor::onAutoScrollTimer(afTimer*) {
    return m_controller != nullptr;
}

} // namespace corvel
