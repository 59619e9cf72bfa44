// Files dropped on the document tabs or an editor, tabs dragged out as files, and the
// documents' place in the active project: quick open's candidates and "Show in Project".
#include "corvel/workspace/FileManager.h"

#include "corvel/document/DocumentController.h"
#include "corvel/document/ScopePath.h"
#include "corvel/editor/Editor.h"
#include "corvel/projects/Project.h"
#include "corvel/projects/ProjectFolder.h"
#include "corvel/projects/ProjectInfo.h"
#include "corvel/projects/ProjectItem.h"
#include "corvel/projects/ProjectManager.h"
#include "corvel/projects/ProjectVirtualFolder.h"
#include "corvel/widgets/afActionEvent.h"
#include "corvel/widgets/afActionMenuItem.h"
#include "corvel/widgets/afDataObjectComposite.h"
#include "corvel/widgets/afDataObjectFiles.h"
#include "corvel/widgets/afDock.h"
#include "corvel/widgets/afDockSlot.h"
#include "corvel/widgets/afDropAction.h"
#include "corvel/widgets/afMenu.h"
#include "zem/base/Exception.h"
#include "zem/files/FileIO.h"
#include "zem/log/LogManager.h"

#include <unordered_set>

namespace corvel {

namespace {

constexpr wchar_t TAB_DOCUMENT[] = L"_.tab.document";
constexpr wchar_t SHOW_IN_PROJECT[] = L"file.show.in_project";

DocumentController* documentOf(const afDockSlot* slot) {
    return slot && slot->getController() && slot->getController()->getControllerId() == FileManager::CONTROLLER_ID
               ? static_cast<DocumentController*>(slot->getData())
               : nullptr;
}

// "Show in &Project" for one document: the action runs with that document as the tab's.
class ShowInProjectItem : public afActionMenuItem {
public:
    explicit ShowInProjectItem(DocumentController* controller)
        : afActionMenuItem(L"Show in &Project", SHOW_IN_PROJECT), m_controller(controller) {}
    void activate(void*) override {
        ScopePath context;
        context.push(TAB_DOCUMENT, m_controller);
        execute(&context);
    }

private:
    DocumentController* m_controller;
};

// Every file of the tree under item, in tree order.
void collectFiles(const ProjectItem* item, std::vector<std::wstring>& out) {
    if (!item)
        return;
    if (!item->isFolder()) {
        out.push_back(item->getPath());
        return;
    }
    auto* folder = static_cast<const ProjectFolder*>(item);
    for (size_t i = 0; i < folder->childCount(); ++i)
        collectFiles(folder->childAt(i), out);
}

Project* activeProject(ProjectManager* projects) {
    ProjectInfo* info = projects ? projects->getActiveProject() : nullptr;
    return info ? info->getProject() : nullptr;
}

} // namespace

// --- Drops ---------------------------------------------------------------------------------

void FileManager::openDropped(const std::vector<std::wstring>& paths, afDock* dock, int position) {
    DocumentController* last = nullptr;
    for (const std::wstring& path : paths) {
        OpenResult result = open(path.c_str(), dock, position);
        if (!result.second) {
            reportFailure(L"Unable to open file", path, result.first.get());
            continue;
        }
        last = result.second;
        if (position >= 0)
            position = m_lastSlotIndex + 1;
    }
    if (last)
        activateTab(last);
}

int FileManager::onDockFileDrop(void* self, afDock* dock, afDataObject* data, int position, afEvent*, int allowed,
                                int last) {
    auto* files = static_cast<afDataObjectFiles*>(data);
    std::vector<std::wstring> paths = files->getPaths();
    // Emptied at once: the next drop of another kind must not find these paths.
    files->setPaths({});
    if (paths.empty())
        return last;
    try {
        static_cast<FileManager*>(self)->openDropped(paths, dock, position);
    } catch (const zem::Exception& e) {
        zem::logMessage(zem::LOG_ERROR, CONTROLLER_ID, L"FileManager: drop: %s\n", e.message().c_str());
    } catch (...) {
        zem::logMessage(zem::LOG_ERROR, CONTROLLER_ID, L"FileManager: drop: unknown exception\n");
    }
    return (allowed & afDropAction::COPY) ? afDropAction::COPY : last;
}

void FileManager::onEditorFileDrop(void* self, Editor*, const std::vector<std::wstring>& paths) {
    static_cast<FileManager*>(self)->openDropped(paths, nullptr, -1);
}

int FileManager::getSlotDragData(afDockSlot* slot, afDataObjectComposite* data) {
    DocumentController* controller = documentOf(slot);
    if (controller && data && !controller->getFilePath().empty()) {
        auto* files = new afDataObjectFiles();
        files->setPaths({controller->getFilePath()});
        data->addPart(files, false);
    }
    return afDockSlotController::getSlotDragData(slot, data);
}

// --- Projects ------------------------------------------------------------------------------

void FileManager::getSlotScope(afDockSlot* slot, ScopePath& path) {
    if (DocumentController* controller = documentOf(slot))
        path.push(TAB_DOCUMENT, controller);
}

std::vector<std::wstring> FileManager::quickOpenCandidates() const {
    std::vector<std::wstring> paths;
    if (Project* project = activeProject(m_projects))
        collectFiles(project->getRoot(), paths);
    for (auto it = m_recent.rbegin(); it != m_recent.rend(); ++it)
        paths.push_back(it->filePath);
    for (auto it = m_open.rbegin(); it != m_open.rend(); ++it) {
        if (!(*it)->getFilePath().empty())
            paths.push_back((*it)->getFilePath());
    }
    std::unordered_set<uint32_t> seen;
    std::vector<std::wstring> unique;
    for (std::wstring& path : paths) {
        if (seen.insert(zem::fileGetPathHash(path.c_str(), nullptr)).second)
            unique.push_back(std::move(path));
    }
    return unique;
}

bool FileManager::isInActiveProject(DocumentController* controller) const {
    Project* project = activeProject(m_projects);
    if (!project || !controller || controller->getFilePath().empty())
        return false;
    std::vector<ProjectItem*> items;
    return project->findByPath(controller->getFilePath().c_str(), items);
}

bool FileManager::showInProject(DocumentController* controller) {
    if (!isInActiveProject(controller))
        return false;
    m_projects->revealActiveProject();
    return m_projects->showPathInActiveProject(controller->getFilePath());
}

void FileManager::addShowInProject(DocumentController* controller, afMenu* menu) {
    if (!menu || !isInActiveProject(controller))
        return;
    menu->addSeparator();
    menu->addItem(new ShowInProjectItem(controller));
}

void FileManager::fillSlotMenu(afDockSlot* slot, afMenu* menu) {
    addShowInProject(documentOf(slot), menu);
}

void FileManager::onEditorMenu(void* self, Editor* editor, afMenu* menu) {
    auto* manager = static_cast<FileManager*>(self);
    for (DocumentController* controller : manager->m_open) {
        if (controller->getEditor() == editor) {
            manager->addShowInProject(controller, menu);
            return;
        }
    }
}

DocumentController* FileManager::actionDocument(afActionEvent* event) const {
    if (event && event->context) {
        if (const ScopeAtom* atom = event->context->find(TAB_DOCUMENT)) {
            if (auto* controller = dynamic_cast<DocumentController*>(atom->object))
                return controller;
        }
    }
    return m_active;
}

bool FileManager::onShowInProject(afActionEvent* event) {
    showInProject(actionDocument(event));
    return true;
}

} // namespace corvel
