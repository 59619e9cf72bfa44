// Keeps a project's real folders in step with the disk: scans each one on the
// "ProjectScheduler" worker, merges the scanned tree on the main thread, and applies the
// changes the "ProjectWatcher" reports. Owned by the project manager, which starts and
// stops it per project.
#pragma once
#include "corvel/config/BgClient.h"

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace zem {
class FileChangeEvent;
class FileWatchObject;
class FileWatcher;
} // namespace zem

namespace corvel {

class BgScheduler;
class Project;
class ProjectBgJob;
class ProjectFolder;
class ProjectItem;
class ProjectManager;

// One project under update; owned by the updater.
struct ProjectUpdateState {
    typedef std::pair<zem::FileWatchObject*, zem::FileChangeEvent*> Event; // holds one reference on the event

    explicit ProjectUpdateState(Project* p) : project(p) {}

    Project* project;
    int suspension = 0;                       // while above 0, results and events wait
    std::vector<ProjectFolder*> watched;      // folders carrying a watch
    std::vector<ProjectBgJob*> running;       // jobs not yet merged
    std::vector<Event> waitingEvents;         // oldest first
    std::vector<ProjectBgJob*> waitingMerges; // finished while suspended, oldest first
    bool startedPending = false;
    bool finishedPending = false;
    zem::FileWatchObject* lastWatch = nullptr; // the watch whose base path is in basePath
    std::wstring basePath;                     // the last watch's path and a separator
};

class ProjectUpdater : public BgClient {
public:
    static constexpr uint32_t JOB_TAG = 0x69a33a1bu;   // "project_job": a folder's running scan
    static constexpr uint32_t WATCH_TAG = 0x435e43b8u; // "project_watch": a folder's watch
    static constexpr int64_t WATCH_HOLD_BACK_MS = 1000;

    explicit ProjectUpdater(ProjectManager* owner);
    // Stops every update left, then drops the watcher and the scheduler.
    ~ProjectUpdater() override;
    ProjectUpdater(const ProjectUpdater&) = delete;
    ProjectUpdater& operator=(const ProjectUpdater&) = delete;

    // Main thread; the message registry must exist.
    void init();

    void startUpdate(Project* project);
    void stopUpdate(Project* project);
    bool isUpdating(Project* project) const;
    bool scanFolder(ProjectFolder* folder, bool watch);
    bool watchFolder(ProjectFolder* folder);
    bool unwatchFolder(ProjectFolder* folder);
    void suspend(Project* project, bool on);
    bool finishJob(ProjectFolder* folder, bool unwatch);
    // A folder leaving its project: its scans end and its watches go, for the whole subtree.
    void forgetFolder(ProjectFolder* folder);

    zem::FileWatcher* getWatcher() const { return m_watcher.get(); }
    BgScheduler* getScheduler() const { return m_scheduler.get(); }

    // BgClient.
    void processJob(BgWorker* worker, BgJob* job) override;
    void onJobFinished(BgScheduler* scheduler, BgJob* job) override;

private:
    ProjectUpdateState* stateOf(Project* project) const;
    void mergeSubTree(ProjectBgJob* job);
    void applyEvent(ProjectUpdateState* state, zem::FileWatchObject* watch, zem::FileChangeEvent* event);
    void flush(ProjectUpdateState* state);
    void disposeJob(ProjectBgJob* job);
    void updateFinished(ProjectUpdateState* state);
    static void onChange(void* self, zem::FileWatchObject* watch, zem::FileChangeEvent* event);

    ProjectManager* m_owner; // not owned
    std::unique_ptr<zem::FileWatcher> m_watcher;
    std::unique_ptr<BgScheduler> m_scheduler;
    std::map<Project*, std::unique_ptr<ProjectUpdateState>> m_states;
};

} // namespace corvel
