// The manager's side of the project windows shown in project tabs.
#include "corvel/projects/ProjectInfo.h"
#include "corvel/projects/ProjectManager.h"
#include "corvel/widgets/afDock.h"
#include "corvel/widgets/afDockSlot.h"

namespace corvel {

ProjectWindow* ProjectManager::windowOf(ProjectInfo*) const {
    return nullptr;
}

afView* ProjectManager::createSlotView(afDockSlot*) {
    return nullptr;
}

void ProjectManager::attachWindow(ProjectInfo*) {}

void ProjectManager::detachWindow(ProjectInfo* info) {
    afDockSlot* slot = info->getSlot();
    if (!slot || slot->getType() == CLOSED_STATE)
        return;
}

void ProjectManager::storeTreeState(ProjectInfo*) {}

bool ProjectManager::showPathIn(ProjectInfo*, const std::wstring&) {
    return false;
}

} // namespace corvel
