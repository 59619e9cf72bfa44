// One known project: its title, its file and, once opened, the project itself. The
// project manager keeps these in the order of the known-project list.
#pragma once
#include "zem/base/Object.h"

#include <memory>
#include <string>

namespace corvel {

class Project;

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

    const std::wstring& getTitle() const { return m_title; }
    void setTitle(const std::wstring& title) { m_title = title; }
    // Empty for a project never saved.
    const std::wstring& getFilePath() const { return m_filePath; }
    void setFilePath(const std::wstring& path) { m_filePath = path; }
    bool isStarred() const { return m_starred; }
    void setStarred(bool starred) { m_starred = starred; }
    Project* getProject() const { return m_project.get(); }
    void setProject(Project* project);

private:
    std::wstring m_title;
    std::wstring m_filePath;
    bool m_starred = false;
    std::unique_ptr<Project> m_project; // null until first opened
};

} // namespace corvel
