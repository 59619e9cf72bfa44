// How the document views look: distraction-free or as usual, for the views that exist and
// those the dock makes later.
#include "corvel/editor/Editor.h"
#include "corvel/editor/EditorWrapper.h"
#include "corvel/widgets/afDock.h"
#include "corvel/widgets/afDockSlot.h"
#include "corvel/workspace/FileManager.h"

namespace corvel {

void FileManager::setDistractionFree(bool on) {
    m_distractionFree = on;
    if (!m_dock)
        return;
    // Through the dock's slots: a view the dock dropped is gone from them.
    for (int i = 0; i < m_dock->getSlotCount(); ++i) {
        afDockSlot* slot = m_dock->getSlot(i);
        if (!slot || !slot->getController() || slot->getController()->getControllerId() != CONTROLLER_ID)
            continue;
        if (auto* wrapper = dynamic_cast<EditorWrapper*>(slot->getView()))
            wrapper->getEditor()->setDistractionFree(on);
    }
}

} // namespace corvel
