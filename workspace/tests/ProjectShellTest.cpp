// The projects among the shell's parts: tabs in a sidebar dock with their titles, icons and
// stars, files opened from the tree in document tabs, and the status strip's update note.
#include "corvel/projects/ProjectManager.h"

#include "PromptSteps.h"
#include "WorkspaceDevices.h"
#include "corvel/app/DockManager.h"
#include "corvel/app/DockSimple.h"
#include "corvel/app/Tabs.h"
#include "corvel/config/Config.h"
#include "corvel/document/DocumentController.h"
#include "corvel/projects/Project.h"
#include "corvel/projects/ProjectFolder.h"
#include "corvel/projects/ProjectInfo.h"
#include "corvel/projects/ProjectVirtualFolder.h"
#include "corvel/projects/ProjectWindow.h"
#include "corvel/ui/afIcon.h"
#include "corvel/ui/afResources.h"
#include "corvel/widgets/ToolStripStatus.h"
#include "corvel/widgets/ViewVirtualButton.h"
#include "corvel/widgets/afActionRegistry.h"
#include "corvel/widgets/afControlTree.h"
#include "corvel/widgets/afDockSlot.h"
#include "corvel/workspace/FileManager.h"
#include "support/EditorFixture.h"
#include "support/TempFolder.h"

#include <memory>
#include <string>

using namespace corvel;

namespace {

constexpr uint32_t OPEN_ICON = 0x5cba1748u;
constexpr uint32_t CLOSED_ICON = 0xe0f1f1aau;
constexpr uint32_t LIST_ICON = 0x6c3a29dcu;
constexpr uint32_t STARRED_ICON = 0x9ab43e4fu;
constexpr uint32_t UNSTARRED_ICON = 0x58f349d7u;

// The icons the program registers at start-up, from the same resources.
void registerProjectIcons() {
    const std::pair<uint32_t, int> icons[] = {{OPEN_ICON, 162},      {CLOSED_ICON, 163},  {LIST_ICON, 176},
                                              {UNSTARRED_ICON, 164}, {STARRED_ICON, 166}, {0x9d2e2d82u, 171},
                                              {0xfdebd5f7u, 171}};
    for (const auto& icon : icons) {
        if (!afResources::find(icon.first))
            afResources::add(icon.first, std::make_unique<afIcon>(icon.second, 16));
    }
}

class ProjectShellTest : public edtest::EditorFixture {
protected:
    void SetUp() override {
        edtest::EditorFixture::SetUp();
        workspacetest::WorkspaceDevices::ensure();
        registerProjectIcons();
        dir = zemtest::makeTempFolder(L"projshell");
        ASSERT_FALSE(dir.empty());
        real = dir + L"R";
        ASSERT_TRUE(CreateDirectoryW(real.c_str(), nullptr));
        zemtest::writeNativeFile(real + L"\\a.txt", "alpha\n");
        documentTabs = Tabs::create(host);
        sidebar = Tabs::create(host);
        ASSERT_NE(nullptr, documentTabs);
        ASSERT_NE(nullptr, sidebar);
        files.reset(new FileManager(documents.get(), controllers.get(), &registry));
        files->setDocumentDock(documentTabs);
        files->createActions(nullptr);
        projects.reset(new ProjectManager(nullptr, &registry));
        projects->setDock(sidebar);
        projects->setFileManager(files.get());
        projects->start(nullptr);
    }
    void TearDown() override {
        // The program deletes its windows before the manager: the project list goes first.
        if (sidebar && sidebar->getSlotCount() > 0 &&
            sidebar->getSlot(0)->getId() == ProjectManager::ALL_PROJECTS_SLOT) {
            afView* list = sidebar->getSlot(0)->getView();
            sidebar->removeSlot(sidebar->getSlot(0));
            delete list;
        }
        projects.reset();
        files.reset();
        zemtest::removeTree(dir);
        edtest::EditorFixture::TearDown();
    }
    ViewVirtualButton* buttonOf(ProjectInfo* info) const { return DockSimple::getButton(info->getSlot()); }

    std::wstring dir;
    std::wstring real;
    afActionRegistry registry;
    Tabs* documentTabs = nullptr;
    Tabs* sidebar = nullptr;
    std::unique_ptr<FileManager> files;
    std::unique_ptr<ProjectManager> projects;
};

TEST_F(ProjectShellTest, TabsShowTheTitleTheOpenOrClosedIconAndTheStar) {
    ASSERT_EQ(1, sidebar->getSlotCount());
    ViewVirtualButton* all = DockSimple::getButton(sidebar->getSlot(0));
    ASSERT_NE(nullptr, all);
    EXPECT_EQ(L"All projects", all->getText());
    EXPECT_EQ(afResources::find(LIST_ICON), all->getIcon());

    ProjectInfo* demo = projects->createProjectWithPaths(L"Demo", {real});
    projects->showProject(demo);
    ASSERT_EQ(demo, projects->getActiveProject());
    ViewVirtualButton* button = buttonOf(demo);
    ASSERT_NE(nullptr, button);
    EXPECT_EQ(L"Demo", button->getText());
    EXPECT_EQ(afResources::find(OPEN_ICON), button->getIcon());
    EXPECT_EQ(afResources::find(UNSTARRED_ICON), button->getShownSideIcon());
    projects->setStarred(demo, true);
    EXPECT_EQ(afResources::find(STARRED_ICON), button->getShownSideIcon());
    projects->renameProject(demo, L"Demo 2");
    EXPECT_EQ(L"Demo 2", button->getText());

    // Another project opens: the starred one keeps its tab, showing it closed.
    ProjectInfo* other = projects->addNewProject(L"Other");
    projects->showProject(other);
    ASSERT_EQ(other, projects->getActiveProject());
    ASSERT_EQ(button, buttonOf(demo));
    EXPECT_EQ(afResources::find(CLOSED_ICON), button->getIcon());
    EXPECT_EQ(afResources::find(OPEN_ICON), buttonOf(other)->getIcon());
    projects->showProject(demo);
    EXPECT_EQ(afResources::find(OPEN_ICON), buttonOf(demo)->getIcon());
}

// The dock manager marks each stored slot with its controller before the controller adds
// its data; the project slots once wiped that mark, so the active project's tab never came
// back after a restart.
TEST_F(ProjectShellTest, TheActiveProjectsTabComesBackFromTheStoredDocks) {
    zemtest::writeNativeFile(dir + L"kept.cvProject", "{ version : '1' root : { vdir : 'Kept' content : [ ] } }");
    ProjectInfo* kept = ProjectInfo::fromFile(projects.get(), dir + L"kept.cvProject");
    ASSERT_NE(nullptr, kept);
    projects->showProject(kept);
    ASSERT_EQ(kept, projects->getActiveProject());
    Config config;
    config.declareValue(L"app.docks", ConfigValue::TYPE_LIST);
    {
        DockManager docks;
        docks.registerDock(L"main.left", sidebar);
        docks.registerSlotController(projects.get());
        docks.store(config);
        docks.unregisterDock(sidebar);
    }
    // As in the next run: the project is known but has no tab and is not open.
    sidebar->removeSlot(kept->getSlot());
    ASSERT_EQ(nullptr, kept->getSlot());
    ASSERT_EQ(nullptr, projects->getActiveProject());
    {
        DockManager docks;
        docks.registerDock(L"main.left", sidebar);
        docks.registerSlotController(projects.get());
        docks.restore(config);
        docks.unregisterDock(sidebar);
    }
    ASSERT_NE(nullptr, kept->getSlot());
    EXPECT_EQ(kept, projects->getActiveProject());
    EXPECT_EQ(kept->getSlot(), sidebar->getActiveSlot());
}

TEST_F(ProjectShellTest, FilesOpenFromTheTreeAndAFailedOpenSaysSo) {
    ProjectInfo* info = projects->createProjectWithPaths(L"Demo", {real});
    Project* project = info->getProject();
    auto* folder = static_cast<ProjectFolder*>(project->getRoot()->childAt(0));
    ProjectItem* a = project->addPath(real + L"\\a.txt", folder);
    zemtest::writeNativeFile(real + L"\\gone.txt", "");
    ProjectItem* gone = project->addPath(real + L"\\gone.txt", folder);
    ASSERT_TRUE(DeleteFileW((real + L"\\gone.txt").c_str()));
    auto* window = new ProjectWindow(host, projects.get());
    window->afViewPlatform::create();
    window->setProject(project);
    afControlTree* tree = window->getTree();

    // A folder opens and closes.
    tree->selectItem(window->entryOf(folder));
    window->onEdit(nullptr);
    EXPECT_TRUE(tree->isExpanded(window->entryOf(folder)));
    window->onEdit(nullptr);
    EXPECT_FALSE(tree->isExpanded(window->entryOf(folder)));

    tree->selectItem(window->entryOf(a));
    window->onEdit(nullptr);
    ASSERT_EQ(1u, files->getOpen().size());
    EXPECT_EQ(real + L"\\a.txt", files->getOpen()[0]->getFilePath());
    EXPECT_EQ(files->getOpen()[0], files->getActive());

    tree->selectItem(window->entryOf(gone));
    workspacetest::SeenPrompt seen;
    EXPECT_EQ(0u, workspacetest::runWithPrompts([&] { window->onEdit(nullptr); },
                                                {workspacetest::answerPrompt(L"&OK", &seen)}));
    EXPECT_TRUE(seen.hasLabel(L"Unable to open file"));
    EXPECT_TRUE(seen.hasLabel(real + L"\\gone.txt"));
    EXPECT_EQ(1u, files->getOpen().size());
    delete window;
}

TEST_F(ProjectShellTest, AnUpdateShowsItsNoteUntilItEndsOrTheWindowGoes) {
    auto* status = new ToolStripStatus(host); // the host's, freed with it
    projects->setStatusStrip(status);
    ProjectInfo* info = projects->createProjectWithPaths(L"Demo", {real});
    Project* project = info->getProject();
    auto* window = new ProjectWindow(host, projects.get());
    window->afViewPlatform::create();
    window->setProject(project);
    auto notes = [&] {
        std::vector<std::wstring> texts;
        if (const ToolStripStatus::Entry* current = status->getCurrent())
            texts.push_back(current->done ? L"(done) " + current->text : current->text);
        return texts;
    };
    project->updateStarted().invoke(project);
    EXPECT_EQ(std::vector<std::wstring>{L"Updating project Demo..."}, notes());
    project->updateFinished().invoke(project);
    EXPECT_EQ(std::vector<std::wstring>{L"(done) Updating project Demo..."}, notes());
    // A window that goes while its update runs takes its note with it.
    project->updateStarted().invoke(project);
    size_t queued = status->getQueueSize();
    delete window;
    EXPECT_EQ(queued - 1, status->getQueueSize());
    projects->setStatusStrip(nullptr);
}

} // namespace
