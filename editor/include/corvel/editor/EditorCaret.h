// The editor's caret record: where the primary caret is, the x that row moves try to
// keep, and the system caret that shows it while the editor has the focus. The editor
// never draws a caret itself; blinking is the system's. Main thread only.
#pragma once
#include "corvel/document/TextPosition.h"

#include <cstdint>

namespace corvel {

class Editor;

class EditorCaret {
public:
    explicit EditorCaret(Editor& editor) : m_editor(editor) {}
    virtual ~EditorCaret();
    EditorCaret(const EditorCaret&) = delete;
    EditorCaret& operator=(const EditorCaret&) = delete;

    // Marks changed when line, column or trailing flag differ; resetX is stored always.
    void setPosition(const TextPosition& position, bool resetX);
    // Creates or destroys the system caret.
    void setActive(bool active);
    // Builds the system caret again at the current size (after the height changed).
    void recreate();
    // At the end of the editor's outermost update bracket: moves, shows or hides the
    // system caret and refreshes the desired x when a move asked for it.
    void update();
    // At the start of the outermost bracket.
    void clearFlags() {
        m_changed = false;
        m_resetDesiredX = false;
    }

    const TextPosition& getPosition() const { return m_position; }
    int32_t getDesiredX() const { return m_desiredX; }
    bool isChanged() const { return m_changed; }
    bool isShown() const { return m_shown; }
    bool isActive() const { return m_active; }
    int32_t getHeight() const { return m_height; }
    void setHeight(int32_t height) { m_height = height; }
    int32_t getWidth() const { return m_width; }

private:
    Editor& m_editor;
    TextPosition m_position;
    bool m_resetDesiredX = false;
    int32_t m_desiredX = 0; // pixels in the text, as getXAtPosition gives them
    bool m_changed = false;
    bool m_shown = false;  // the system caret is visible
    bool m_active = false; // the system caret exists
    int32_t m_height = 16;
    int32_t m_width = 1;
};

} // namespace corvel
