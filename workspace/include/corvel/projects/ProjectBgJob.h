// One scan of a real project folder on the updater's scheduler. The worker fills the
// result folder, a detached copy of the scanned folder's contents that the main thread
// merges into the project.
#pragma once
#include "corvel/config/BgJob.h"

#include <string>

namespace corvel {

class Project;
class ProjectFolder;

class ProjectBgJob : public BgJob {
public:
    // Main thread: copies what the worker needs, so it never touches the project.
    ProjectBgJob(BgClient* client, ProjectFolder* folder);
    // Deletes the result folder unless it has been put into a tree by then.
    ~ProjectBgJob() override;

    ProjectFolder* getFolder() const { return m_folder; }
    Project* getProject() const { return m_project; }
    ProjectFolder* getResult() const { return m_result; }

    // Worker thread: lists the folder into the result.
    void scan();

private:
    bool scanListing(const wchar_t* listingPath, ProjectFolder* into, std::wstring& path);

    ProjectFolder* m_folder; // the folder scanned; main thread only
    Project* m_project;      // its project; main thread only
    ProjectFolder* m_result; // owned unless attached; filled on the worker
};

} // namespace corvel
