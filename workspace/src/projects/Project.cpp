#include "corvel/projects/Project.h"

#include "PathKey.h"
#include "corvel/projects/ProjectFolder.h"
#include "corvel/projects/ProjectUpdater.h"
#include "corvel/projects/ProjectVirtualFolder.h"
#include "zem/base/Assert.h"
#include "zem/files/FileIO.h"
#include "zem/log/LogManager.h"
#include "zem/thread/Thread.h"

#include <unordered_map>
#include <unordered_set>

namespace corvel {

Project::Project(ProjectManager* manager, ProjectUpdater* updater) : m_manager(manager), m_updater(updater) {
    zem::LogManager_Impl::instance().registerSource(L"project");
}

Project::~Project() {
    // The updater's record of this project would outlive it otherwise.
    if (m_updater && m_updateState)
        m_updater->stopUpdate(this);
    if (m_root)
        unindexTree(m_root.get());
    m_root.reset();
    m_index.clear();
}

ProjectItem* Project::createItem(int kind, const wchar_t* name) {
    ProjectItem* item = nullptr;
    switch (kind) {
    case ProjectItem::KIND_FILE:
        item = new ProjectItem(this);
        break;
    case ProjectItem::KIND_FOLDER:
        item = new ProjectFolder(this);
        break;
    case ProjectItem::KIND_VIRTUAL_FOLDER:
        item = new ProjectVirtualFolder(this);
        break;
    default:
        return nullptr;
    }
    if (name)
        item->setName(name);
    return item;
}

ProjectItem* Project::addPath(const std::wstring& path, ProjectFolder* folder) {
    zem::checkMainThread();
    zem::FileInfo info;
    if (!folder || !zem::fileGetAttributes(path.c_str(), &info))
        return nullptr;
    ProjectItem* item = createItem(info.isDirectory() ? ProjectItem::KIND_FOLDER : ProjectItem::KIND_FILE, info.name);
    // A file put into a real folder keeps only its name and follows the folder.
    if (item->isFolder() || folder->isVirtualFolder())
        item->setPath(path);
    if (!info.isDirectory() && !(info.flags & zem::FileInfo::WRITABLE))
        item->setFlags(ProjectItem::FLAG_READ_ONLY);
    attachItem(item, folder);
    return item;
}

void Project::attachItem(ProjectItem* item, ProjectFolder* folder) {
    zem::checkMainThread();
    ZEM_ASSERT_MSG(item && folder, L"item && folder");
    if (item->getParent())
        detachItem(item, false);
    folder->appendChild(item);
    indexItem(item, true, false);
    raiseAddedTree(item);
    handToUpdater(item);
    if (item->isVirtualFolder() || folder->isVirtualFolder())
        markModified();
}

void Project::handToUpdater(ProjectItem* item) {
    // What a merge brings in comes from a scan already: a second scan would only repeat it.
    if (m_merging > 0) {
        item->clearFlags(ProjectItem::FLAG_NEW_COPY);
        return;
    }
    if (item->hasFlag(ProjectItem::FLAG_NEW_COPY)) {
        std::vector<ProjectFolder*> folders;
        collectRealFolders(item, folders);
        if (m_updater) {
            for (ProjectFolder* folder : folders)
                m_updater->scanFolder(folder, folder->parentIsVirtual());
        }
        item->clearFlags(ProjectItem::FLAG_NEW_COPY);
        return;
    }
    if (m_updater && item->isRealFolder())
        m_updater->scanFolder(static_cast<ProjectFolder*>(item), item->parentIsVirtual());
}

void Project::detachItem(ProjectItem* item, bool deleteIt) {
    zem::checkMainThread();
    ZEM_ASSERT_MSG(item, L"item");
    bool virtualInvolved = false;
    if (item->hasFlag(ProjectItem::FLAG_INDEXED)) {
        raiseRemovingTree(item);
        unindexTree(item);
        if (item->isFolder() && m_updater)
            m_updater->forgetFolder(static_cast<ProjectFolder*>(item));
        virtualInvolved = item->isVirtualFolder() || item->parentIsVirtual();
    }
    if (ProjectFolder* parent = item->getParent())
        parent->takeChild(item);
    if (deleteIt)
        delete item;
    if (virtualInvolved)
        markModified();
}

bool Project::renameItem(ProjectItem* item, const wchar_t* newName) {
    zem::checkMainThread();
    if (!item || !newName || item->name() == newName)
        return false;
    item->setName(newName);
    if (!item->hasFlag(ProjectItem::FLAG_INDEXED))
        return true;
    indexItem(item, false, true);
    m_itemNameChanged.invoke(item);
    if (item->isVirtualFolder() || item->parentIsVirtual())
        markModified();
    return true;
}

void Project::indexItem(ProjectItem* item, bool add, bool force) {
    // Detaching clears the keys of a subtree, and one attached again, perhaps under another
    // folder, must be found under its paths: an item entering the index without a key gets
    // one. Scanned items arrive with keys made on the worker and keep them.
    const bool enteringWithoutKey = add && !item->hasFlag(ProjectItem::FLAG_INDEXED) && item->m_key == 0;
    bool recomputed = force || enteringWithoutKey || item->hasFlag(ProjectItem::FLAG_KEY_STALE);
    uint32_t key = recomputed ? pathKeyOf(item->getPath().c_str()) : item->m_key;
    if (!item->hasFlag(ProjectItem::FLAG_INDEXED)) {
        if (add) {
            item->setFlags(ProjectItem::FLAG_INDEXED);
            m_index.emplace(key, item);
        }
        if (key != item->m_key || recomputed) {
            item->clearFlags(ProjectItem::FLAG_KEY_STALE);
            item->m_key = key;
        }
    } else if (key != item->m_key) {
        auto range = m_index.equal_range(item->m_key);
        for (auto it = range.first; it != range.second; ++it) {
            if (it->second == item) {
                m_index.erase(it);
                break;
            }
        }
        m_index.emplace(key, item);
        item->clearFlags(ProjectItem::FLAG_KEY_STALE);
        item->m_key = key;
    } else {
        item->clearFlags(ProjectItem::FLAG_KEY_STALE);
    }
    if (!item->isFolder())
        return;
    ProjectFolder* folder = static_cast<ProjectFolder*>(item);
    for (size_t i = 0; i < folder->childCount(); ++i)
        indexItem(folder->childAt(i), add, recomputed);
}

void Project::unindexTree(ProjectItem* item) {
    if (item->hasFlag(ProjectItem::FLAG_INDEXED)) {
        auto range = m_index.equal_range(item->m_key);
        for (auto it = range.first; it != range.second; ++it) {
            if (it->second == item) {
                m_index.erase(it);
                break;
            }
        }
    }
    item->m_key = 0;
    item->clearFlags(ProjectItem::FLAG_KEY_STALE | ProjectItem::FLAG_INDEXED);
    if (!item->isFolder())
        return;
    ProjectFolder* folder = static_cast<ProjectFolder*>(item);
    for (size_t i = 0; i < folder->childCount(); ++i)
        unindexTree(folder->childAt(i));
}

bool Project::isInIndex(const ProjectItem* item) const {
    for (const auto& entry : m_index) {
        if (entry.second == item)
            return true;
    }
    return false;
}

void Project::raiseAddedTree(ProjectItem* item) {
    m_itemAdded.invoke(item);
    if (!item->isFolder())
        return;
    ProjectFolder* folder = static_cast<ProjectFolder*>(item);
    for (size_t i = 0; i < folder->childCount(); ++i)
        raiseAddedTree(folder->childAt(i));
}

void Project::raiseRemovingTree(ProjectItem* item) {
    if (item->isFolder()) {
        ProjectFolder* folder = static_cast<ProjectFolder*>(item);
        for (size_t i = 0; i < folder->childCount(); ++i)
            raiseRemovingTree(folder->childAt(i));
    }
    m_itemRemoving.invoke(item);
}

void Project::setRoot(ProjectVirtualFolder* root) {
    zem::checkMainThread();
    if (m_root) {
        unindexTree(m_root.get());
        if (m_updater)
            m_updater->forgetFolder(m_root.get());
    }
    m_root.reset();
    m_index.clear();
    m_root.reset(root);
    if (root)
        indexItem(root, true, false);
}

bool Project::findByPath(const wchar_t* path, std::vector<ProjectItem*>& out) {
    zem::checkMainThread();
    uint32_t key = path ? pathKeyOf(path) : 0xFFFFFFFFu;
    if (key == 0xFFFFFFFFu)
        return false;
    out.clear();
    auto range = m_index.equal_range(key);
    for (auto it = range.first; it != range.second; ++it) {
        if (zem::filePathsEqual(it->second->getPath().c_str(), path))
            out.push_back(it->second);
    }
    return !out.empty();
}

void Project::collectRealFolders(ProjectItem* item, std::vector<ProjectFolder*>& out) {
    if (!item)
        return;
    if (item->isRealFolder()) {
        if (item->parentIsVirtual())
            out.push_back(static_cast<ProjectFolder*>(item));
        return;
    }
    if (!item->isVirtualFolder())
        return;
    ProjectFolder* folder = static_cast<ProjectFolder*>(item);
    for (size_t i = 0; i < folder->childCount(); ++i) {
        ProjectItem* child = folder->childAt(i);
        if (child->isFolder())
            collectRealFolders(child, out);
    }
}

namespace {

void copyErrorState(ProjectItem* target, const ProjectItem* source) {
    if (const zem::ErrorObject* error = source->getError())
        target->setError(*error);
    else
        target->clearError();
}

} // namespace

void Project::mergeSubTree(ProjectFolder* existing, ProjectFolder* scanned) {
    zem::checkMainThread();
    ++m_merging;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{m_merging};
    // Large folders (tens of thousands of entries) make a linear search per child too slow.
    std::unordered_map<uint32_t, ProjectItem*> scannedByKey;
    scannedByKey.reserve(scanned->childCount());
    for (size_t i = 0; i < scanned->childCount(); ++i)
        scannedByKey.emplace(scanned->childAt(i)->getKey(), scanned->childAt(i));

    for (size_t i = 0; i < existing->childCount();) {
        ProjectItem* child = existing->childAt(i);
        if (child->hasFlag(ProjectItem::FLAG_MERGE_MARK)) {
            child->clearFlags(ProjectItem::FLAG_MERGE_MARK);
            ++i;
            continue;
        }
        auto found = scannedByKey.find(child->getKey());
        if (found == scannedByKey.end()) {
            detachItem(child, true); // gone from disk
            continue;
        }
        ProjectItem* fresh = found->second;
        if (fresh->isFolder() != child->isFolder()) {
            detachItem(child, true);
            scannedByKey.erase(found);
            scanned->takeChild(fresh);
            fresh->setFlags(ProjectItem::FLAG_MERGE_MARK);
            attachItem(fresh, existing);
            continue;
        }
        copyErrorState(child, fresh);
        if (child->isFolder())
            mergeSubTree(static_cast<ProjectFolder*>(child), static_cast<ProjectFolder*>(fresh));
        ++i;
    }

    std::unordered_set<uint32_t> existingKeys;
    existingKeys.reserve(existing->childCount());
    for (size_t i = 0; i < existing->childCount(); ++i)
        existingKeys.insert(existing->childAt(i)->getKey());
    for (size_t i = 0; i < scanned->childCount();) {
        ProjectItem* fresh = scanned->childAt(i);
        if (existingKeys.count(fresh->getKey())) {
            ++i;
            continue;
        }
        scanned->takeChild(fresh);
        existingKeys.insert(fresh->getKey());
        attachItem(fresh, existing);
    }
}

void Project::onUpdateStarted() {
    zem::logMessage(zem::LOG_INFO, LOG_SOURCE, L"Project \"%s\": update started\n", getTitle().c_str());
    m_updateStarted.invoke(this);
}

void Project::onUpdateFinished() {
    zem::logMessage(zem::LOG_INFO, LOG_SOURCE, L"Project \"%s\": update finished\n", getTitle().c_str());
    m_updateFinished.invoke(this);
}

std::wstring Project::getTitle() const {
    return m_root ? m_root->name() : std::wstring();
}

void Project::setTitle(const std::wstring& title) {
    if (m_root)
        m_root->setName(title);
}

void Project::setModified(bool modified) {
    m_modified = modified;
    m_projectModified.invoke(this);
}

void Project::markModified() {
    setModified(true);
}

} // namespace corvel
