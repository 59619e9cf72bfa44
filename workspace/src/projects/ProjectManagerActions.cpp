// The project commands of the main window and the project list.
#include "corvel/document/ScopePath.h"
#include "corvel/projects/Project.h"
#include "corvel/projects/ProjectInfo.h"
#include "corvel/projects/ProjectItemNames.h"
#include "corvel/projects/ProjectManager.h"
#include "corvel/projects/ProjectPrompts.h"
#include "corvel/widgets/afActionEvent.h"
#include "corvel/widgets/afActionTable.h"
#include "corvel/widgets/afDialogFileBase.h"
#include "corvel/widgets/afDialogFileOptions.h"

#include <memory>

namespace corvel {

namespace {

const wchar_t PROJECT_TITLE_PROMPT[] = L"Enter project title:";
constexpr uint32_t RESULT_REMOVE = projectprompts::RESULT_YES;
constexpr uint32_t RESULT_DONT_REMOVE = projectprompts::RESULT_NO;

void addProjectFilter(afDialogFileOptions& options) {
    options.preselectedType = options.fileTypes.add(L"Corvel Project", {L"cvProject"});
}

// The dialog's window: an owned one when there is an owner, an ownerless one otherwise.
template <class T> uint32_t runFileDialog(afView* owner, afDialogFileOptions& options) {
    std::unique_ptr<T> dialog(new T(owner));
    return dialog->show(options);
}

} // namespace

void ProjectManager::registerActions() {
    const afActionTableRow rows[] = {
        {L"project.new.default", L"New Project", L"ui.window.main", nullptr, nullptr, &ProjectManager::onNewProject},
        {L"project.open.default", L"Open Project", L"ui.window.main", nullptr, nullptr, &ProjectManager::onOpenProject},
        {L"project.close", L"Close Active Project", L"ui.window.main", nullptr, nullptr,
         &ProjectManager::onCloseProject},
        {L"project.save.default", L"Save Active Project", L"ui.window.main", nullptr, nullptr,
         &ProjectManager::onSaveProject},
        {L"project.save.select", L"Save Active Project As", L"ui.window.main", nullptr, nullptr,
         &ProjectManager::onSaveProjectAs},
        {L"project.rename", L"Rename Project", L"ui.window.main ui.data.project", nullptr, nullptr,
         &ProjectManager::onRenameProject},
        {L"project.star", L"Star Project", L"ui.window.main ui.data.project", nullptr, nullptr,
         &ProjectManager::onStarProject},
        {L"project.unstar", L"Unstar Project", L"ui.window.main ui.data.project", nullptr, nullptr,
         &ProjectManager::onUnstarProject},
        {L"project.remove", L"Remove Project", L"ui.window.main ui.data.project", nullptr, nullptr,
         &ProjectManager::onRemoveProject},
        {L"project.update", L"Update Project", L"ui.window.main app.project", L"Ctrl+R", L"F5",
         &ProjectManager::onUpdateProject},
    };
    registerActionTable(*this, rows);
}

ProjectInfo* ProjectManager::eventProject(afActionEvent* event) const {
    if (!event || !event->context)
        return nullptr;
    const ScopeAtom* atom = event->context->find(L"ui.data.project");
    if (!atom || !atom->object)
        return nullptr;
    auto* info = dynamic_cast<ProjectInfo*>(atom->object);
    for (ProjectInfo* known : m_projects) {
        if (known == info)
            return info;
    }
    return nullptr;
}

bool ProjectManager::onNewProject(afActionEvent*) {
    std::wstring title = L"Untitled project";
    if (!projectprompts::askString(m_owner, L"New project", PROJECT_TITLE_PROMPT, title,
                                   ProjectItemNames::EMPTY_TITLE_MESSAGE))
        return true;
    if (ProjectInfo* info = addNewProject(title)) {
        showProject(info);
        revealActiveProject();
    }
    return true;
}

bool ProjectManager::onOpenProject(afActionEvent*) {
    afDialogFileOptions options;
    addProjectFilter(options);
    if (runFileDialog<afDialogFileOpen>(m_owner, options) != projectprompts::RESULT_YES ||
        options.selectedPaths.empty())
        return true;
    if (ProjectInfo* info = ProjectInfo::fromFile(this, options.selectedPaths.front())) {
        showProject(info);
        revealActiveProject();
    }
    return true;
}

bool ProjectManager::onCloseProject(afActionEvent*) {
    return true;
}

bool ProjectManager::onSaveProject(afActionEvent*) {
    if (m_active)
        saveProject(m_active);
    return true;
}

bool ProjectManager::onSaveProjectAs(afActionEvent*) {
    if (!m_active || !m_active->getProject())
        return true;
    afDialogFileOptions options;
    addProjectFilter(options);
    options.mustExist = false;
    options.overwritePrompt = true;
    if (runFileDialog<afDialogFileSave>(m_owner, options) != projectprompts::RESULT_YES ||
        options.selectedPaths.empty())
        return true;
    const std::wstring& path = options.selectedPaths.front();
    Project* project = m_active->getProject();
    if (project->save(path.c_str()))
        m_active->setFilePath(project->getFilePath().empty() ? path : project->getFilePath());
    return true;
}

bool ProjectManager::runRenameDialog(ProjectInfo* info, const wchar_t* windowTitle) {
    if (!info)
        return false;
    std::wstring title = info->getTitle();
    if (!projectprompts::askString(m_owner, windowTitle, PROJECT_TITLE_PROMPT, title,
                                   ProjectItemNames::EMPTY_TITLE_MESSAGE))
        return false;
    return renameProject(info, title);
}

bool ProjectManager::onRenameProject(afActionEvent* event) {
    runRenameDialog(eventProject(event), L"Rename project");
    return true;
}

bool ProjectManager::onStarProject(afActionEvent* event) {
    setStarred(eventProject(event), true);
    return true;
}

bool ProjectManager::onUnstarProject(afActionEvent* event) {
    setStarred(eventProject(event), false);
    return true;
}

bool ProjectManager::onRemoveProject(afActionEvent* event) {
    ProjectInfo* info = eventProject(event);
    if (!info)
        return true;
    uint32_t answer = projectprompts::ask(m_owner, L"Remove project",
                                          {{L"Do you really want to remove this project?", 0}, {info->getTitle(), 1}},
                                          {{L"&Remove", RESULT_REMOVE, false, 'Y'},
                                           {L"&Don't remove", RESULT_DONT_REMOVE, false, 'N'},
                                           {L"&Cancel", projectprompts::RESULT_CANCEL, true, 0}});
    if (answer == RESULT_REMOVE)
        removeProject(info);
    return true;
}

bool ProjectManager::onUpdateProject(afActionEvent*) {
    return true;
}

} // namespace corvel
