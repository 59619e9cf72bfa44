// Drops on the editor: dragged files go to the owner's handler, dropped text lands where
// the mouse let it go.
#include "corvel/editor/Editor.h"

#include "EditorBrackets.h"
#include "corvel/document/ControllerBrackets.h"
#include "corvel/document/Selection.h"
#include "corvel/ui/afEvent.h"
#include "corvel/widgets/afDataObjectComposite.h"
#include "corvel/widgets/afDataObjectFiles.h"
#include "corvel/widgets/afDataObjectText.h"
#include "corvel/widgets/afDropAction.h"
#include "corvel/widgets/afDropTarget.h"

namespace corvel {

void Editor::makeDropTarget() {
    auto* composite = new afDataObjectComposite();
    m_dropText = new afDataObjectText();
    m_dropFiles = new afDataObjectFiles();
    composite->addPart(m_dropText, true);
    composite->addPart(m_dropFiles, false);
    m_dropTarget = new afDropTarget(composite, true);
    m_dropTarget->enterCallback = afDropTarget::ActionCallback(this, &Editor::onDragDecide);
    m_dropTarget->overCallback = afDropTarget::ActionCallback(this, &Editor::onDragDecide);
    m_dropTarget->dropCallback = afDropTarget::ActionCallback(this, &Editor::onDropData);
    m_dropTarget->leaveCallback = afDropTarget::LeaveCallback(this, &Editor::onDragGone);
    setDropTarget(m_dropTarget);
}

int Editor::onDragDecide(void* self, afDropTarget*, afEvent* event, int allowed, int) {
    Editor* editor = static_cast<Editor*>(self);
    if (!editor->m_controller)
        return afDropAction::NONE;
    if (editor->m_fileDrop.decide)
        return editor->m_fileDrop.decide(editor->m_fileDrop.object, editor, allowed);
    (void)event;
    return (allowed & afDropAction::COPY) ? afDropAction::COPY : afDropAction::NONE;
}

int Editor::onDropData(void* self, afDropTarget* target, afEvent* event, int allowed, int) {
    Editor* editor = static_cast<Editor*>(self);
    if (!editor->m_controller || !target->getData())
        return afDropAction::NONE;
    POINT point{event->x, event->y};
    ScreenToClient(editor->m_hwnd, &point);
    return editor->acceptDrop(point, (allowed & afDropAction::COPY) ? afDropAction::COPY : afDropAction::NONE);
}

int Editor::acceptDrop(POINT clientPoint, int action) {
    if (!m_controller)
        return afDropAction::NONE;
    if (!m_dropFiles->getPaths().empty()) {
        if (!m_fileDrop.drop)
            return afDropAction::NONE;
        const std::vector<std::wstring> paths = m_dropFiles->getPaths();
        m_dropFiles->setPaths({});
        m_fileDrop.drop(m_fileDrop.object, this, paths);
        return action;
    }
    const std::wstring text = m_dropText->getText();
    if (text.empty())
        return afDropAction::NONE;
    EditBracket write(*m_controller, DocumentController::EDIT_WRITE);
    TextPosition position;
    pointToPosition(clientPoint.x, clientPoint.y, position, false);
    m_controller->getSelection()->select(position, position, SELECT_RESET_X, Selection::ID_START_OVER);
    m_controller->insertString(text);
    m_dropText->setText(L"", 0);
    return action;
}

void Editor::onDragGone(void* self, afDropTarget*) {
    Editor* editor = static_cast<Editor*>(self);
    if (editor->m_fileDrop.leave)
        editor->m_fileDrop.leave(editor->m_fileDrop.object, editor);
}

} // namespace corvel
