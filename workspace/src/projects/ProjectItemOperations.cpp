// What the project window asks of the manager: new, renamed, deleted, removed, copied and
// moved items. Real folders and files go through the disk (the file-operation dialogs);
// virtual folders change only the project.
#include "corvel/document/Document.h"
#include "corvel/document/DocumentManager.h"
#include "corvel/fileops/FileOperations.h"
#include "corvel/projects/Project.h"
#include "corvel/projects/ProjectFolder.h"
#include "corvel/projects/ProjectItemNames.h"
#include "corvel/projects/ProjectManager.h"
#include "corvel/projects/ProjectPrompts.h"
#include "corvel/projects/ProjectUpdater.h"
#include "corvel/projects/ProjectVirtualFolder.h"
#include "zem/files/FileIO.h"
#include "zem/files/Path.h"

namespace corvel {

namespace {

bool isOpenRealFolder(const ProjectItem* item) {
    return item && item->isRealFolder() && !item->hasFlag(ProjectItem::FLAG_ERROR);
}

bool pathExists(const std::wstring& path) {
    zem::FileInfo info;
    return zem::fileGetAttributes(path.c_str(), &info);
}

bool isDirectory(const std::wstring& path) {
    zem::FileInfo info;
    return zem::fileGetAttributes(path.c_str(), &info) && info.isDirectory();
}

// directory, a separator when it has none, and name.
std::wstring joinPath(std::wstring directory, const std::wstring& name) {
    if (!directory.empty() && !zem::isPathSeparator(directory.back()))
        directory += L'\\';
    return directory + name;
}

std::wstring directoryOf(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::vector<std::wstring> pathsOf(const std::vector<ProjectItem*>& items) {
    std::vector<std::wstring> paths;
    paths.reserve(items.size());
    for (ProjectItem* item : items)
        paths.push_back(item->getPath());
    return paths;
}

// Saved as a path of its own: a scanned file holds only its name, which would mean
// nothing once it leaves its folder.
void takeFullPath(ProjectItem* item) {
    if (!item->isVirtualFolder())
        item->setPath(item->getPath());
}

} // namespace

bool ProjectManager::beginDiskWork(Project* project) {
    if (m_diskWork)
        return false;
    m_diskWork = true;
    // Merges run while the dialogs process messages; they must not delete the items held here.
    if (project)
        m_updater->suspend(project, true);
    return true;
}

void ProjectManager::endDiskWork(Project* project) {
    if (project)
        m_updater->suspend(project, false);
    m_diskWork = false;
}

ProjectItem* ProjectManager::createItem(ProjectItem* target, int kind, const std::wstring& name) {
    if (!target || !target->getProject())
        return nullptr;
    Project* project = target->getProject();
    auto* folder = static_cast<ProjectFolder*>(target);
    if (target->isVirtualFolder() && kind == ProjectItem::KIND_VIRTUAL_FOLDER) {
        if (!ProjectItemNames::isSafe(name))
            return nullptr;
        ProjectItem* item = project->createItem(kind, name.c_str());
        project->attachItem(item, folder);
        return item;
    }
    if (!isOpenRealFolder(target) || kind == ProjectItem::KIND_VIRTUAL_FOLDER)
        return nullptr;
    if (!ProjectItemNames::isSafe(name))
        return nullptr;
    std::wstring path = joinPath(target->getPath(), name);
    if (kind == ProjectItem::KIND_FILE && pathExists(path)) {
        projectprompts::ask(m_owner, L"Creating a new file...",
                            {{L"File with this name already exists", 0}, {name, 1}, {target->getPath(), 2}},
                            {{L"&OK", projectprompts::RESULT_YES, true, 0}});
        return nullptr;
    }
    if (!beginDiskWork(project))
        return nullptr;
    bool created =
        kind == ProjectItem::KIND_FILE ? fileops::createFile(m_owner, path) : fileops::createDirectory(m_owner, path);
    ProjectItem* item = nullptr;
    if (created) {
        // The watch may have brought the new entry in already.
        item = folder->findChildByName(name.c_str(), true);
        if (!item)
            item = project->addPath(path, folder);
    }
    endDiskWork(project);
    return item;
}

bool ProjectManager::canRename(ProjectItem* item, const std::wstring& newName) const {
    if (!item || !item->getParent() || item->hasFlag(ProjectItem::FLAG_ERROR))
        return false;
    if (!item->isVirtualFolder() && !ProjectItemNames::isSafe(newName))
        return false;
    if (newName.empty())
        return false;
    ProjectItem* sibling = item->getParent()->findChildByName(newName.c_str(), true);
    return !sibling || sibling == item;
}

bool ProjectManager::renameItem(ProjectItem* item, const std::wstring& newName) {
    if (!canRename(item, newName))
        return false;
    ProjectItem* sibling = item->getParent()->findChildByName(newName.c_str(), true);
    if (sibling == item)
        return false; // another case of the same name is still a sibling of that name
    Project* project = item->getProject();
    if (item->isVirtualFolder())
        return project->renameItem(item, newName.c_str());
    std::wstring oldPath = item->getPath();
    std::wstring oldName = item->name();
    if (!beginDiskWork(project))
        return false;
    project->renameItem(item, newName.c_str());
    bool renamed = fileops::rename(m_owner, oldPath, newName);
    if (!renamed)
        project->renameItem(item, oldName.c_str());
    endDiskWork(project);
    if (renamed)
        followPath(oldPath, joinPath(directoryOf(oldPath), newName));
    return renamed;
}

bool ProjectManager::deleteItems(const std::vector<ProjectItem*>& items) {
    if (items.empty())
        return false;
    Project* project = items.front()->getProject();
    if (!beginDiskWork(project))
        return false;
    const bool ran = fileops::removeList(m_owner, pathsOf(items));
    // Cancelled or not, what is gone from the disk leaves the project: a cancel can come
    // after some of the paths were deleted.
    for (ProjectItem* item : items) {
        if (!pathExists(item->getPath()))
            item->getProject()->detachItem(item, true);
    }
    endDiskWork(project);
    return ran;
}

bool ProjectManager::removeItems(const std::vector<ProjectItem*>& items) {
    if (items.empty())
        return false;
    for (ProjectItem* item : items) {
        if (!item->getParent() || !item->getParent()->isVirtualFolder())
            return false;
    }
    for (ProjectItem* item : items)
        item->getProject()->detachItem(item, true);
    return true;
}

bool ProjectManager::copyItems(ProjectItem* target, const std::vector<ProjectItem*>& items) {
    if (!target)
        return false;
    if (isOpenRealFolder(target))
        return copyPathsInto(target, pathsOf(items));
    if (!target->isVirtualFolder())
        return false;
    auto* folder = static_cast<ProjectFolder*>(target);
    for (ProjectItem* item : items) {
        std::wstring path = item->getPath();
        ProjectItem* copy = item->clone(0);
        copy->setFlags(ProjectItem::FLAG_NEW_COPY);
        // A scanned file holds only its name, which means nothing outside its folder.
        if (!copy->isVirtualFolder())
            copy->setPath(path);
        target->getProject()->attachItem(copy, folder);
    }
    return true;
}

bool ProjectManager::moveItems(ProjectItem* target, const std::vector<ProjectItem*>& items) {
    if (!target)
        return false;
    if (isOpenRealFolder(target))
        return movePathsInto(target, pathsOf(items));
    if (!target->isVirtualFolder())
        return false;
    auto* folder = static_cast<ProjectFolder*>(target);
    for (ProjectItem* item : items) {
        // A folder cannot go inside itself.
        for (ProjectItem* up = target; up; up = up->getParent()) {
            if (up == item)
                return false;
        }
    }
    for (ProjectItem* item : items) {
        takeFullPath(item);
        item->getProject()->detachItem(item, false);
        target->getProject()->attachItem(item, folder);
    }
    return true;
}

bool ProjectManager::addPaths(ProjectItem* folder, const std::vector<std::wstring>& paths) {
    if (!folder || !folder->isVirtualFolder())
        return false;
    for (const std::wstring& path : paths)
        folder->getProject()->addPath(path, static_cast<ProjectFolder*>(folder));
    return true;
}

bool ProjectManager::copyPathsInto(ProjectItem* folder, const std::vector<std::wstring>& paths) {
    if (!isOpenRealFolder(folder) || paths.empty())
        return false;
    Project* project = folder->getProject();
    if (!beginDiskWork(project))
        return false;
    bool copied = fileops::copyList(m_owner, paths, folder->getPath());
    endDiskWork(project);
    return copied;
}

bool ProjectManager::movePathsInto(ProjectItem* folder, const std::vector<std::wstring>& paths) {
    if (!isOpenRealFolder(folder) || paths.empty())
        return false;
    Project* project = folder->getProject();
    std::wstring directory = folder->getPath();
    if (!beginDiskWork(project))
        return false;
    bool moved = fileops::moveList(m_owner, paths, directory);
    endDiskWork(project);
    if (!moved)
        return false;
    for (const std::wstring& path : paths) {
        std::wstring newPath = joinPath(directory, zem::getFileName(path.c_str()));
        if (pathExists(newPath))
            followPath(path, newPath);
    }
    return true;
}

void ProjectManager::followPath(const std::wstring& oldPath, const std::wstring& newPath) {
    if (!m_documents)
        return;
    if (!isDirectory(newPath)) {
        if (Document* document = m_documents->findDocumentByPath(oldPath.c_str()))
            m_documents->updateDocumentFilePath(newPath.c_str(), document);
        return;
    }
    std::vector<Document*> documents = m_documents->getDocuments();
    for (Document* document : documents) {
        // The state is read under the document's own lock.
        const DocumentState state = document->getState();
        std::wstring path = state.path.str();
        if (state.untitled || path.empty() || !zem::filePathStartsWith(path.c_str(), oldPath.c_str()))
            continue;
        size_t rest = oldPath.size();
        if (rest < path.size() && zem::isPathSeparator(path[rest]))
            ++rest;
        m_documents->updateDocumentFilePath(joinPath(newPath, path.substr(rest)).c_str(), document);
    }
}

} // namespace corvel
