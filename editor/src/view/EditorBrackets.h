// The scoped brackets the editor opens around its work: a read bracket on a controller
// that may be absent, and a gesture's read bracket, selection batch and view update.
#pragma once
#include "corvel/document/DocumentController.h"
#include "corvel/editor/Editor.h"

namespace corvel {

class ReadScopeGuard {
public:
    explicit ReadScopeGuard(DocumentController* controller) : m_controller(controller) {
        if (m_controller)
            m_controller->beginEdit(DocumentController::EDIT_READ);
    }
    ~ReadScopeGuard() {
        if (m_controller)
            m_controller->endEdit();
    }
    ReadScopeGuard(const ReadScopeGuard&) = delete;
    ReadScopeGuard& operator=(const ReadScopeGuard&) = delete;

private:
    DocumentController* m_controller;
};

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

} // namespace corvel
