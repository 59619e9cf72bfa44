// What a document tab holds: a column with a top area for message bars (the file-changed
// prompt) above an Editor that fills the rest. Focus given to the wrapper goes to the editor.
#pragma once
#include "corvel/ui/afLayoutLinear.h"

namespace corvel {

class Editor;

class EditorWrapper : public afLayoutLinear {
public:
    // container: the platform view that hosts the editor's window.
    explicit EditorWrapper(afView* container);

    // Joining its parent places the top area first, then the editor below it.
    void attach() override;
    void requestFocus() override;

    Editor* getEditor() const { return m_editor; }
    afLayoutLinear* getTopArea() const { return m_topArea; }

private:
    Editor* m_editor;          // owned by the view tree
    afLayoutLinear* m_topArea; // owned by the view tree
    bool m_placed = false;
};

} // namespace corvel
