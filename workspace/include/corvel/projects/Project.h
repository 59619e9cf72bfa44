// A named tree that gathers files and folders from anywhere on disk: virtual folders
// exist only here, real folders stand for directories the updater scans and watches,
// files are single disk files. Owns the tree, an index from path keys to items and the
// notification lists. Main thread only: every operation that changes or searches the
// tree checks it first.
#pragma once
#include "zem/base/CallbackList.h"
#include "zem/base/Object.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace corvel {

class JasmineValue;
class ProjectFolder;
class ProjectItem;
class ProjectManager;
class ProjectUpdater;
class ProjectVirtualFolder;
struct ProjectUpdateState;

class Project : public zem::Object {
public:
    typedef zem::CallbackList<void(ProjectItem*)> ItemCallbacks;
    typedef zem::CallbackList<void(Project*)> ProjectCallbacks;

    static constexpr uint32_t TYPE_ID = 0x1941767eu;
    static constexpr uint32_t LOG_SOURCE = 0x2fb3d0eeu; // "project"

    // Both may be null (tests, projects that are only read).
    explicit Project(ProjectManager* manager, ProjectUpdater* updater = nullptr);
    // Unindexes and deletes the root.
    ~Project() override;
    Project(const Project&) = delete;
    Project& operator=(const Project&) = delete;

    uint32_t getType() const override { return TYPE_ID; }

    // A new unattached item of a kind (ProjectItem::Kind); null for any other kind.
    ProjectItem* createItem(int kind, const wchar_t* name);
    // A file or folder item for an existing path, attached to folder; null when the
    // path's attributes cannot be read.
    ProjectItem* addPath(const std::wstring& path, ProjectFolder* folder);
    void attachItem(ProjectItem* item, ProjectFolder* folder);
    void detachItem(ProjectItem* item, bool deleteIt);
    bool renameItem(ProjectItem* item, const wchar_t* newName);
    void indexItem(ProjectItem* item, bool add, bool force);
    void setRoot(ProjectVirtualFolder* root);
    bool findByPath(const wchar_t* path, std::vector<ProjectItem*>& out);
    void collectRealFolders(ProjectItem* item, std::vector<ProjectFolder*>& out);
    // Brings existing in step with a scan of the same folder; items keep their identity.
    void mergeSubTree(ProjectFolder* existing, ProjectFolder* scanned);
    void onUpdateStarted();
    void onUpdateFinished();

    // The root's name.
    std::wstring getTitle() const;
    // Renames the root without notifications.
    void setTitle(const std::wstring& title);
    bool isModified() const { return m_modified; }
    void setModified(bool modified);
    bool isUpToDate() const { return m_upToDate; }
    void setUpToDate(bool upToDate) { m_upToDate = upToDate; }

    ProjectVirtualFolder* getRoot() const { return m_root.get(); }
    const std::wstring& getFilePath() const { return m_filePath; }
    void setFilePath(const std::wstring& path) { m_filePath = path; }
    ProjectManager* getManager() const { return m_manager; }
    ProjectUpdater* getUpdater() const { return m_updater; }
    void setUpdater(ProjectUpdater* updater) { m_updater = updater; }
    ProjectUpdateState* getUpdateState() const { return m_updateState; }
    void setUpdateState(ProjectUpdateState* state) { m_updateState = state; }

    // Project files (.cvProject). save(null) writes to the current file path; a project
    // without a root never saves.
    bool save(const wchar_t* path);
    JasmineValue buildValue() const;
    bool load(const wchar_t* path);
    // "user:projects/<title as lower-case words>.cvProject", made unique with _1 .. _98 and
    // created empty; its full path goes to path. False when no file could be made.
    static bool createDefaultFile(const std::wstring& title, std::wstring& path);
    // The name part of the default file for a title.
    static std::wstring defaultFileStem(const std::wstring& title);

    ItemCallbacks& itemAdded() { return m_itemAdded; }
    ItemCallbacks& itemRemoving() { return m_itemRemoving; }
    ItemCallbacks& itemNameChanged() { return m_itemNameChanged; }
    ProjectCallbacks& updateStarted() { return m_updateStarted; }
    ProjectCallbacks& updateFinished() { return m_updateFinished; }
    ProjectCallbacks& projectModified() { return m_projectModified; }

    // Diagnostics for tests: entries in the key index.
    size_t indexSize() const { return m_index.size(); }
    bool isInIndex(const ProjectItem* item) const;

private:
    void unindexTree(ProjectItem* item);
    void raiseAddedTree(ProjectItem* item);
    void raiseRemovingTree(ProjectItem* item);
    void handToUpdater(ProjectItem* item);
    void markModified();
    void resolveRelativePaths(ProjectItem* item, const std::wstring& directory);

    ItemCallbacks m_itemAdded;
    ItemCallbacks m_itemRemoving;
    ItemCallbacks m_itemNameChanged;
    ProjectCallbacks m_updateStarted;
    ProjectCallbacks m_updateFinished;
    ProjectCallbacks m_projectModified;

    ProjectManager* m_manager;                   // not owned
    ProjectUpdater* m_updater;                   // not owned; null when none
    ProjectUpdateState* m_updateState = nullptr; // owned by the updater
    int m_merging = 0;                           // depth of mergeSubTree calls running
    bool m_upToDate = false;                     // a first scan has been requested
    bool m_modified = false;
    std::wstring m_filePath; // empty for a project never saved
    std::unique_ptr<ProjectVirtualFolder> m_root;
    // Each item with FLAG_INDEXED has exactly one entry: (its key, itself).
    std::multimap<uint32_t, ProjectItem*> m_index;
};

} // namespace corvel
