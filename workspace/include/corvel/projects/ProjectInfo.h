// One known project: its title, its file and, once opened, the project itself. The
// project manager keeps these in the order of the known-project list.
#pragma once
#include "corvel/projects/ProjectTreeState.h"
#include "zem/base/Object.h"

#include <memory>
#include <string>

namespace corvel {

class Project;
class ProjectManager;
class ProjectWindow;
class afDockSlot;

class ProjectInfo : public zem::Object {
public:
    ProjectInfo();
    ~ProjectInfo() override;
    ProjectInfo(const ProjectInfo&) = delete;
    ProjectInfo& operator=(const ProjectInfo&) = delete;

    // The quick read of a project file that lists it: the title from "root"/"vdir" and
    // the resolved full path. Throws zem::RuntimeException or zem::IllegalStateException
    // with the text the user is shown.
    static void readHeader(const wchar_t* path, std::wstring& title, std::wstring& fullPath);
    // A known project read from a project file's header and appended to the manager's list;
    // null when the header fails (after the "Unable to open project" box) or when a known
    // project has that file already.
    static ProjectInfo* fromFile(ProjectManager* manager, const std::wstring& path);

    const std::wstring& getTitle() const { return m_title; }
    void setTitle(const std::wstring& title) { m_title = title; }
    // Empty for a project never saved.
    const std::wstring& getFilePath() const { return m_filePath; }
    void setFilePath(const std::wstring& path) { m_filePath = path; }
    bool isStarred() const { return m_starred; }
    void setStarred(bool starred) { m_starred = starred; }
    Project* getProject() const { return m_project.get(); }
    void setProject(Project* project);
    // Null until the project's window first stores one.
    ProjectTreeState* getTreeState() const { return m_treeState.get(); }
    void setTreeState(std::unique_ptr<ProjectTreeState> state) { m_treeState = std::move(state); }
    // The project's tab in the sidebar, or null.
    afDockSlot* getSlot() const { return m_slot; }
    void setSlot(afDockSlot* slot) { m_slot = slot; }
    // The tab's view while it exists.
    ProjectWindow* getWindow() const { return m_window; }
    void setWindow(ProjectWindow* window) { m_window = window; }

private:
    std::wstring m_title;
    std::wstring m_filePath;
    bool m_starred = false;
    std::unique_ptr<Project> m_project; // null until first opened
    std::unique_ptr<ProjectTreeState> m_treeState;
    afDockSlot* m_slot = nullptr;      // not owned
    ProjectWindow* m_window = nullptr; // not owned; tells the manager when it goes
};

} // namespace corvel
