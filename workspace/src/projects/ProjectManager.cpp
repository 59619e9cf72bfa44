#include "corvel/projects/ProjectManager.h"

#include "corvel/app/MainWindow.h"
#include "corvel/config/Config.h"
#include "corvel/config/ConfigManager.h"
#include "corvel/config/ConfigValue.h"
#include "corvel/jasmine/JasmineValue.h"
#include "corvel/projects/Project.h"
#include "corvel/projects/ProjectInfo.h"
#include "corvel/projects/ProjectUpdater.h"
#include "corvel/projects/ProjectVirtualFolder.h"
#include "corvel/projects/ProjectWindow.h"
#include "corvel/ui/afViewPlatform.h"
#include "corvel/widgets/afDock.h"
#include "corvel/widgets/afDockSlot.h"
#include "zem/files/FileIO.h"
#include "zem/thread/MessageRegistry.h"
#include "zem/thread/Thread.h"

#include <algorithm>

namespace corvel {

namespace {

const wchar_t PROJECTS_KEY[] = L"app.projects";

std::wstring stringEntry(const JasmineValue& dictionary, const wchar_t* key) {
    const JasmineValue& value = dictionary.find(key);
    if (value.getType() != JasmineValue::TYPE_STRING)
        return std::wstring();
    return value.asString(L"");
}

} // namespace

ProjectManager::ProjectManager(ConfigManager* config, afActionRegistry* registry)
    : afActionHandler(L"ProjectManager", registry), afDockSlotController(CONTROLLER_ID), m_config(config),
      m_updater(new ProjectUpdater(this)) {
    if (zem::MessageRegistry::instance())
        m_updater->init();
    if (m_config) {
        m_config->settingsLoaded.add(&ProjectManager::onSettingsLoaded, this);
        m_config->settingsStore.add(&ProjectManager::onSettingsStore, this);
        m_config->closing.add(&ProjectManager::onClosing, this);
    }
    activate();
}

ProjectManager::~ProjectManager() {
    if (m_config) {
        m_config->settingsLoaded.remove(&ProjectManager::onSettingsLoaded, this);
        m_config->settingsStore.remove(&ProjectManager::onSettingsStore, this);
        m_config->closing.remove(&ProjectManager::onClosing, this);
    }
    // The updater holds records of the open projects: it goes before they do.
    m_updater.reset();
    m_active = nullptr;
    for (ProjectInfo* info : m_projects) {
        if (ProjectWindow* window = info->getWindow()) {
            window->setProject(nullptr);
            window->releaseManager();
        }
        delete info;
    }
    m_projects.clear();
}

void ProjectManager::onSettingsLoaded(void* self, Config* config) {
    static_cast<ProjectManager*>(self)->start(config);
}

void ProjectManager::onSettingsStore(void* self, Config* config) {
    static_cast<ProjectManager*>(self)->storeSettings(config);
}

void ProjectManager::onClosing(void* self) {
    static_cast<ProjectManager*>(self)->saveOpenProjects();
}

void ProjectManager::start(Config* config) {
    if (m_started)
        return;
    m_started = true;
    if (config)
        readProjects(config);
    if (m_dock) {
        std::pair<int, afDockSlot*> added = m_dock->addSlot(this, nullptr, ALL_PROJECTS_SLOT);
        m_dock->setActiveSlot(added.second);
    }
    registerActions();
}

void ProjectManager::readProjects(Config* config) {
    ConfigValue* value = config->getValue(PROJECTS_KEY);
    if (!value)
        return;
    JasmineValue list;
    value->toJasmine(list);
    if (!list.isList())
        return;
    const JasmineValue* first = nullptr;
    const JasmineValue* last = nullptr;
    list.listRange(first, last);
    for (const JasmineValue* entry = first; entry != last; ++entry) {
        if (!entry->isDictionary())
            continue;
        std::wstring path = stringEntry(*entry, L"path");
        if (path.empty())
            continue;
        ProjectInfo* info = ProjectInfo::fromFile(this, path);
        if (!info)
            continue;
        const JasmineValue& state = entry->find(L"state");
        if (state.isDictionary()) {
            std::unique_ptr<ProjectTreeState> tree(new ProjectTreeState());
            tree->readFrom(state);
            info->setTreeState(std::move(tree));
        }
        info->setStarred(entry->find(L"starred").asBool(false));
    }
}

void ProjectManager::storeSettings(Config* config) {
    if (!config)
        return;
    ConfigValue* value = config->getValue(PROJECTS_KEY);
    if (!value)
        value = config->declareValue(PROJECTS_KEY, ConfigValue::TYPE_LIST);
    if (!value)
        return;
    JasmineValue list(JasmineValue::TYPE_LIST);
    for (ProjectInfo* info : m_projects) {
        JasmineValue& entry = list.appendElement();
        // A project never saved has no file to find it by: readers skip the empty entry.
        if (info->getFilePath().empty())
            continue;
        entry.initPayload(JasmineValue::TYPE_DICTIONARY);
        entry.getOrAddEntry(L"path").setString(info->getFilePath());
        entry.getOrAddEntry(L"title").setString(info->getTitle());
        entry.getOrAddEntry(L"starred").setBool(info->isStarred());
        if (ProjectTreeState* state = info->getTreeState())
            state->writeTo(entry.getOrAddEntry(L"state"));
    }
    ConfigValue stored;
    stored.fromJasmineValue(list);
    value->assign(stored);
}

void ProjectManager::saveOpenProjects() {
    for (ProjectInfo* info : m_projects) {
        Project* project = info->getProject();
        if (!project)
            continue;
        storeTreeState(info);
        saveProject(info);
        m_updater->stopUpdate(project);
        // The dock layout is stored by now; the windows let go while the status strip,
        // which may hold their update notes, still exists.
        detachWindow(info);
    }
}

ProjectInfo* ProjectManager::findByFile(const std::wstring& path) const {
    if (path.empty())
        return nullptr;
    for (ProjectInfo* info : m_projects) {
        if (!info->getFilePath().empty() && zem::filePathsEqual(info->getFilePath().c_str(), path.c_str()))
            return info;
    }
    return nullptr;
}

ProjectInfo* ProjectManager::infoOf(Project* project) const {
    for (ProjectInfo* info : m_projects) {
        if (info->getProject() == project)
            return info;
    }
    return nullptr;
}

void ProjectManager::appendProject(ProjectInfo* info) {
    m_projects.push_back(info);
    listChanged.invoke();
}

ProjectInfo* ProjectManager::addNewProject(const std::wstring& title) {
    if (title.empty())
        return nullptr;
    auto* info = new ProjectInfo();
    info->setTitle(title);
    appendProject(info);
    return info;
}

ProjectInfo* ProjectManager::createProjectWithPaths(const std::wstring& title, const std::vector<std::wstring>& paths) {
    ProjectInfo* info = addNewProject(title);
    if (!info)
        return nullptr;
    auto* project = new Project(this, m_updater.get());
    auto* root = new ProjectVirtualFolder(project);
    root->setName(title);
    project->setRoot(root);
    info->setProject(project);
    for (const std::wstring& path : paths)
        project->addPath(path, root);
    return info;
}

bool ProjectManager::saveProject(ProjectInfo* info) {
    Project* project = info ? info->getProject() : nullptr;
    if (!project)
        return false;
    if (!info->getFilePath().empty())
        return project->save(info->getFilePath().c_str());
    std::wstring path;
    if (!Project::createDefaultFile(info->getTitle(), path))
        return false;
    if (!project->save(path.c_str()))
        return false;
    info->setFilePath(project->getFilePath().empty() ? path : project->getFilePath());
    return true;
}

void ProjectManager::onProjectModified(void* self, Project* project) {
    // Saving clears the flag, which is told too: only a change is saved.
    if (!project->isModified())
        return;
    auto* me = static_cast<ProjectManager*>(self);
    if (ProjectInfo* info = me->infoOf(project))
        me->saveProject(info);
}

bool ProjectManager::openProject(ProjectInfo* info) {
    Project* project = info->getProject();
    if (!project) {
        project = new Project(this, m_updater.get());
        info->setProject(project);
        if (!info->getFilePath().empty()) {
            // A file that no longer loads leaves the project open without a root: it shows
            // empty and never saves over the file.
            project->load(info->getFilePath().c_str());
        } else {
            auto* root = new ProjectVirtualFolder(project);
            root->setName(info->getTitle());
            project->setRoot(root);
        }
    }
    if (!info->getSlot())
        addProjectSlot(info);
    attachWindow(info);
    fillTabButton(info->getSlot());
    if (!project->isUpToDate() && project->getRoot() && m_updater->getScheduler())
        m_updater->startUpdate(project);
    project->projectModified().add(&ProjectManager::onProjectModified, this);
    return true;
}

bool ProjectManager::closeProject(ProjectInfo* info) {
    if (Project* project = info->getProject()) {
        storeTreeState(info);
        project->projectModified().remove(&ProjectManager::onProjectModified, this);
        m_updater->stopUpdate(project);
        saveProject(info);
        project->setUpToDate(false);
    }
    detachWindow(info);
    if (afDockSlot* slot = info->getSlot()) {
        // The tab shows the closed project and no alert of the open one.
        fillTabButton(slot);
        if (afDock* dock = slot->getDock())
            dock->onSlotStateChanged(slot, static_cast<int>(CLOSED_STATE));
    }
    return true;
}

bool ProjectManager::setActiveProject(ProjectInfo* info) {
    if (info == m_active)
        return true;
    if (m_active && !closeProject(m_active))
        return false;
    ProjectInfo* previous = m_active;
    m_active = info;
    // A tab that stayed only because its project was active goes with it.
    if (previous && !previous->isStarred() && previous->getSlot() && m_dock)
        m_dock->removeSlot(previous->getSlot());
    if (!info)
        return true;
    return openProject(info);
}

void ProjectManager::showProject(ProjectInfo* info) {
    if (!info)
        return;
    afDockSlot* slot = info->getSlot();
    if (!slot)
        slot = addProjectSlot(info);
    if (slot && m_dock) {
        m_dock->setActiveSlot(slot);
        return;
    }
    // Without tabs, showing a project is making it active.
    setActiveProject(info);
}

afDockSlot* ProjectManager::addProjectSlot(ProjectInfo* info) {
    if (!m_dock)
        return nullptr;
    afDockSlot* slot = m_dock->addSlot(this, info, PROJECT_SLOT).second;
    info->setSlot(slot);
    return slot;
}

void ProjectManager::setStarred(ProjectInfo* info, bool starred) {
    if (!info || info->isStarred() == starred)
        return;
    info->setStarred(starred);
    fillTabButton(info->getSlot());
    starredChanged.invoke(info);
    if (starred && !info->getSlot()) {
        showProject(info);
        return;
    }
    if (!starred && info != m_active && info->getSlot() && m_dock)
        m_dock->removeSlot(info->getSlot());
}

bool ProjectManager::renameProject(ProjectInfo* info, const std::wstring& title) {
    if (!info || title.empty() || title == info->getTitle())
        return false;
    Project* project = info->getProject();
    if (project && project->getRoot())
        project->setTitle(title);
    info->setTitle(title);
    if (afDockSlot* slot = info->getSlot()) {
        if (auto* view = dynamic_cast<afViewPlatform*>(slot->getView()))
            view->setText(title.c_str());
        fillTabButton(slot);
    }
    titleChanged.invoke(info);
    // A project that is not open would lose the new title: its file gets it now.
    if (info != m_active && !info->getFilePath().empty()) {
        if (!project) {
            project = new Project(this, m_updater.get());
            info->setProject(project);
            if (!project->load(info->getFilePath().c_str()))
                return true;
            project->setTitle(title);
        }
        project->save(info->getFilePath().c_str());
    }
    return true;
}

void ProjectManager::removeProject(ProjectInfo* info) {
    auto found = std::find(m_projects.begin(), m_projects.end(), info);
    if (found == m_projects.end())
        return;
    if (info == m_active) {
        if (Project* project = info->getProject()) {
            project->projectModified().remove(&ProjectManager::onProjectModified, this);
            m_updater->stopUpdate(project);
        }
        detachWindow(info);
        m_active = nullptr;
    }
    if (afDockSlot* slot = info->getSlot()) {
        info->setSlot(nullptr);
        slot->setData(nullptr);
        if (m_dock)
            m_dock->removeSlot(slot);
    }
    if (Project* project = info->getProject())
        m_updater->stopUpdate(project);
    m_projects.erase(std::find(m_projects.begin(), m_projects.end(), info));
    listChanged.invoke();
    delete info;
}

bool ProjectManager::showPathInActiveProject(const std::wstring& path) {
    if (!m_active || !m_active->getProject())
        return false;
    return showPathIn(m_active, path);
}

ProjectInfo* ProjectManager::openProjectFile(const std::wstring& path) {
    zem::WorkString full;
    ProjectInfo* info = zem::fileGetFullPath(path.c_str(), full) ? findByFile(full.str()) : nullptr;
    if (!info)
        info = ProjectInfo::fromFile(this, path);
    if (!info)
        return nullptr;
    showProject(info);
    revealActiveProject();
    return info;
}

void ProjectManager::revealActiveProject() {
    if (!m_active || !m_active->getSlot() || !m_dock)
        return;
    if (auto* main = dynamic_cast<MainWindow*>(m_owner))
        main->setSidebarVisible(true);
    m_dock->requestFocus();
    m_dock->setActiveSlot(m_active->getSlot());
}

// --- dock slots ---

bool ProjectManager::storeSlot(afDockSlot* slot, JasmineValue& value) {
    if (slot->getId() != PROJECT_SLOT)
        return false;
    auto* info = static_cast<ProjectInfo*>(slot->getData());
    if (!info)
        return false;
    saveProject(info);
    if (info->getFilePath().empty())
        return false;
    // The entry already holds the dock manager's mark of this controller: remaking it
    // lost the mark, and with it the tab at the next start.
    if (!value.isDictionary())
        value.initPayload(JasmineValue::TYPE_DICTIONARY);
    value.getOrAddEntry(L"path").setString(info->getFilePath());
    value.getOrAddEntry(L"active").setBool(info == m_active);
    return true;
}

bool ProjectManager::restoreSlot(const JasmineValue& value, afDock* dock, int position) {
    std::wstring path = stringEntry(value, L"path");
    if (path.empty())
        return false;
    for (ProjectInfo* info : m_projects) {
        if (info->getFilePath() != path)
            continue;
        if (!info->getSlot()) {
            afDockSlot* slot = dock->addSlot(this, info, PROJECT_SLOT, position).second;
            info->setSlot(slot);
        }
        if (!m_active && value.find(L"active").asBool(false))
            showProject(info);
        break;
    }
    return true;
}

void ProjectManager::onSlotRemoved(afDockSlot* slot, bool) {
    if (slot->getId() != PROJECT_SLOT)
        return;
    auto* info = static_cast<ProjectInfo*>(slot->getData());
    if (!info || info->getSlot() != slot)
        return;
    if (info->isStarred()) {
        info->setStarred(false);
        starredChanged.invoke(info);
    }
    if (info == m_active) {
        closeProject(info);
        m_active = nullptr;
    }
    info->setSlot(nullptr);
}

void ProjectManager::onSlotActivated(afDockSlot* slot) {
    if (slot->getId() != PROJECT_SLOT)
        return;
    if (auto* info = static_cast<ProjectInfo*>(slot->getData()))
        setActiveProject(info);
}

} // namespace corvel
