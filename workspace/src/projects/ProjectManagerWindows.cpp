// The manager's side of the project windows shown in project tabs.
#include "corvel/projects/Project.h"
#include "corvel/projects/ProjectInfo.h"
#include "corvel/projects/ProjectManager.h"
#include "corvel/projects/ProjectWindow.h"
#include "corvel/widgets/afDock.h"
#include "corvel/widgets/afDockSlot.h"

namespace corvel {

ProjectWindow* ProjectManager::windowOf(ProjectInfo* info) const {
    afDockSlot* slot = info ? info->getSlot() : nullptr;
    return slot ? dynamic_cast<ProjectWindow*>(slot->getView()) : nullptr;
}

afView* ProjectManager::createSlotView(afDockSlot* slot) {
    // The project list's slot gets its view once the list window exists.
    if (slot->getId() != PROJECT_SLOT || !slot->getDock())
        return nullptr;
    return new ProjectWindow(slot->getDock(), this);
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
