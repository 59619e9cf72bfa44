#include "corvel/projects/ProjectListWindow.h"
#include "../../ui_framework/widgets/tests/WidgetHost.h"
#include "WorkspaceDevices.h"
#include "corvel/document/ScopePath.h"
#include "corvel/projects/ProjectInfo.h"
#include "corvel/projects/ProjectManager.h"
#include "corvel/widgets/afActionRegistry.h"
#include "corvel/widgets/afControlLister.h"

#include <gtest/gtest.h>

#include <memory>

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

    // Without tabs, showing the double-clicked project makes it active.
    ASSERT_TRUE(lister->itemActivatedCallback.function);
    lister->itemActivatedCallback.function(lister->itemActivatedCallback.object, lister, 1);
    EXPECT_EQ(two, manager->getActiveProject());
    manager->removeProject(two);
    EXPECT_EQ(1, lister->getCount());
    delete list;
}

} // namespace
