#include "corvel/projects/ProjectUpdater.h"

#include "corvel/config/BgScheduler.h"
#include "corvel/projects/Project.h"
#include "corvel/projects/ProjectBgJob.h"
#include "corvel/projects/ProjectFolder.h"
#include "corvel/projects/ProjectVirtualFolder.h"
#include "zem/base/Assert.h"
#include "zem/base/Error.h"
#include "zem/base/Exception.h"
#include "zem/files/FileIO.h"
#include "zem/files/FileWatcher.h"
#include "zem/files/Path.h"
#include "zem/log/LogManager.h"
#include "zem/thread/Thread.h"

#include <algorithm>
#include <windows.h>

namespace corvel {

namespace {

template <class T> bool eraseValue(std::vector<T>& values, const T& value) {
    auto it = std::find(values.begin(), values.end(), value);
    if (it == values.end())
        return false;
    values.erase(it);
    return true;
}

const wchar_t* fileNamePart(const std::wstring& path) {
    return zem::getFileName(path.c_str());
}

uint32_t logSource() {
    static const uint32_t id = zem::LogManager_Impl::instance().registerSource(L"log");
    return id;
}

} // namespace

ProjectUpdater::ProjectUpdater(ProjectManager* owner) : m_owner(owner) {}

ProjectUpdater::~ProjectUpdater() {
    while (!m_states.empty())
        stopUpdate(m_states.begin()->first);
    if (m_watcher)
        m_watcher->callbacks().remove(&ProjectUpdater::onChange, this);
    m_watcher.reset();
    m_scheduler.reset();
}

void ProjectUpdater::init() {
    zem::checkMainThread();
    m_watcher.reset(new zem::FileWatcher(L"ProjectWatcher"));
    m_scheduler.reset(new BgScheduler(L"ProjectScheduler"));
    m_scheduler->lowerWorkerPriority();
    m_scheduler->setWorkerCount(1);
    m_watcher->callbacks().add(&ProjectUpdater::onChange, this);
    m_watcher->setHoldBack(WATCH_HOLD_BACK_MS);
    ZEM_ASSERT_MSG(m_watcher->hasThread(), L"m_watcher_thread");
    m_watcher->setThreadPriority(THREAD_PRIORITY_BELOW_NORMAL);
}

ProjectUpdateState* ProjectUpdater::stateOf(Project* project) const {
    auto it = m_states.find(project);
    return it == m_states.end() ? nullptr : it->second.get();
}

bool ProjectUpdater::isUpdating(Project* project) const {
    return stateOf(project) != nullptr;
}

void ProjectUpdater::startUpdate(Project* project) {
    zem::checkMainThread();
    if (stateOf(project)) {
        zem::logMessage(zem::LOG_INFO, Project::LOG_SOURCE, L"Project \"%s\": update already started\n",
                        project->getTitle().c_str());
        return;
    }
    ProjectUpdateState* state = new ProjectUpdateState(project);
    m_states[project].reset(state);
    project->setUpdateState(state);
    std::vector<ProjectFolder*> folders;
    project->collectRealFolders(project->getRoot(), folders);
    for (ProjectFolder* folder : folders)
        scanFolder(folder, true);
}

void ProjectUpdater::stopUpdate(Project* project) {
    zem::checkMainThread();
    ProjectUpdateState* state = stateOf(project);
    if (!state)
        return;
    // Nothing that waited is applied any more: the project is no longer followed.
    for (auto& waiting : state->waitingEvents)
        waiting.second->release();
    state->waitingEvents.clear();
    state->suspension = 1;
    while (!state->running.empty())
        finishJob(state->running.front()->getFolder(), true);
    while (!state->watched.empty())
        unwatchFolder(state->watched.front());
    project->setUpdateState(nullptr);
    m_states.erase(project);
}

bool ProjectUpdater::scanFolder(ProjectFolder* folder, bool watch) {
    zem::checkMainThread();
    ProjectUpdateState* state = folder ? stateOf(folder->getProject()) : nullptr;
    if (!state)
        return false;
    if (folder->getTag(JOB_TAG)) {
        if (watch)
            watchFolder(folder);
        return true;
    }
    ProjectBgJob* job = new ProjectBgJob(this, folder);
    state->running.push_back(job);
    folder->setTag(JOB_TAG, job);
    m_scheduler->attachJob(job);
    m_scheduler->queueJob(job, false);
    if (watch)
        watchFolder(folder);
    if (state->running.size() == 1) {
        if (state->suspension > 0)
            state->startedPending = true;
        else
            state->project->onUpdateStarted();
    }
    return true;
}

bool ProjectUpdater::watchFolder(ProjectFolder* folder) {
    zem::checkMainThread();
    ProjectUpdateState* state = stateOf(folder->getProject());
    if (!state)
        return false;
    if (folder->getTag(WATCH_TAG))
        return true;
    std::wstring path = folder->getPath();
    zem::FileWatchObject* watch = m_watcher->addObserver(path.c_str(), true, folder);
    if (!watch) {
        zem::logMessage(zem::LOG_ERROR, Project::LOG_SOURCE, L"Project \"%s\": unable to watch folder: %s\n",
                        state->project->getTitle().c_str(), path.c_str());
        folder->setError(zem::currentError());
        return false;
    }
    m_watcher->changeFlags(watch, zem::FileWatchObject::INFO_ON_ADDED | zem::FileWatchObject::INFO_ON_MODIFIED,
                           zem::FileWatchObject::IGNORE_MODIFIED);
    folder->setTag(WATCH_TAG, watch);
    state->watched.push_back(folder);
    return true;
}

bool ProjectUpdater::unwatchFolder(ProjectFolder* folder) {
    zem::checkMainThread();
    ProjectUpdateState* state = stateOf(folder->getProject());
    zem::FileWatchObject* watch = static_cast<zem::FileWatchObject*>(folder->getTag(WATCH_TAG));
    if (state)
        eraseValue(state->watched, folder);
    if (!watch)
        return false;
    if (state) {
        auto& events = state->waitingEvents;
        for (auto it = events.begin(); it != events.end();) {
            if (it->first != watch) {
                ++it;
                continue;
            }
            it->second->release();
            it = events.erase(it);
        }
        if (state->lastWatch == watch)
            state->lastWatch = nullptr;
    }
    folder->removeTag(WATCH_TAG);
    m_watcher->removeObserver(watch);
    return true;
}

void ProjectUpdater::suspend(Project* project, bool on) {
    zem::checkMainThread();
    ProjectUpdateState* state = stateOf(project);
    if (!state)
        return;
    if (on) {
        ++state->suspension;
        return;
    }
    if (state->suspension > 0 && --state->suspension == 0)
        flush(state);
}

void ProjectUpdater::disposeJob(ProjectBgJob* job) {
    m_scheduler->cancelJob(job);
    // A message still on its way for the job: the scheduler frees it once that arrives.
    if (job->messageCount() > 0) {
        zem::CriticalSectionLock guard(m_scheduler->getLock());
        job->setState(BgJob::STATE_DEAD);
        return;
    }
    delete job;
}

bool ProjectUpdater::finishJob(ProjectFolder* folder, bool unwatch) {
    zem::checkMainThread();
    ProjectUpdateState* state = stateOf(folder->getProject());
    ProjectBgJob* job = static_cast<ProjectBgJob*>(folder->getTag(JOB_TAG));
    bool found = state && job && eraseValue(state->running, job);
    if (found) {
        folder->removeTag(JOB_TAG);
        eraseValue(state->waitingMerges, job);
        disposeJob(job);
    }
    if (unwatch)
        unwatchFolder(folder);
    if (found && state->running.empty())
        updateFinished(state);
    return found;
}

void ProjectUpdater::updateFinished(ProjectUpdateState* state) {
    if (state->suspension > 0) {
        state->finishedPending = true;
        return;
    }
    state->project->onUpdateFinished();
    flush(state);
}

void ProjectUpdater::forgetFolder(ProjectFolder* folder) {
    if (!folder || !stateOf(folder->getProject()))
        return;
    for (size_t i = 0; i < folder->childCount(); ++i) {
        ProjectItem* child = folder->childAt(i);
        if (child->isFolder())
            forgetFolder(static_cast<ProjectFolder*>(child));
    }
    finishJob(folder, true);
}

void ProjectUpdater::processJob(BgWorker* worker, BgJob* job) {
    (void)worker;
    static_cast<ProjectBgJob*>(job)->scan();
}

void ProjectUpdater::onJobFinished(BgScheduler* scheduler, BgJob* job) {
    (void)scheduler;
    ProjectBgJob* scan = static_cast<ProjectBgJob*>(job);
    ProjectUpdateState* state = stateOf(scan->getProject());
    bool ours = state && std::find(state->running.begin(), state->running.end(), scan) != state->running.end();
    if (!ours) {
        disposeJob(scan);
        return;
    }
    if (state->suspension > 0) {
        state->waitingMerges.push_back(scan);
        return;
    }
    mergeSubTree(scan);
}

void ProjectUpdater::mergeSubTree(ProjectBgJob* job) {
    ProjectFolder* result = job->getResult();
    Project* project = job->getProject();
    if (result) {
        std::vector<ProjectItem*> matches;
        project->findByPath(result->getPathText().c_str(), matches);
        ProjectFolder* target = nullptr;
        for (ProjectItem* item : matches) {
            if (!item->isRealFolder())
                continue;
            if (item == job->getFolder() || !target)
                target = static_cast<ProjectFolder*>(item);
        }
        if (target) {
            DWORD start = GetTickCount();
            project->mergeSubTree(target, result);
            if (const zem::ErrorObject* error = result->getError())
                target->setError(*error);
            else
                target->clearError();
            zem::logMessage(zem::LOG_DEBUG, logSource(), L"mergeSubTree() time %d ms\n",
                            static_cast<int>(GetTickCount() - start));
        }
    }
    if (!finishJob(job->getFolder(), false))
        disposeJob(job);
}

void ProjectUpdater::flush(ProjectUpdateState* state) {
    if (state->suspension > 0)
        return;
    Project* project = state->project;
    if (state->startedPending) {
        state->startedPending = false;
        project->onUpdateStarted();
    }
    // Taken one at a time from the live lists: a merge can finish or drop later entries.
    while (stateOf(project) == state && !state->waitingMerges.empty()) {
        ProjectBgJob* job = state->waitingMerges.front();
        state->waitingMerges.erase(state->waitingMerges.begin());
        mergeSubTree(job);
    }
    while (stateOf(project) == state && !state->waitingEvents.empty() && state->suspension == 0) {
        ProjectUpdateState::Event event = state->waitingEvents.front();
        state->waitingEvents.erase(state->waitingEvents.begin());
        applyEvent(state, event.first, event.second);
        event.second->release();
    }
    if (stateOf(project) == state && state->finishedPending && state->suspension == 0) {
        state->finishedPending = false;
        project->onUpdateFinished();
    }
}

void ProjectUpdater::onChange(void* self, zem::FileWatchObject* watch, zem::FileChangeEvent* event) {
    try {
        ProjectUpdater* updater = static_cast<ProjectUpdater*>(self);
        ProjectFolder* folder = static_cast<ProjectFolder*>(watch->getUserData());
        ProjectUpdateState* state = folder ? updater->stateOf(folder->getProject()) : nullptr;
        if (!state || folder->getTag(WATCH_TAG) != watch)
            return;
        if (!state->running.empty() || state->suspension > 0) {
            event->addRef();
            state->waitingEvents.emplace_back(watch, event);
            return;
        }
        updater->applyEvent(state, watch, event);
    } catch (const zem::Exception& e) {
        zem::logMessage(zem::LOG_ERROR, Project::LOG_SOURCE, L"ProjectUpdater: %s\n", e.message().c_str());
    } catch (...) {
        zem::logMessage(zem::LOG_ERROR, Project::LOG_SOURCE, L"ProjectUpdater: unknown exception\n");
    }
}

void ProjectUpdater::applyEvent(ProjectUpdateState* state, zem::FileWatchObject* watch, zem::FileChangeEvent* event) {
    Project* project = state->project;
    // A change of the watched folder itself names no entry in it.
    if (event->getPath().empty())
        return;
    if (watch != state->lastWatch) {
        state->basePath = watch->getPath();
        if (!state->basePath.empty() && !zem::isPathSeparator(state->basePath.back()))
            state->basePath += L'\\';
        state->lastWatch = watch;
    }
    std::wstring fullPath = state->basePath + event->getPath();
    const wchar_t* name = fileNamePart(fullPath);
    // The folders that hold the entry: found by the entry's directory, the child by name.
    std::wstring directory(fullPath.c_str(), static_cast<size_t>(name - fullPath.c_str()));
    if (directory.size() > 1 && zem::isPathSeparator(directory.back()))
        directory.pop_back();
    std::vector<ProjectItem*> matches;
    project->findByPath(directory.c_str(), matches);
    std::wstring entryName = name;
    for (ProjectItem* match : matches) {
        if (!match->isRealFolder() || stateOf(project) != state)
            continue;
        ProjectFolder* folder = static_cast<ProjectFolder*>(match);
        ProjectItem* child = folder->findChildByName(entryName.c_str(), true);
        switch (event->getKind()) {
        case zem::FileChangeEvent::ADDED: {
            zem::FileInfo info;
            const zem::FileInfo* known = event->getFileInfo();
            if (!known) {
                if (!zem::fileGetAttributes(fullPath.c_str(), &info))
                    break;
                known = &info;
            }
            if (child || (known->flags & zem::FileInfo::HIDDEN))
                break;
            ProjectItem* item =
                project->createItem(known->isDirectory() ? ProjectItem::KIND_FOLDER : ProjectItem::KIND_FILE, nullptr);
            if (item->isFolder()) {
                item->setPath(fullPath);
            } else {
                item->setName(entryName);
                if (!(known->flags & zem::FileInfo::WRITABLE))
                    item->setFlags(ProjectItem::FLAG_READ_ONLY);
            }
            project->attachItem(item, folder);
            break;
        }
        case zem::FileChangeEvent::REMOVED:
            if (child)
                project->detachItem(child, true);
            break;
        case zem::FileChangeEvent::RENAMED:
            if (child)
                project->renameItem(child, fileNamePart(event->getSecondPath()));
            break;
        case zem::FileChangeEvent::MODIFIED:
            if (child && child->isFolder())
                scanFolder(static_cast<ProjectFolder*>(child), false);
            break;
        }
    }
}

} // namespace corvel
