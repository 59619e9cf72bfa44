// Drags out of and drops into the project tree. An item dragged out carries its drag for
// this window (the private "CorvelProjectItems" format) and, unless it is a virtual
// folder, its file for everyone else. A drop lands in the folder under the cursor (a file
// stands for its folder, empty space for the root): real folders take copies and moves on
// disk, virtual folders and the root take links.
#include "corvel/projects/Project.h"
#include "corvel/projects/ProjectFolder.h"
#include "corvel/projects/ProjectItem.h"
#include "corvel/projects/ProjectManager.h"
#include "corvel/projects/ProjectVirtualFolder.h"
#include "corvel/projects/ProjectWindow.h"
#include "corvel/ui/afEvent.h"
#include "corvel/widgets/afControlTree.h"
#include "corvel/widgets/afDataObjectComposite.h"
#include "corvel/widgets/afDataObjectFiles.h"
#include "corvel/widgets/afDataObjectScalar.h"
#include "corvel/widgets/afDataObjectText.h"
#include "corvel/widgets/afDropAction.h"
#include "corvel/widgets/afDropTarget.h"
#include "zem/log/LogManager.h"

namespace corvel {

namespace {

const wchar_t ITEMS_FORMAT[] = L"CorvelProjectItems";
// The private format carries the number of a drag, never an address: it means something
// only to the window whose drag has that number, while the drag runs.
typedef afDataObjectScalar<uint32_t> ItemsObject;
ProjectWindow* s_dragSource = nullptr;
uint32_t s_dragNumber = 0;

ProjectItem* itemOfEntry(const afControlTreeItem* entry) {
    auto* data = entry ? dynamic_cast<ProjectWindow::TreeItemData*>(entry->getData()) : nullptr;
    return data ? data->item : nullptr;
}

bool isWithin(const ProjectItem* item, const ProjectItem* ancestor) {
    for (const ProjectItem* up = item; up; up = up->getParent()) {
        if (up == ancestor)
            return true;
    }
    return false;
}

} // namespace

void ProjectWindow::makeDropTarget() {
    auto* composite = new afDataObjectComposite();
    m_dropItems = new ItemsObject(ITEMS_FORMAT, 0);
    m_dropFiles = new afDataObjectFiles();
    m_dropText = new afDataObjectText();
    // The items come first: a drag inside the window carries a file list too.
    composite->addPart(m_dropItems, true);
    composite->addPart(m_dropFiles, false);
    composite->addPart(m_dropText, false);
    auto* target = new afDropTarget(composite, true);
    target->setView(m_tree);
    target->enterCallback = afDropTarget::ActionCallback(this, &ProjectWindow::onDragDecide);
    target->overCallback = afDropTarget::ActionCallback(this, &ProjectWindow::onDragDecide);
    target->dropCallback = afDropTarget::ActionCallback(this, &ProjectWindow::onDropData);
    target->leaveCallback = afDropTarget::LeaveCallback(this, &ProjectWindow::onDragGone);
    m_tree->setDropTarget(target);
}

// --- dragging out ---

afDataObject* ProjectWindow::makeDragData(afControlTreeItem* entry) {
    ProjectItem* item = itemOfEntry(entry);
    if (!item)
        return nullptr;
    m_dragItems.assign(1, item);
    auto* data = new afDataObjectComposite();
    auto* items = new ItemsObject(ITEMS_FORMAT, 0);
    // Numbers start at 1: 0 is what an empty object holds.
    if (++s_dragNumber == 0)
        s_dragNumber = 1;
    items->setScalar(s_dragNumber);
    data->addPart(items, true);
    if (!item->isVirtualFolder()) {
        auto* files = new afDataObjectFiles();
        files->addPath(item->getPath());
        data->addPart(files, false);
    }
    return data;
}

afDataObject* ProjectWindow::onBeginDrag(void* self, afControlTree*, afControlTreeItem* entry, int, int, int&) {
    auto* me = static_cast<ProjectWindow*>(self);
    afDataObject* data = me->makeDragData(entry);
    if (data)
        s_dragSource = me;
    return data;
}

void ProjectWindow::onDragEnded(void* self, afControlTree*, afControlTreeItem*, afDataObject* data, int) {
    auto* me = static_cast<ProjectWindow*>(self);
    me->m_dragItems.clear();
    if (s_dragSource == me)
        s_dragSource = nullptr;
    delete data;
}

void ProjectWindow::forgetDragged(ProjectItem* item) {
    for (size_t i = m_dragItems.size(); i-- > 0;) {
        if (isWithin(m_dragItems[i], item))
            m_dragItems.erase(m_dragItems.begin() + static_cast<ptrdiff_t>(i));
    }
}

// --- dropping in ---

ProjectItem* ProjectWindow::dropTargetOf(afControlTreeItem* entry) const {
    if (!m_project)
        return nullptr;
    ProjectItem* item = itemOfEntry(entry);
    if (!item)
        return m_project->getRoot();
    if (item->isFolder())
        return item;
    return item->getParent();
}

int ProjectWindow::decideDrop(afControlTreeItem* entry, int allowed, const afEvent& event) const {
    ProjectItem* target = dropTargetOf(entry);
    if (!target)
        return afDropAction::NONE;
    if (target->isRealFolder())
        return afDropAction::pick(allowed & (afDropAction::NONE | afDropAction::COPY | afDropAction::MOVE), event);
    if (target->isVirtualFolder() && (allowed & afDropAction::LINK))
        return afDropAction::LINK;
    return afDropAction::NONE;
}

int ProjectWindow::dropItems(afControlTreeItem* entry, int action, const std::vector<ProjectItem*>& items) {
    ProjectItem* target = dropTargetOf(entry);
    if (!target || !m_manager || items.empty())
        return afDropAction::NONE;
    bool done = false;
    if (action == afDropAction::COPY || (action == afDropAction::LINK && target->isVirtualFolder()))
        done = m_manager->copyItems(target, items);
    else if (action == afDropAction::MOVE)
        done = m_manager->moveItems(target, items);
    return done ? action : afDropAction::NONE;
}

int ProjectWindow::dropPaths(afControlTreeItem* entry, int action, const std::vector<std::wstring>& paths) {
    ProjectItem* target = dropTargetOf(entry);
    if (!target || !m_manager || paths.empty())
        return afDropAction::NONE;
    zem::logMessage(zem::LOG_INFO, Project::LOG_SOURCE,
                    L"ProjectWindow::onDropTargetData(): File(s) dropped to `%s`.\n", target->getPath().c_str());
    bool done = false;
    bool usable = target->isRealFolder() && !target->hasFlag(ProjectItem::FLAG_ERROR);
    if (action == afDropAction::COPY && usable)
        done = m_manager->copyPathsInto(target, paths);
    else if (action == afDropAction::MOVE && usable)
        done = m_manager->movePathsInto(target, paths);
    else if (action == afDropAction::LINK && target->isVirtualFolder())
        done = m_manager->addPaths(target, paths);
    return done ? action : afDropAction::NONE;
}

int ProjectWindow::dropText(afControlTreeItem* entry) {
    if (ProjectItem* target = dropTargetOf(entry))
        zem::logMessage(zem::LOG_INFO, Project::LOG_SOURCE,
                        L"ProjectWindow::onDropTargetData(): Text dropped to `%s`.\n", target->getName());
    return afDropAction::NONE;
}

afControlTreeItem* ProjectWindow::entryAtScreen(int x, int y) const {
    if (!m_tree || !m_tree->getHandle())
        return nullptr;
    POINT point{x, y};
    ScreenToClient(m_tree->getHandle(), &point);
    return m_tree->itemAt(point.x, point.y);
}

void ProjectWindow::highlightDropEntry(afControlTreeItem* entry) {
    if (entry == m_dropHighlight || !m_tree || !m_tree->getHandle())
        return;
    m_dropHighlight = entry;
    SendMessageW(m_tree->getHandle(), TVM_SELECTITEM, TVGN_DROPHILITE,
                 reinterpret_cast<LPARAM>(entry ? entry->getHandle() : nullptr));
}

int ProjectWindow::onDragDecide(void* self, afDropTarget*, afEvent* event, int allowed, int) {
    auto* me = static_cast<ProjectWindow*>(self);
    afControlTreeItem* entry = me->entryAtScreen(event->x, event->y);
    me->highlightDropEntry(entry);
    return me->decideDrop(entry, allowed, *event);
}

int ProjectWindow::onDropData(void* self, afDropTarget* target, afEvent* event, int, int last) {
    auto* me = static_cast<ProjectWindow*>(self);
    afControlTreeItem* entry = me->entryAtScreen(event->x, event->y);
    me->highlightDropEntry(nullptr);
    if (last <= afDropAction::NONE || !me->dropTargetOf(entry) || !target->getData())
        return afDropAction::NONE;
    if (!me->m_dropItems->isEmpty()) {
        // Only this window's own drag: another's pointer means nothing here.
        if (s_dragSource != me || me->m_dropItems->getValue() != s_dragNumber)
            return afDropAction::NONE;
        std::vector<ProjectItem*> items = me->m_dragItems;
        return me->dropItems(entry, last, items);
    }
    if (!me->m_dropFiles->isEmpty()) {
        std::vector<std::wstring> paths = me->m_dropFiles->getPaths();
        return me->dropPaths(entry, last, paths);
    }
    if (!me->m_dropText->isEmpty())
        return me->dropText(entry);
    return afDropAction::NONE;
}

void ProjectWindow::onDragGone(void* self, afDropTarget*) {
    static_cast<ProjectWindow*>(self)->highlightDropEntry(nullptr);
}

} // namespace corvel
