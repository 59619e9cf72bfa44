#include "corvel/editor/EditorWrapper.h"

#include "corvel/editor/Editor.h"
#include "corvel/ui/afLayoutParams.h"

namespace corvel {

EditorWrapper::EditorWrapper(afView* container)
    : afLayoutLinear(container, VERTICAL), m_editor(Editor::create(container, Editor::BORDER_NONE)),
      m_topArea(new afLayoutLinear(container, VERTICAL)) {
    setWeightSum(-1.0);
    setGravity(GRAVITY_LEFT | GRAVITY_TOP);
    // Made in the container's window, but they live and die with the wrapper: a closed tab
    // frees its editor window by deleting the wrapper.
    addNode(m_editor);
    addNode(m_topArea);
}

void EditorWrapper::attach() {
    afLayoutLinear::attach();
    if (m_placed)
        return;
    m_placed = true;
    addChild(m_topArea, new afLayoutParamsLinear(afLayoutParams::FILL_PARENT, afLayoutParams::WRAP_CONTENT));
    // The editor spans the width and takes all the height the top area leaves.
    addChild(m_editor, new afLayoutParamsLinear(afLayoutParams::FILL_PARENT, 1, 1.0));
    m_editor->setVisible(true);
}

void EditorWrapper::requestFocus() {
    if (m_editor)
        m_editor->requestFocus();
}

} // namespace corvel
