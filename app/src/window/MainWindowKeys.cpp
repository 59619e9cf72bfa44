// The main window's command handlers and the keys that switch slots of the current dock
// (the document tabs at start, afterwards the dock that last took the focus).
#include "corvel/app/MainWindow.h"

#include "corvel/app/DockManager.h"
#include "corvel/app/MainWindowHost.h"
#include "corvel/app/Tabs.h"
#include "corvel/app/TabsSidebar.h"
#include "corvel/ui/afEvent.h"
#include "corvel/ui/afKey.h"
#include "corvel/widgets/afDock.h"

namespace corvel {

bool MainWindow::onClose(afActionEvent*) {
    close(RESULT_OK);
    return true;
}

bool MainWindow::onAbout(afActionEvent*) {
    return true;
}

bool MainWindow::onCheckUpdates(afActionEvent*) {
    if (m_host)
        m_host->checkForUpdates(true);
    return true;
}

bool MainWindow::onToggleDistractionFree(afActionEvent*) {
    setDistractionFree(!m_distractionFree);
    return true;
}

bool MainWindow::onToggleSidebar(afActionEvent*) {
    setSidebarVisible(!m_sidebar->isVisible());
    return true;
}

bool MainWindow::onToggleSidebarFocus(afActionEvent*) {
    if (!m_sidebar->isVisible())
        setSidebarVisible(true);
    if (!m_sidebar->hasFocus())
        m_sidebar->requestFocus();
    else
        m_documentTabs->requestFocus();
    return true;
}

bool MainWindow::onToggleBottomBar(afActionEvent*) {
    setBottomBarVisible(!m_bottomBar->isVisible());
    return true;
}

namespace {

// The slot a key asks for, or null when the key is not one of the switching keys.
afDockSlot* wantedSlot(const afDock& dock, int keyCode, bool& isSwitchKey) {
    int modifiers = keyCode & (afKey::CTRL | afKey::SHIFT | afKey::ALT);
    int key = keyCode & 0xFF;
    isSwitchKey = true;
    // Only the left-Alt bit counts: Ctrl or Shift held with it change nothing.
    if ((modifiers & afKey::ALT) && key >= '0' && key <= '9')
        return dock.getSlot(key == '0' ? 9 : key - '1');
    if ((modifiers & afKey::CTRL) && !(modifiers & afKey::ALT) && key == VK_NUMPAD0)
        return dock.getAdjacentSlot((modifiers & afKey::SHIFT) ? AF_DOCK_PREVIOUS : AF_DOCK_NEXT, AF_ORDER_ACTIVATION);
    if ((modifiers & afKey::CTRL) && !(modifiers & afKey::ALT) && key == VK_TAB)
        return dock.getAdjacentSlot((modifiers & afKey::SHIFT) ? AF_DOCK_PREVIOUS : AF_DOCK_NEXT, AF_ORDER_POSITION);
    isSwitchKey = false;
    return nullptr;
}

} // namespace

bool MainWindow::onSlotKey(afEvent* event) {
    DockManager* docks = DockManager::instance();
    afDock* dock = docks ? docks->getCurrentDock() : nullptr;
    if (!dock)
        return false;
    bool isSwitchKey = false;
    afDockSlot* slot = wantedSlot(*dock, event->getKeyCode(), isSwitchKey);
    if (!isSwitchKey)
        return false;
    if (slot)
        dock->setActiveSlot(slot);
    return true;
}

bool MainWindow::keyHook(void* self, afView*, afEvent* event) {
    return static_cast<MainWindow*>(self)->onSlotKey(event);
}

} // namespace corvel
