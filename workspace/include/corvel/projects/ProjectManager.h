// Keeps the known projects (the list in "app.projects"), opens one at a time as the active
// project, saves open projects on every change, shows projects as tabs of the sidebar dock,
// runs the project commands and the item operations the project window asks for. Without
// an owner window its dialogs and prompts go ownerless; without a document manager no open
// document follows a rename or move; without a sidebar dock projects get no tabs.
#pragma once
#include "corvel/widgets/afActionHandler.h"
#include "corvel/widgets/afDockSlotController.h"
#include "zem/base/CallbackList.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace corvel {

class Config;
class ConfigManager;
class DocumentManager;
class FileManager;
class Project;
class ProjectFolder;
class ProjectInfo;
class ProjectItem;
class ProjectUpdater;
class ProjectWindow;
class ToolStripStatus;
class ViewVirtualButton;
class afActionEvent;
class afActionRegistry;
class afDock;
class afEvent;
class afView;

class ProjectManager : public afActionHandler, public afDockSlotController {
public:
    static constexpr uint32_t CONTROLLER_ID = 0x6c3a29dcu;     // "project_manager"
    static constexpr uint32_t ALL_PROJECTS_SLOT = 0x7d593000u; // the project list's slot
    static constexpr uint32_t PROJECT_SLOT = 0x2fb3d0eeu;      // "project"
    static constexpr uint32_t CLOSED_STATE = 0xe35e00dfu;      // "default"

    typedef zem::CallbackList<void()> ListCallbacks;
    typedef zem::CallbackList<void(ProjectInfo*)> InfoCallbacks;

    // Subscribes to the configuration manager's settings-loaded, closing and settings-store
    // lists when one is given (start-up runs on settings loaded).
    explicit ProjectManager(ConfigManager* config = nullptr, afActionRegistry* registry = nullptr);
    // Stops the updater first, then deletes the projects.
    ~ProjectManager() override;
    ProjectManager(const ProjectManager&) = delete;
    ProjectManager& operator=(const ProjectManager&) = delete;

    // The owner of dialogs and file-operation prompts (the main window).
    void setOwner(afView* owner) { m_owner = owner; }
    afView* getOwner() const { return m_owner; }
    void setDocuments(DocumentManager* documents) { m_documents = documents; }
    // The sidebar dock the tabs go into; the "All projects" tab is added at start-up.
    void setDock(afDock* dock) { m_dock = dock; }
    afDock* getDock() const { return m_dock; }
    // Where project windows show their update notes; may be null.
    void setStatusStrip(ToolStripStatus* status) { m_status = status; }
    ToolStripStatus* getStatusStrip() const { return m_status; }
    // Opens the files the project windows ask for; may be null.
    void setFileManager(FileManager* files) { m_files = files; }
    // A file from a project tree in a document tab, activated; the error box when it cannot
    // be opened. Nothing without a file manager.
    void openFile(const std::wstring& path);

    // Start-up: reads "app.projects", adds the "All projects" tab and registers the actions.
    void start(Config* config);
    // Closing confirmed: saves every open project and lets the updater forget it.
    void saveOpenProjects();
    // Rebuilds "app.projects" from the list.
    void storeSettings(Config* config);

    const std::vector<ProjectInfo*>& getProjects() const { return m_projects; }
    ProjectInfo* getActiveProject() const { return m_active; }
    ProjectUpdater* getUpdater() const { return m_updater.get(); }
    // The known project whose file is path (same file, not same text); null when none.
    ProjectInfo* findByFile(const std::wstring& path) const;

    // Takes info (owned) into the list and raises list changed.
    void appendProject(ProjectInfo* info);
    // Null for an empty title.
    ProjectInfo* addNewProject(const std::wstring& title);
    ProjectInfo* createProjectWithPaths(const std::wstring& title, const std::vector<std::wstring>& paths);
    void showProject(ProjectInfo* info);
    bool setActiveProject(ProjectInfo* info);
    bool saveProject(ProjectInfo* info);
    void setStarred(ProjectInfo* info, bool starred);
    // False when the title is empty or unchanged.
    bool renameProject(ProjectInfo* info, const std::wstring& title);
    // Drops the project from the list without saving; its file stays.
    void removeProject(ProjectInfo* info);
    bool showPathInActiveProject(const std::wstring& path);
    // A project file named on the command line: listed when new, then shown and revealed.
    ProjectInfo* openProjectFile(const std::wstring& path);
    void revealActiveProject();
    // A project window is going (its dock may be gone already): its project forgets the tab.
    void forgetWindow(ProjectWindow* window);

    // The rename dialog of "project.rename" under a window title; true when renamed.
    bool runRenameDialog(ProjectInfo* info, const wchar_t* windowTitle);

    // Item operations for the project window. New items of every kind take only names a
    // file may have.
    ProjectItem* createItem(ProjectItem* target, int kind, const std::wstring& name);
    // The rename dialog's check: no parent, a folder in error or a sibling of that name
    // (ignoring case) refuse it; so do names no file may have.
    bool canRename(ProjectItem* item, const std::wstring& newName) const;
    bool renameItem(ProjectItem* item, const std::wstring& newName);
    // False when the dialogs report that the deletion did not run to its end; the items
    // whose paths are gone leave the project either way.
    bool deleteItems(const std::vector<ProjectItem*>& items);
    bool removeItems(const std::vector<ProjectItem*>& items);
    bool copyItems(ProjectItem* target, const std::vector<ProjectItem*>& items);
    bool moveItems(ProjectItem* target, const std::vector<ProjectItem*>& items);
    bool addPaths(ProjectItem* folder, const std::vector<std::wstring>& paths);
    bool copyPathsInto(ProjectItem* folder, const std::vector<std::wstring>& paths);
    bool movePathsInto(ProjectItem* folder, const std::vector<std::wstring>& paths);
    // Open documents follow a file or folder that moved from oldPath to newPath.
    void followPath(const std::wstring& oldPath, const std::wstring& newPath);

    // Actions.
    bool onNewProject(afActionEvent* event);
    bool onOpenProject(afActionEvent* event);
    bool onCloseProject(afActionEvent* event);
    bool onSaveProject(afActionEvent* event);
    bool onSaveProjectAs(afActionEvent* event);
    bool onRenameProject(afActionEvent* event);
    bool onStarProject(afActionEvent* event);
    bool onUnstarProject(afActionEvent* event);
    bool onRemoveProject(afActionEvent* event);
    bool onUpdateProject(afActionEvent* event);

    // afDockSlotController.
    afView* createSlotView(afDockSlot* slot) override;
    bool storeSlot(afDockSlot* slot, JasmineValue& value) override;
    bool restoreSlot(const JasmineValue& value, afDock* dock, int position) override;
    void onSlotInserted(afDockSlot* slot) override;
    void onSlotRemoved(afDockSlot* slot, bool deleting) override;
    void onSlotActivated(afDockSlot* slot) override;

    // The tab's title, icon (open or closed project, or the project list's) and star toggle.
    void fillTabButton(afDockSlot* slot);

    ListCallbacks listChanged;
    InfoCallbacks starredChanged;
    InfoCallbacks titleChanged;

private:
    static void onSettingsLoaded(void* self, Config* config);
    static void onSettingsStore(void* self, Config* config);
    static void onClosing(void* self);
    static void onProjectModified(void* self, Project* project);
    static void onStarToggled(void* self, ViewVirtualButton* button, afEvent* event);
    void registerActions();
    void readProjects(Config* config);
    bool openProject(ProjectInfo* info);
    bool closeProject(ProjectInfo* info);
    afDockSlot* addProjectSlot(ProjectInfo* info);
    // The project's window (its tab's view): attached to the open project with the stored
    // tree state, detached with the closed-project state word, its tree state stored.
    ProjectWindow* windowOf(ProjectInfo* info) const;
    void attachWindow(ProjectInfo* info);
    void detachWindow(ProjectInfo* info);
    void storeTreeState(ProjectInfo* info);
    bool showPathIn(ProjectInfo* info, const std::wstring& path);
    ProjectInfo* infoOf(Project* project) const;
    ProjectInfo* eventProject(afActionEvent* event) const;
    // Disk work from the tree: the project's updater waits until it ends; a second
    // operation meanwhile is refused.
    bool beginDiskWork(Project* project);
    void endDiskWork(Project* project);

    ConfigManager* m_config;
    afView* m_owner = nullptr;              // not owned
    DocumentManager* m_documents = nullptr; // not owned
    afDock* m_dock = nullptr;               // not owned
    ToolStripStatus* m_status = nullptr;    // not owned
    FileManager* m_files = nullptr;         // not owned
    std::vector<ProjectInfo*> m_projects;   // owned, in list order
    ProjectInfo* m_active = nullptr;        // one of m_projects or null
    std::unique_ptr<ProjectUpdater> m_updater;
    bool m_started = false;
    bool m_diskWork = false;
};

} // namespace corvel
