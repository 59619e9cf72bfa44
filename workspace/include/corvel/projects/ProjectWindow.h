// The view of one project tab: a tree of the project's items under its root (the root has
// no entry of its own), kept in step through the project's notification lists, with the
// commands that create, rename, delete and open items. Attached while its project is open.
#pragma once
#include "corvel/widgets/afActionHandler.h"
#include "corvel/widgets/afContainer.h"
#include "zem/base/Object.h"

#include <cstdint>
#include <string>

namespace corvel {

class Project;
class ProjectItem;
class ProjectManager;
struct ProjectTreeState;
class afActionEvent;
class afControlTree;
class afControlTreeItem;

class ProjectWindow : public afContainer, public afActionHandler {
public:
    // Attached to each entry as its owned data.
    class TreeItemData : public zem::Object {
    public:
        explicit TreeItemData(ProjectItem* item) : item(item) {}
        ProjectItem* item; // not owned
        bool needsSorting = true;
    };

    ProjectWindow(afView* parent, ProjectManager* manager);
    ~ProjectWindow() override;

    const wchar_t* getTypeName() const override;
    void addScopeEntries(ScopePath& path) override;
    void onCreated() override;

    // Null detaches: the tree empties and shows its empty text.
    void setProject(Project* project);
    Project* getProject() const { return m_project; }
    void storeTreeState(ProjectTreeState& state) const;
    void restoreTreeState(const ProjectTreeState& state);
    // Selects the entry of the first item with that path; false when there is none.
    bool showPath(const std::wstring& path);

    // The entry this window shows for item, or null.
    afControlTreeItem* entryOf(const ProjectItem* item) const;
    ProjectItem* getSelectedItem() const;
    // Where new items go: the selection, a file's folder, or the root.
    ProjectItem* getCurrentFolder() const;
    afControlTree* getTree() const { return m_tree; }
    // The manager is going first: the window no longer reports to it.
    void releaseManager() { m_manager = nullptr; }
    // Virtual folders first, then folders, then files; by name ignoring case.
    static int compareItems(const ProjectItem* a, const ProjectItem* b);

    bool onNewFile(afActionEvent* event);
    bool onNewFolder(afActionEvent* event);
    bool onNewVirtualFolder(afActionEvent* event);
    bool onRename(afActionEvent* event);
    bool onDelete(afActionEvent* event);
    bool onRemove(afActionEvent* event);
    bool onEdit(afActionEvent* event);

private:
    void newItem(int kind);
    void addEntries(ProjectItem* folder, afControlTreeItem* parent);
    afControlTreeItem* addEntry(ProjectItem* item, afControlTreeItem* parent);
    void dropTags(ProjectItem* item);
    void popUpdateNote();
    static void onItemAdded(void* self, ProjectItem* item);
    static void onItemRemoving(void* self, ProjectItem* item);
    static void onItemNameChanged(void* self, ProjectItem* item);
    static void onUpdateStarted(void* self, Project* project);
    static void onUpdateFinished(void* self, Project* project);
    static bool onExpanding(void* self, afControlTree* tree, afControlTreeItem* entry, bool expanding);
    static void onActivated(void* self, afControlTree* tree, afControlTreeItem* entry);
    static bool refuseRename(void* self, afControlTree* tree, afControlTreeItem* entry);
    static bool refuseName(void* self, afControlTree* tree, afControlTreeItem* entry, const std::wstring& text,
                           bool cancelled);
    static int compareEntries(void* self, afControlTreeItem* a, afControlTreeItem* b);
    afCallback<int (*)(void*, afControlTreeItem*, afControlTreeItem*)> sorter();

    afControlTree* m_tree = nullptr; // child view
    Project* m_project = nullptr;    // not owned; null when detached
    ProjectManager* m_manager;       // not owned
    uint32_t m_tagKey;               // the key under which items hold this window's entries
    void* m_updateNote = nullptr;    // the status strip's entry while an update runs
};

} // namespace corvel
