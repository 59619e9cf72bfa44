#include "corvel/widgets/PreferencesManager.h"

#include "corvel/widgets/PreferencesDialog.h"
#include "corvel/widgets/afActionRegistry.h"
#include "corvel/widgets/afActionSystem.h"

namespace corvel {

PreferencesManager::PreferencesManager(afActionRegistry* registry) : afActionHandler(L"PreferencesManager", registry) {
    if (afActionRegistry* actions = getRegistry()) {
        actions->addAction(new afActionSystem(L"Open Preferences Dialog", getHandlerClass(), L"view.dlg.preferences",
                                              L"ui.window.main", &PreferencesManager::onOpenDialog));
    }
    activate();
}

bool PreferencesManager::onOpenDialog(afActionEvent*) {
    openDialog();
    return true;
}

uint32_t PreferencesManager::openDialog() {
    if (m_dialog || !m_owner)
        return afWindow::RESULT_CANCEL;
    m_dialog = new PreferencesDialog(m_owner, this);
    uint32_t result = m_dialog->runModal();
    if (afView* parent = m_dialog->getParent())
        parent->removeChild(m_dialog);
    delete m_dialog;
    m_dialog = nullptr;
    return result;
}

} // namespace corvel
