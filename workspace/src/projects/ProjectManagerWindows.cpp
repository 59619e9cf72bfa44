// The manager's side of the project windows shown in project tabs.
#include "corvel/projects/Project.h"
#include "corvel/projects/ProjectInfo.h"
#include "corvel/projects/ProjectListWindow.h"
#include "corvel/projects/ProjectManager.h"
#include "corvel/projects/ProjectWindow.h"
#include "corvel/widgets/afDock.h"
#include "corvel/widgets/afDockSlot.h"

namespace corvel {

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
