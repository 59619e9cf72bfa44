#include "corvel/projects/ProjectWindow.h"

#include "corvel/document/ScopePath.h"
#include "corvel/projects/Project.h"
#include "corvel/projects/ProjectFolder.h"
#include "corvel/projects/ProjectItemNames.h"
#include "corvel/projects/ProjectManager.h"
#include "corvel/projects/ProjectPrompts.h"
#include "corvel/projects/ProjectTreeState.h"
#include "corvel/projects/ProjectVirtualFolder.h"
#include "corvel/ui/afIcon.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/ui/afLayoutParams.h"
#include "corvel/ui/afResources.h"
#include "corvel/widgets/ToolStripStatus.h"
#include "corvel/widgets/afActionRegistry.h"
#include "corvel/widgets/afActionTable.h"
#include "corvel/widgets/afControlTree.h"
#include "corvel/widgets/afControlTreeState.h"
#include "corvel/widgets/afImageList.h"
#include "zem/base/Crc.h"
#include "zem/log/LogManager.h"

#include <cstdio>
#include <cwctype>
#include <vector>

namespace corvel {

namespace {

const wchar_t TYPE_NAME[] = L"ui.container.project";
constexpr uint32_t RESULT_DELETE = projectprompts::RESULT_YES;
constexpr uint32_t RESULT_REMOVE = 0x8e3e0f1bu; // "remove"

uint32_t tagKeyFor(const void* window) {
    char text[64];
    int length = std::snprintf(text, sizeof(text), "project_window_%p", window);
    return zem::crc32(static_cast<size_t>(length > 0 ? length : 0), text);
}

int kindRank(const ProjectItem* item) {
    switch (item->getKind()) {
    case ProjectItem::KIND_VIRTUAL_FOLDER:
        return 0;
    case ProjectItem::KIND_FOLDER:
        return 1;
    default:
        return 2;
    }
}

ProjectItem* itemOf(const afControlTreeItem* entry) {
    auto* data = entry ? dynamic_cast<ProjectWindow::TreeItemData*>(entry->getData()) : nullptr;
    return data ? data->item : nullptr;
}

std::wstring shownName(const ProjectItem* item) {
    std::wstring name = item->getName();
    return name.empty() ? L"<Untitled>" : name;
}

} // namespace

ProjectWindow::ProjectWindow(afView* parent, ProjectManager* manager)
    : afContainer(parent), afActionHandler(L"ProjectWindow"), m_manager(manager), m_tagKey(tagKeyFor(this)) {
    const afActionTableRow rows[] = {
        {L"project.item.new.file", L"Create New File", TYPE_NAME, L"Ctrl+N", nullptr, &ProjectWindow::onNewFile},
        {L"project.item.new.folder.real", L"Create New Folder", TYPE_NAME, L"Ctrl+Shift+N", nullptr,
         &ProjectWindow::onNewFolder},
        {L"project.item.new.folder.virtual", L"Create New Virtual Folder", TYPE_NAME, L"Ctrl+Shift+Alt+N", nullptr,
         &ProjectWindow::onNewVirtualFolder},
        {L"project.item.rename", L"Rename Selected Project Item", TYPE_NAME, L"F2", nullptr, &ProjectWindow::onRename},
        {L"project.item.delete", L"Delete Selected Project Item", TYPE_NAME, L"Del", nullptr, &ProjectWindow::onDelete},
        {L"project.item.remove", L"Remove Selected Project Item", TYPE_NAME, L"Ctrl+Del", nullptr,
         &ProjectWindow::onRemove},
        {L"project.item.edit", L"Edit Selected Project Item in Editor", TYPE_NAME, L"Enter", nullptr,
         &ProjectWindow::onEdit},
        {L"project.menu.project", L"Project Menu", L"ui.container.project ui.menu.project", nullptr, nullptr,
         &ProjectWindow::onProjectMenu},
        {L"project.menu.file", L"Project File Menu", L"ui.container.project project.item.file ui.menu.project", nullptr,
         nullptr, &ProjectWindow::onFileMenu},
        {L"project.menu.folder", L"Project Folder Menu",
         L"ui.container.project project.item.folder.real ui.menu.project", nullptr, nullptr,
         &ProjectWindow::onFolderMenu},
        {L"project.menu.virtual_folder", L"Project Virtual Folder Menu",
         L"ui.container.project project.item.folder.virtual ui.menu.project", nullptr, nullptr,
         &ProjectWindow::onVirtualFolderMenu},
        {L"project.menu.new_items", L"Project New Item Menu", L"ui.container.project project.item ui.menu.project",
         nullptr, nullptr, &ProjectWindow::onNewItemsMenu},
    };
    // Every window plays the role; the actions are registered once for the class.
    if (getRegistry() && !getRegistry()->findAction(rows[0].name))
        registerActionTable(*this, rows);
    activate();
}

ProjectWindow::~ProjectWindow() {
    try {
        setProject(nullptr);
        if (m_manager)
            m_manager->forgetWindow(this);
    } catch (...) {
    }
}

const wchar_t* ProjectWindow::getTypeName() const {
    return TYPE_NAME;
}

void ProjectWindow::onChildFocus(afView* view, bool gained) {
    if (gained)
        activate();
    afContainer::onChildFocus(view, gained);
}

void ProjectWindow::addScopeEntries(ScopePath& path) {
    ProjectItem* item = getSelectedItem();
    if (!item) {
        path.push(L"project.item.root");
        return;
    }
    switch (item->getKind()) {
    case ProjectItem::KIND_VIRTUAL_FOLDER:
        path.push(L"project.item.folder.virtual");
        break;
    case ProjectItem::KIND_FOLDER:
        path.push(L"project.item.folder.real");
        break;
    default:
        path.push(L"project.item.file");
        break;
    }
}

void ProjectWindow::onCreated() {
    afContainer::onCreated();
    auto* layout = new afLayoutLinear(this, afLayoutLinear::VERTICAL);
    setContentView(layout);
    m_tree = afControlTree::create(this);
    m_tree->setVisible(true);
    m_tree->setEmptyText(L"Drop some files or folders here.");
    m_tree->onItemExpanding.set(this, &ProjectWindow::onExpanding);
    m_tree->onItemActivated.set(this, &ProjectWindow::onActivated);
    // Items get new names only through the rename dialog.
    m_tree->canRename.set(this, &ProjectWindow::refuseRename);
    m_tree->onRenamed.set(this, &ProjectWindow::refuseName);
    m_tree->onNewItemNamed.set(this, &ProjectWindow::refuseName);
    m_tree->onContextMenu.set(this, &ProjectWindow::onContextMenu);
    m_tree->onBeginDrag.set(this, &ProjectWindow::onBeginDrag);
    m_tree->onDragEnded.set(this, &ProjectWindow::onDragEnded);
    makeImages();
    makeDropTarget();
    layout->addChild(m_tree, new afLayoutParamsLinear(afLayoutParams::FILL_PARENT, afLayoutParams::FILL_PARENT));
    if (m_project)
        addEntries(m_project->getRoot(), nullptr);
}

void ProjectWindow::makeImages() {
    if (!afResources::exists())
        return;
    afImageList images;
    if (!images.create())
        return;
    // By kind: file, folder, virtual folder.
    const wchar_t* const names[3] = {L"file", L"folder", L"folder_virtual"};
    for (int kind = 0; kind < 3; ++kind) {
        if (const afIcon* icon = afResources::find(zem::symbolId(names[kind])))
            m_images[kind] = images.addIcon(icon->getHandle());
    }
    m_tree->setImageList(images.release(), true);
}

int ProjectWindow::imageOf(const ProjectItem* item) const {
    int kind = item ? item->getKind() : -1;
    return kind >= 0 && kind < 3 ? m_images[kind] : -1;
}

// --- attaching ---

void ProjectWindow::setProject(Project* project) {
    popUpdateNote();
    if (m_project) {
        m_project->itemAdded().remove(&ProjectWindow::onItemAdded, this);
        m_project->itemRemoving().remove(&ProjectWindow::onItemRemoving, this);
        m_project->itemNameChanged().remove(&ProjectWindow::onItemNameChanged, this);
        m_project->updateStarted().remove(&ProjectWindow::onUpdateStarted, this);
        m_project->updateFinished().remove(&ProjectWindow::onUpdateFinished, this);
        if (m_project->getRoot())
            dropTags(m_project->getRoot());
        if (m_tree)
            m_tree->clear();
    }
    m_project = project;
    if (!project)
        return;
    if (m_tree && project->getRoot())
        addEntries(project->getRoot(), nullptr);
    project->itemAdded().add(&ProjectWindow::onItemAdded, this);
    project->itemRemoving().add(&ProjectWindow::onItemRemoving, this);
    project->itemNameChanged().add(&ProjectWindow::onItemNameChanged, this);
    project->updateStarted().add(&ProjectWindow::onUpdateStarted, this);
    project->updateFinished().add(&ProjectWindow::onUpdateFinished, this);
}

void ProjectWindow::dropTags(ProjectItem* item) {
    item->removeTag(m_tagKey);
    if (!item->isFolder())
        return;
    auto* folder = static_cast<ProjectFolder*>(item);
    for (size_t i = 0; i < folder->childCount(); ++i)
        dropTags(folder->childAt(i));
}

void ProjectWindow::addEntries(ProjectItem* item, afControlTreeItem* parent) {
    if (!item || !item->isFolder())
        return;
    auto* folder = static_cast<ProjectFolder*>(item);
    for (size_t i = 0; i < folder->childCount(); ++i)
        addEntry(folder->childAt(i), parent);
}

afControlTreeItem* ProjectWindow::addEntry(ProjectItem* item, afControlTreeItem* parent) {
    afControlTreeItem* entry = m_tree->insertItem(parent, item->getName());
    if (!entry)
        return nullptr;
    entry->setData(new TreeItemData(item), true);
    if (imageOf(item) >= 0)
        entry->setImage(imageOf(item));
    item->setTag(m_tagKey, entry);
    addEntries(item, entry);
    return entry;
}

afControlTreeItem* ProjectWindow::entryOf(const ProjectItem* item) const {
    return item ? static_cast<afControlTreeItem*>(item->getTag(m_tagKey)) : nullptr;
}

// --- notifications ---

void ProjectWindow::onItemAdded(void* self, ProjectItem* item) {
    auto* me = static_cast<ProjectWindow*>(self);
    if (!me->m_tree || me->entryOf(item))
        return;
    ProjectItem* parent = item->getParent();
    bool topLevel = !parent || parent == me->m_project->getRoot();
    afControlTreeItem* parentEntry = topLevel ? nullptr : me->entryOf(parent);
    if (!topLevel && !parentEntry)
        return;
    me->addEntry(item, parentEntry);
    if (!parentEntry)
        return; // the top level keeps the project's own order
    if (me->m_tree->isExpanded(parentEntry))
        me->m_tree->sortChildren(parentEntry, me->sorter());
    else if (auto* data = dynamic_cast<TreeItemData*>(parentEntry->getData()))
        data->needsSorting = true;
}

void ProjectWindow::onItemRemoving(void* self, ProjectItem* item) {
    auto* me = static_cast<ProjectWindow*>(self);
    me->forgetDragged(item);
    afControlTreeItem* entry = me->entryOf(item);
    if (!entry)
        return;
    for (afControlTreeItem* up = me->m_dropHighlight; up; up = me->m_tree->getParentItem(up)) {
        if (up == entry) {
            me->m_dropHighlight = nullptr;
            break;
        }
    }
    me->dropTags(item);
    if (me->m_tree)
        me->m_tree->removeItem(entry);
}

void ProjectWindow::onItemNameChanged(void* self, ProjectItem* item) {
    auto* me = static_cast<ProjectWindow*>(self);
    if (afControlTreeItem* entry = me->entryOf(item)) {
        me->m_tree->setItemText(entry, item->getName());
        if (me->imageOf(item) >= 0)
            entry->setImage(me->imageOf(item));
    }
}

void ProjectWindow::onUpdateStarted(void* self, Project* project) {
    auto* me = static_cast<ProjectWindow*>(self);
    ToolStripStatus* status = me->m_manager ? me->m_manager->getStatusStrip() : nullptr;
    if (!status || me->m_updateNote)
        return;
    me->m_updateNote = status->pushStatus(L"Updating project " + project->getTitle() + L"...");
}

void ProjectWindow::onUpdateFinished(void* self, Project*) {
    static_cast<ProjectWindow*>(self)->popUpdateNote();
}

void ProjectWindow::popUpdateNote() {
    ToolStripStatus* status = m_manager ? m_manager->getStatusStrip() : nullptr;
    if (status && m_updateNote)
        status->popStatus(static_cast<ToolStripStatus::Entry*>(m_updateNote));
    m_updateNote = nullptr;
}

bool ProjectWindow::onExpanding(void* self, afControlTree* tree, afControlTreeItem* entry, bool expanding) {
    auto* data = entry ? dynamic_cast<TreeItemData*>(entry->getData()) : nullptr;
    if (expanding && data && data->needsSorting) {
        data->needsSorting = false;
        tree->sortChildren(entry, static_cast<ProjectWindow*>(self)->sorter());
    }
    return true;
}

int ProjectWindow::compareItems(const ProjectItem* a, const ProjectItem* b) {
    int rank = kindRank(a) - kindRank(b);
    if (rank != 0)
        return rank;
    for (const wchar_t *p = a->getName(), *q = b->getName();; ++p, ++q) {
        wchar_t x = static_cast<wchar_t>(std::towlower(*p));
        wchar_t y = static_cast<wchar_t>(std::towlower(*q));
        if (x != y)
            return x < y ? -1 : 1;
        if (!x)
            return 0;
    }
}

afCallback<afControlTree::CompareFunction> ProjectWindow::sorter() {
    afCallback<afControlTree::CompareFunction> callback;
    callback.set(this, &ProjectWindow::compareEntries);
    return callback;
}

int ProjectWindow::compareEntries(void*, afControlTreeItem* a, afControlTreeItem* b) {
    ProjectItem* x = itemOf(a);
    ProjectItem* y = itemOf(b);
    if (!x || !y)
        return 0;
    return compareItems(x, y);
}

bool ProjectWindow::refuseRename(void*, afControlTree*, afControlTreeItem*) {
    return false;
}

bool ProjectWindow::refuseName(void*, afControlTree*, afControlTreeItem*, const std::wstring&, bool) {
    return false;
}

void ProjectWindow::onActivated(void* self, afControlTree*, afControlTreeItem*) {
    static_cast<ProjectWindow*>(self)->onEdit(nullptr);
}

// --- state ---

void ProjectWindow::storeTreeState(ProjectTreeState& state) const {
    if (!m_project || !m_tree)
        return;
    afControlTreeState saved;
    m_tree->saveState(saved);
    state.selected = saved.selected;
    state.first = saved.firstVisible;
    state.expanded = saved.expanded;
}

void ProjectWindow::restoreTreeState(const ProjectTreeState& state) {
    if (!m_project || !m_tree)
        return;
    afControlTreeState saved;
    saved.selected = state.selected;
    saved.firstVisible = state.first;
    saved.expanded = state.expanded;
    m_tree->restoreState(saved);
}

bool ProjectWindow::showPath(const std::wstring& path) {
    if (!m_project || !m_tree)
        return false;
    std::vector<ProjectItem*> found;
    if (!m_project->findByPath(path.c_str(), found) || found.empty())
        return false;
    afControlTreeItem* entry = entryOf(found.front());
    if (!entry)
        return false;
    m_tree->selectItem(entry);
    m_tree->ensureVisible(entry);
    return true;
}

ProjectItem* ProjectWindow::getSelectedItem() const {
    return m_tree ? itemOf(m_tree->getSelectedItem()) : nullptr;
}

ProjectItem* ProjectWindow::getCurrentFolder() const {
    ProjectItem* item = getSelectedItem();
    if (!item)
        return m_project ? m_project->getRoot() : nullptr;
    return item->isFolder() ? item : item->getParent();
}

// --- commands ---

void ProjectWindow::newItem(int kind) {
    ProjectItem* folder = getCurrentFolder();
    if (!folder || !m_manager)
        return;
    bool virtualKind = kind == ProjectItem::KIND_VIRTUAL_FOLDER;
    if (virtualKind != folder->isVirtualFolder())
        return;
    const wchar_t* title = L"Create a new file";
    const wchar_t* prompt = L"Enter a new name for the file:";
    if (kind == ProjectItem::KIND_FOLDER) {
        title = L"Create a new folder";
        prompt = L"Enter a new name for the folder:";
    } else if (virtualKind) {
        title = L"Create a new virtual folder";
        prompt = L"Enter a new name for the virtual folder:";
    }
    std::wstring name;
    if (!projectprompts::askString(m_manager->getOwner(), title, prompt, name, nullptr, true) || name.empty())
        return;
    ProjectItem* item = m_manager->createItem(folder, kind, name);
    if (afControlTreeItem* entry = entryOf(item))
        m_tree->selectItem(entry);
}

bool ProjectWindow::onNewFile(afActionEvent*) {
    newItem(ProjectItem::KIND_FILE);
    return true;
}

bool ProjectWindow::onNewFolder(afActionEvent*) {
    newItem(ProjectItem::KIND_FOLDER);
    return true;
}

bool ProjectWindow::onNewVirtualFolder(afActionEvent*) {
    newItem(ProjectItem::KIND_VIRTUAL_FOLDER);
    return true;
}

bool ProjectWindow::onRename(afActionEvent*) {
    ProjectItem* item = getSelectedItem();
    if (!item || !m_manager)
        return true;
    std::wstring name = item->getName();
    if (!projectprompts::askString(m_manager->getOwner(), L"Renaming a file", L"Enter a new name for the file:", name,
                                   nullptr, !item->isVirtualFolder()))
        return true;
    if (name != item->getName() && m_manager->canRename(item, name))
        m_manager->renameItem(item, name);
    return true;
}

bool ProjectWindow::onDelete(afActionEvent*) {
    ProjectItem* item = getSelectedItem();
    if (!item || !m_manager)
        return true;
    afView* owner = m_manager->getOwner();
    std::vector<ProjectItem*> items{item};
    if (item->isVirtualFolder()) {
        uint32_t answer = projectprompts::ask(
            owner, L"Removing a folder", {{L"Do you really want to remove this folder?", 0}, {shownName(item), 1}},
            {{L"&Remove from Project", RESULT_REMOVE, false, 0}, {L"&Cancel", projectprompts::RESULT_CANCEL, true, 0}});
        if (answer == RESULT_REMOVE)
            m_manager->removeItems(items);
        return true;
    }
    if (item->parentIsVirtual()) {
        uint32_t answer = projectprompts::ask(
            owner, L"What do you want to do?",
            {{L"Do you want to delete this item or just remove it from project?", 0}, {shownName(item), 1}},
            {{L"&Delete", RESULT_DELETE, false, 'Y'},
             {L"&Remove from Project", RESULT_REMOVE, false, 0},
             {L"&Cancel", projectprompts::RESULT_CANCEL, true, 0}});
        if (answer == RESULT_DELETE)
            m_manager->deleteItems(items);
        else if (answer == RESULT_REMOVE)
            m_manager->removeItems(items);
        return true;
    }
    uint32_t answer = projectprompts::ask(
        owner, L"Deleting item(s)...", {{L"Do you really want to delete this item?", 0}, {shownName(item), 1}},
        {{L"&Delete", RESULT_DELETE, false, 'Y'}, {L"&Cancel", projectprompts::RESULT_CANCEL, true, 0}});
    if (answer == RESULT_DELETE)
        m_manager->deleteItems(items);
    return true;
}

bool ProjectWindow::onRemove(afActionEvent*) {
    return true;
}

bool ProjectWindow::onEdit(afActionEvent*) {
    ProjectItem* item = getSelectedItem();
    if (!item)
        return true;
    if (item->isFolder()) {
        afControlTreeItem* entry = entryOf(item);
        m_tree->expandItem(entry, !m_tree->isExpanded(entry));
        return true;
    }
    if (m_manager)
        m_manager->openFile(item->getPath());
    return true;
}

} // namespace corvel
