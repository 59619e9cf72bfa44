// The project window's context menu: every menu contributor that the action system finds
// for "ui.menu.project" over the window's scope adds its entries, and the chosen entry runs
// with that scope.
#include "corvel/document/ScopePath.h"
#include "corvel/projects/ProjectItem.h"
#include "corvel/projects/ProjectManager.h"
#include "corvel/projects/ProjectWindow.h"
#include "corvel/widgets/afActionEvent.h"
#include "corvel/widgets/afActionMenuItem.h"
#include "corvel/widgets/afControlTree.h"
#include "corvel/widgets/afMenu.h"
#include "corvel/widgets/afMenuDef.h"

#include <memory>

namespace corvel {

namespace {

const wchar_t RENAME[] = L"project.item.rename";
const wchar_t DELETE_ITEM[] = L"project.item.delete";

} // namespace

void ProjectWindow::addMenuEntries(afActionEvent* event,
                                   const std::vector<std::pair<const wchar_t*, const wchar_t*>>& entries) {
    if (!event || event->type != afActionEventType::MENU_ACTIVATED)
        return;
    afMenu* menu = static_cast<afActionEventMenuActivated*>(event)->menu;
    if (!menu)
        return;
    if (!menu->isEmpty())
        menu->addSeparator();
    for (const auto& entry : entries)
        menu->addItem(new afActionMenuItem(entry.first, entry.second));
}

bool ProjectWindow::onProjectMenu(afActionEvent* event) {
    if (m_manager && m_manager->getActiveProject())
        addMenuEntries(event, {{L"&Open Project", L"project.open.default"},
                               {L"&Close Project", L"project.close"},
                               {L"&Update Project", L"project.update"}});
    else
        addMenuEntries(event, {{L"&Open Project", L"project.open.default"}});
    return true;
}

bool ProjectWindow::onFileMenu(afActionEvent* event) {
    addMenuEntries(event, {{L"&Edit", L"project.item.edit"}, {L"&Rename", RENAME}, {L"&Delete", DELETE_ITEM}});
    return true;
}

bool ProjectWindow::onFolderMenu(afActionEvent* event) {
    addMenuEntries(event, {{L"&Rename", RENAME}, {L"&Delete", DELETE_ITEM}});
    return true;
}

bool ProjectWindow::onVirtualFolderMenu(afActionEvent* event) {
    addMenuEntries(event, {{L"&Rename", RENAME}, {L"&Remove from project", DELETE_ITEM}});
    return true;
}

bool ProjectWindow::onNewItemsMenu(afActionEvent* event) {
    ProjectItem* folder = getCurrentFolder();
    if (folder && folder->isRealFolder())
        addMenuEntries(event,
                       {{L"&New File", L"project.item.new.file"}, {L"&New Folder", L"project.item.new.folder.real"}});
    else
        addMenuEntries(event, {{L"&New Virtual Folder", L"project.item.new.folder.virtual"}});
    return true;
}

afMenu* ProjectWindow::buildContextMenu(ScopePath& scope) {
    // The contributors are this window's: it plays the role while its menu is built and run.
    activate();
    scope.clear();
    scope.push(L"ui.menu.project");
    scope.appendPath(getScopePath());
    return createActionContextMenu(scope);
}

void ProjectWindow::showContextMenu(int x, int y) {
    if (m_tree)
        m_tree->requestFocus();
    ScopePath scope;
    std::unique_ptr<afMenu> menu(buildContextMenu(scope));
    if (!menu || menu->isEmpty())
        return;
    HWND owner = m_tree ? m_tree->getHandle() : getHandle();
    if (auto* item = dynamic_cast<afActionMenuItem*>(menu->popup(owner, x, y, false)))
        item->execute(&scope);
}

void ProjectWindow::onContextMenu(void* self, afControlTree*, afControlTreeItem*, int x, int y) {
    static_cast<ProjectWindow*>(self)->showContextMenu(x, y);
}

} // namespace corvel
