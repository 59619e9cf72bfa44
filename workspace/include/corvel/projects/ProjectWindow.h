// The view of one project tab: a tree of the project's items under its root (the root has
// no entry of its own), kept in step through the project's notification lists, with the
// commands that create, rename, delete and open items, a context menu gathered from the
// menu contributors, items dragged out as files and files, folders and items dropped in.
// Attached while its project is open.
#pragma once
#include "corvel/widgets/afActionHandler.h"
#include "corvel/widgets/afContainer.h"
#include "zem/base/Object.h"

#include <cstdint>
#include <string>
#include <vector>

namespace corvel {

class Project;
class ProjectItem;
class ProjectManager;
struct ProjectTreeState;
class afActionEvent;
class afControlTree;
class afControlTreeItem;
class afDataObject;
class afDataObjectFiles;
class afDataObjectText;
class afDropTarget;
class afEvent;
class afMenu;
template <class T> class afDataObjectScalar;

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
    // The window with the focus plays the project window's role for the keys.
    void onChildFocus(afView* view, bool gained) override;

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

    // Menu contributors: each adds its entries to the context menu being built.
    bool onProjectMenu(afActionEvent* event);
    bool onFileMenu(afActionEvent* event);
    bool onFolderMenu(afActionEvent* event);
    bool onVirtualFolderMenu(afActionEvent* event);
    bool onNewItemsMenu(afActionEvent* event);
    // The menu every contributor for "ui.menu.project" over this window's scope adds to;
    // scope receives the context the chosen entry runs with.
    afMenu* buildContextMenu(ScopePath& scope);
    // Shows it at a screen point and runs the chosen entry.
    void showContextMenu(int x, int y);

    // Dragging out: the items for this window, the file or folder for everyone else.
    afDataObject* makeDragData(afControlTreeItem* entry);
    // Where a drop on entry lands: a file stands for its folder, no entry for the root.
    ProjectItem* dropTargetOf(afControlTreeItem* entry) const;
    // What a drop on entry would do with the offered actions and the event's modifiers.
    int decideDrop(afControlTreeItem* entry, int allowed, const afEvent& event) const;
    // A drop's work by its data; the action performed, or afDropAction::NONE.
    int dropItems(afControlTreeItem* entry, int action, const std::vector<ProjectItem*>& items);
    int dropPaths(afControlTreeItem* entry, int action, const std::vector<std::wstring>& paths);
    int dropText(afControlTreeItem* entry);
    // The image of an item's kind in the tree's list, or -1 without one.
    int imageOf(const ProjectItem* item) const;

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
    void addMenuEntries(afActionEvent* event, const std::vector<std::pair<const wchar_t*, const wchar_t*>>& entries);
    void makeImages();
    void makeDropTarget();
    afControlTreeItem* entryAtScreen(int x, int y) const;
    void highlightDropEntry(afControlTreeItem* entry);
    void forgetDragged(ProjectItem* item);
    static void onContextMenu(void* self, afControlTree* tree, afControlTreeItem* entry, int x, int y);
    static afDataObject* onBeginDrag(void* self, afControlTree* tree, afControlTreeItem* entry, int x, int y,
                                     int& allowed);
    static void onDragEnded(void* self, afControlTree* tree, afControlTreeItem* entry, afDataObject* data, int effect);
    static int onDragDecide(void* self, afDropTarget* target, afEvent* event, int allowed, int last);
    static int onDropData(void* self, afDropTarget* target, afEvent* event, int allowed, int last);
    static void onDragGone(void* self, afDropTarget* target);

    afControlTree* m_tree = nullptr;       // child view
    Project* m_project = nullptr;          // not owned; null when detached
    ProjectManager* m_manager;             // not owned
    uint32_t m_tagKey;                     // the key under which items hold this window's entries
    void* m_updateNote = nullptr;          // the status strip's entry while an update runs
    int m_images[3] = {-1, -1, -1};        // by kind: file, folder, virtual folder
    std::vector<ProjectItem*> m_dragItems; // the items of the drag in progress
    // The parts of the drop target's data object (owned by it).
    afDataObjectScalar<uint32_t>* m_dropItems = nullptr;
    afDataObjectFiles* m_dropFiles = nullptr;
    afDataObjectText* m_dropText = nullptr;
    afControlTreeItem* m_dropHighlight = nullptr;
};

} // namespace corvel
