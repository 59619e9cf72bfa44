#include "corvel/editor/EditorCaret.h"

#include "corvel/editor/Editor.h"

#include <windows.h>

namespace corvel {

EditorCaret::~EditorCaret() {
    if (m_active)
        DestroyCaret();
}

void EditorCaret::setPosition(const TextPosition& position, bool resetX) {
    if (!(position == m_position)) {
        m_position = position;
        m_changed = true;
    }
    if (resetX)
        m_resetDesiredX = true;
}

void EditorCaret::setActive(bool active) {
    if (active == m_active)
        return;
    m_active = active;
    m_changed = true;
    if (active) {
        CreateCaret(m_editor.getHandle(), nullptr, m_width, m_height);
        m_shown = false;
        return;
    }
    DestroyCaret();
    m_shown = false;
}

void EditorCaret::recreate() {
    if (!m_active)
        return;
    DestroyCaret();
    m_shown = false;
    CreateCaret(m_editor.getHandle(), nullptr, m_width, m_height);
    m_changed = true;
}

void EditorCaret::update() {
    if (m_active) {
        POINT point;
        if (m_editor.positionToPoint(m_position, point)) {
            POINT current{0, 0};
            GetCaretPos(&current);
            if (current.x != point.x || current.y != point.y || !m_shown)
                SetCaretPos(point.x, point.y);
            if (!m_shown) {
                ShowCaret(m_editor.getHandle());
                m_shown = true;
            }
        } else if (m_shown) {
            HideCaret(m_editor.getHandle());
            m_shown = false;
        }
    }
    if (m_resetDesiredX) {
        m_desiredX = m_editor.getXAtPosition(m_position, false, nullptr);
        m_resetDesiredX = false;
    }
}

} // namespace corvel
