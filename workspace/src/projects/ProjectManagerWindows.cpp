// The manager's side of the project windows shown in project tabs, and of the tabs'
// buttons: title, icon and star toggle.
#include "ProjectIcons.h"
#include "corvel/app/DockSimple.h"
#include "corvel/projects/Project.h"
#include "corvel/projects/ProjectInfo.h"
#include "corvel/projects/ProjectListWindow.h"
#include "corvel/projects/ProjectManager.h"
#include "corvel/projects/ProjectWindow.h"
#include "corvel/widgets/ViewVirtualButton.h"
#include "corvel/widgets/afDock.h"
#include "corvel/widgets/afDockSlot.h"
#include "corvel/workspace/FileManager.h"

namespace corvel {

void ProjectManager::openFile(const std::wstring& path) {
    if (m_files)
        m_files->openPaths({path});
}

void ProjectManager::onSlotInserted(afDockSlot* slot) {
    fillTabButton(slot);
}

void ProjectManager::fillTabButton(afDockSlot* slot) {
    ViewVirtualButton* button = slot ? DockSimple::getButton(slot) : nullptr;
    if (!button)
        return;
    if (slot->getId() == ALL_PROJECTS_SLOT) {
        button->setText(L"All projects");
        button->setIcon(projecticons::find(projecticons::PROJECT_LIST));
    } else if (auto* info = slot->getId() == PROJECT_SLOT ? static_cast<ProjectInfo*>(slot->getData()) : nullptr) {
        // A closing project is still the active one: its detached window tells.
        ProjectWindow* window = info->getWindow();
        bool open = window ? window->getProject() != nullptr : info == m_active && info->getProject();
        button->setText(info->getTitle());
        button->setIcon(projecticons::find(open ? projecticons::OPEN_PROJECT : projecticons::CLOSED_PROJECT));
        bool starred = info->isStarred();
        button->setSideIcon(projecticons::find(projecticons::star(starred, false)),
                            projecticons::find(projecticons::star(starred, true)), this,
                            &ProjectManager::onStarToggled);
    } else {
        return;
    }
    if (afDock* dock = slot->getDock())
        dock->onSlotDecorationChanged(slot);
}

void ProjectManager::onStarToggled(void* self, ViewVirtualButton* button, afEvent*) {
    auto* me = static_cast<ProjectManager*>(self);
    for (ProjectInfo* info : me->m_projects) {
        if (info->getSlot() && DockSimple::getButton(info->getSlot()) == button) {
            me->setStarred(info, !info->isStarred());
            return;
        }
    }
}

ProjectWindow* ProjectManager::windowOf(ProjectInfo* info) const {
    return info ? info->getWindow() : nullptr;
}

void ProjectManager::forgetWindow(ProjectWindow* window) {
    for (ProjectInfo* info : m_projects) {
        if (info->getWindow() != window)
            continue;
        info->setWindow(nullptr);
        info->setSlot(nullptr);
    }
}

afView* ProjectManager::createSlotView(afDockSlot* slot) {
    afDock* dock = slot->getDock();
    if (!dock)
        return nullptr;
    if (slot->getId() == ALL_PROJECTS_SLOT) {
        auto* list = new ProjectListWindow(dock, this);
        list->afViewPlatform::create();
        list->setText(L"All projects");
        return list;
    }
    auto* info = static_cast<ProjectInfo*>(slot->getData());
    if (slot->getId() != PROJECT_SLOT || !info)
        return nullptr;
    auto* window = new ProjectWindow(dock, this);
    window->afViewPlatform::create();
    window->setText(info->getTitle().c_str());
    info->setWindow(window);
    return window;
}

void ProjectManager::attachWindow(ProjectInfo* info) {
    ProjectWindow* window = windowOf(info);
    if (!window)
        return;
    window->setProject(info->getProject());
    if (ProjectTreeState* state = info->getTreeState())
        window->restoreTreeState(*state);
}

void ProjectManager::detachWindow(ProjectInfo* info) {
    if (ProjectWindow* window = windowOf(info))
        window->setProject(nullptr);
}

void ProjectManager::storeTreeState(ProjectInfo* info) {
    ProjectWindow* window = windowOf(info);
    if (!window || !window->getProject())
        return;
    std::unique_ptr<ProjectTreeState> state(new ProjectTreeState());
    window->storeTreeState(*state);
    info->setTreeState(std::move(state));
}

bool ProjectManager::showPathIn(ProjectInfo* info, const std::wstring& path) {
    ProjectWindow* window = windowOf(info);
    return window && window->showPath(path);
}

} // namespace corvel
