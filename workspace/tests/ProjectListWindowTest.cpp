#include "corvel/projects/ProjectListWindow.h"
#include "../../ui_framework/widgets/tests/WidgetHost.h"
#include "PromptSteps.h"
#include "WorkspaceDevices.h"
#include "corvel/document/ScopePath.h"
#include "corvel/projects/Project.h"
#include "corvel/projects/ProjectFolder.h"
#include "corvel/projects/ProjectInfo.h"
#include "corvel/projects/ProjectManager.h"
#include "corvel/projects/ProjectVirtualFolder.h"
#include "corvel/widgets/afActionRegistry.h"
#include "corvel/widgets/afControlLister.h"
#include "corvel/widgets/afMenu.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using corvel::afRect;
using corvel::ProjectInfo;
using corvel::ProjectListWindow;
using corvel::ProjectManager;

namespace {

TEST(ProjectListWindowTest, RowsFollowTheKnownProjectsAndTheSelectionRidesOnTheScope) {
    workspacetest::WorkspaceDevices::ensure();
    widgetstest::HostWindow host;
    corvel::afActionRegistry registry;
    std::unique_ptr<ProjectManager> manager(new ProjectManager(nullptr, &registry));
    auto* list = new ProjectListWindow(&host, manager.get());
    list->afViewPlatform::create();
    corvel::afControlLister* lister = list->getLister();
    EXPECT_EQ(0, lister->getCount());
    EXPECT_EQ(L"Drop some files or folders here to create a new project.", lister->getEmptyText());
    corvel::ScopePath none;
    list->addScopeEntries(none);
    EXPECT_TRUE(none.empty());

    manager->addNewProject(L"One");
    ProjectInfo* two = manager->addNewProject(L"Two");
    EXPECT_EQ(2, lister->getCount());
    lister->setSelection(1, false);
    corvel::ScopePath scope;
    list->addScopeEntries(scope);
    const corvel::ScopeAtom* atom = scope.find(L"ui.data.project");
    ASSERT_NE(nullptr, atom);
    EXPECT_EQ(two, atom->object);

    // A click in the star column flips the star; elsewhere it does not.
    list->setFrame(afRect(0, 0, 200, 200));
    lister->setFrame(afRect(0, 0, 200, 200));
    afRect row;
    ASSERT_TRUE(lister->getItemRect(0, row));
    RECT client;
    GetClientRect(lister->getHandle(), &client);
    int y = (row.top + row.bottom) / 2;
    list->onClick(client.right - 5, y);
    EXPECT_TRUE(manager->getProjects()[0]->isStarred());
    list->onClick(client.right / 2, y);
    EXPECT_TRUE(manager->getProjects()[0]->isStarred());
    list->onClick(client.right - 5, y);
    EXPECT_FALSE(manager->getProjects()[0]->isStarred());
    // The star under the pointer shows hot until the pointer leaves its column or the list.
    list->onHover(client.right - 5, y);
    EXPECT_EQ(0, list->getHoveredStar());
    list->onHover(client.right / 2, y);
    EXPECT_EQ(-1, list->getHoveredStar());
    list->onHover(client.right - 5, y);
    list->onHover(-1, -1);
    EXPECT_EQ(-1, list->getHoveredStar());

    // Without tabs, showing the double-clicked project makes it active.
    ASSERT_TRUE(lister->itemActivatedCallback.function);
    lister->itemActivatedCallback.function(lister->itemActivatedCallback.object, lister, 1);
    EXPECT_EQ(two, manager->getActiveProject());
    manager->removeProject(two);
    EXPECT_EQ(1, lister->getCount());
    delete list;
}

// A list window over a manager of its own, in a host window.
class ProjectListDropTest : public ::testing::Test {
protected:
    void SetUp() override {
        workspacetest::WorkspaceDevices::ensure();
        dir = zemtest::makeTempFolder(L"projlist");
        ASSERT_FALSE(dir.empty());
        manager.reset(new ProjectManager(nullptr, &registry));
        manager->setOwner(&host);
        list = new ProjectListWindow(&host, manager.get());
        list->afViewPlatform::create();
    }
    void TearDown() override {
        delete list;
        manager.reset();
        zemtest::removeTree(dir);
    }
    std::vector<std::wstring> menuTitles() {
        std::unique_ptr<corvel::afMenu> menu(list->buildContextMenu());
        std::vector<std::wstring> titles;
        for (corvel::afMenuNode* node : menu->children())
            titles.push_back(node->getKind() == corvel::afMenuNode::SEPARATOR ? L"-" : node->getTitle());
        return titles;
    }

    std::wstring dir;
    widgetstest::HostWindow host;
    corvel::afActionRegistry registry;
    std::unique_ptr<ProjectManager> manager;
    ProjectListWindow* list = nullptr;
};

TEST_F(ProjectListDropTest, TheContextMenuOffersTheCommandsOfTheSelectedProject) {
    EXPECT_EQ((std::vector<std::wstring>{L"&New project", L"-", L"&Open a project"}), menuTitles());
    ProjectInfo* one = manager->addNewProject(L"One");
    list->getLister()->setSelection(0, false);
    EXPECT_EQ((std::vector<std::wstring>{L"&New project", L"-", L"&Rename", L"&Star", L"-", L"Remove", L"-",
                                         L"&Open a project"}),
              menuTitles());
    manager->setStarred(one, true);
    EXPECT_EQ(L"Un&star", menuTitles().at(3));
}

TEST(ProjectListTitleTest, DroppedPathsNameTheNewProject) {
    struct Case {
        std::vector<std::wstring> paths;
        const wchar_t* title;
    } cases[] = {
        {{L"C:\\work\\src"}, L"src"}, {{L"C:\\work\\src\\"}, L"src"}, {{L"C:\\work\\notes.txt"}, L"notes.txt"},
        {{L"C:\\"}, L"New project"},  {{L"D:"}, L"New project"},      {{L"C:\\a", L"C:\\b"}, L"New project"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.title, ProjectListWindow::titleForPaths(c.paths)) << c.paths.front();
}

TEST_F(ProjectListDropTest, AFolderMakesANamedProjectAndAProjectFileJoinsTheList) {
    std::wstring src = dir + L"src";
    ASSERT_TRUE(CreateDirectoryW(src.c_str(), nullptr));
    workspacetest::SeenPrompt seen;
    std::wstring offered;
    EXPECT_EQ(0u, workspacetest::runWithPrompts([&] { EXPECT_TRUE(list->dropPaths({src})); },
                                                {workspacetest::typeIntoDialog(L"Sources", &seen, &offered)}));
    EXPECT_EQ(L"Name your project", seen.title);
    EXPECT_TRUE(seen.hasLabel(L"Enter project title:"));
    EXPECT_EQ(L"src", offered);
    ASSERT_EQ(1u, manager->getProjects().size());
    ProjectInfo* made = manager->getProjects()[0];
    EXPECT_EQ(L"Sources", made->getTitle());
    EXPECT_EQ(made, manager->getActiveProject());
    ASSERT_NE(nullptr, made->getProject());
    ASSERT_EQ(1u, made->getProject()->getRoot()->childCount());
    EXPECT_EQ(src, made->getProject()->getRoot()->childAt(0)->getPath());

    // Two paths: "New project", kept when the naming dialog is cancelled.
    std::wstring note = dir + L"note.txt";
    zemtest::writeNativeFile(note, "n");
    EXPECT_EQ(0u, workspacetest::runWithPrompts(
                      [&] {
                          EXPECT_TRUE(list->dropPaths({src, note}));
                      },
                      {workspacetest::answerPrompt(L"&Cancel")}));
    ASSERT_EQ(2u, manager->getProjects().size());
    EXPECT_EQ(L"New project", manager->getProjects()[1]->getTitle());
    EXPECT_EQ(2u, manager->getProjects()[1]->getProject()->getRoot()->childCount());

    // A project file in any letter case joins the list as it is; no project is made from it.
    ASSERT_TRUE(manager->saveProject(made));
    std::wstring copy = dir + L"copy.CVPROJECT";
    ASSERT_TRUE(CopyFileW(made->getFilePath().c_str(), copy.c_str(), FALSE));
    EXPECT_TRUE(list->dropPaths({copy}));
    ASSERT_EQ(3u, manager->getProjects().size());
    EXPECT_EQ(L"Sources", manager->getProjects()[2]->getTitle());
    EXPECT_EQ(nullptr, manager->getProjects()[2]->getProject());
    // The same file again adds nothing.
    EXPECT_FALSE(list->dropPaths({copy}));
    EXPECT_EQ(3u, manager->getProjects().size());
}

} // namespace
