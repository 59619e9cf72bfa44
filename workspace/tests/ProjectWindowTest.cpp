#include "corvel/projects/ProjectWindow.h"
#include "../../ui_framework/widgets/tests/WidgetHost.h"
#include "PromptSteps.h"
#include "WorkspaceDevices.h"
#include "corvel/document/ScopePath.h"
#include "corvel/projects/Project.h"
#include "corvel/projects/ProjectFolder.h"
#include "corvel/projects/ProjectInfo.h"
#include "corvel/projects/ProjectManager.h"
#include "corvel/projects/ProjectTreeState.h"
#include "corvel/projects/ProjectVirtualFolder.h"
#include "corvel/ui/afEvent.h"
#include "corvel/widgets/afActionMenuItem.h"
#include "corvel/widgets/afActionRegistry.h"
#include "corvel/widgets/afControlTree.h"
#include "corvel/widgets/afDataObjectComposite.h"
#include "corvel/widgets/afDataObjectFiles.h"
#include "corvel/widgets/afDropAction.h"
#include "corvel/widgets/afMenu.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using corvel::afControlTree;
using corvel::afControlTreeItem;
using corvel::afDropAction;
using corvel::Project;
using corvel::ProjectFolder;
using corvel::ProjectInfo;
using corvel::ProjectItem;
using corvel::ProjectManager;
using corvel::ProjectWindow;
using workspacetest::answerPrompt;
using workspacetest::runWithPrompts;
using workspacetest::SeenPrompt;
using workspacetest::typeIntoDialog;

namespace {

using workspacetest::exists;

// The texts of an entry's children, in the tree's order.
std::vector<std::wstring> childTexts(afControlTree* tree, afControlTreeItem* parent) {
    std::vector<std::wstring> texts;
    for (afControlTreeItem* entry = parent ? tree->getFirstChild(parent) : tree->getFirstItem(); entry;
         entry = tree->getNextSibling(entry))
        texts.push_back(tree->getItemText(entry));
    return texts;
}

// A built menu's titles in order, separators as "-".
std::vector<std::wstring> menuTitles(const corvel::afMenu& menu) {
    std::vector<std::wstring> titles;
    for (corvel::afMenuNode* node : menu.children())
        titles.push_back(node->getKind() == corvel::afMenuNode::SEPARATOR ? L"-" : node->getTitle());
    return titles;
}

corvel::afActionMenuItem* findEntry(const corvel::afMenu& menu, const std::wstring& title) {
    for (corvel::afMenuNode* node : menu.children()) {
        if (node->getTitle() == title)
            return dynamic_cast<corvel::afActionMenuItem*>(node);
    }
    return nullptr;
}

class ProjectWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        workspacetest::WorkspaceDevices::ensure();
        dir = zemtest::makeTempFolder(L"projwin");
        ASSERT_FALSE(dir.empty());
        real = dir + L"R";
        ASSERT_TRUE(CreateDirectoryW(real.c_str(), nullptr));
        manager.reset(new ProjectManager(nullptr, &registry));
        manager->setOwner(&host);
        info = manager->createProjectWithPaths(L"Demo", {real});
        project = info->getProject();
        folder = static_cast<ProjectFolder*>(project->getRoot()->childAt(0));
        window = new ProjectWindow(&host, manager.get());
        window->afViewPlatform::create();
        window->setProject(project);
        tree = window->getTree();
    }
    void TearDown() override {
        delete window;
        manager.reset();
        zemtest::removeTree(dir);
    }

    std::wstring dir;
    std::wstring real;
    widgetstest::HostWindow host;
    corvel::afActionRegistry registry;
    std::unique_ptr<ProjectManager> manager;
    ProjectInfo* info = nullptr;
    Project* project = nullptr;
    ProjectFolder* folder = nullptr;
    ProjectWindow* window = nullptr;
    afControlTree* tree = nullptr;
};

TEST_F(ProjectWindowTest, TheTreeFollowsTheProjectAndSortsFoldersFirstOnExpansion) {
    EXPECT_EQ(std::vector<std::wstring>{L"R"}, childTexts(tree, nullptr));
    afControlTreeItem* folderEntry = window->entryOf(folder);
    ASSERT_NE(nullptr, folderEntry);

    // Added to a collapsed folder: kept in arrival order until the first expansion.
    zemtest::writeNativeFile(real + L"\\b.txt", "");
    zemtest::writeNativeFile(real + L"\\A.txt", "");
    ASSERT_TRUE(CreateDirectoryW((real + L"\\zdir").c_str(), nullptr));
    project->addPath(real + L"\\b.txt", folder);
    project->addPath(real + L"\\A.txt", folder);
    project->addPath(real + L"\\zdir", folder);
    EXPECT_EQ((std::vector<std::wstring>{L"b.txt", L"A.txt", L"zdir"}), childTexts(tree, folderEntry));
    tree->expandItem(folderEntry, true);
    EXPECT_EQ((std::vector<std::wstring>{L"zdir", L"A.txt", L"b.txt"}), childTexts(tree, folderEntry));
    // Expanded: a new child sorts in at once.
    zemtest::writeNativeFile(real + L"\\a0.txt", "");
    project->addPath(real + L"\\a0.txt", folder);
    EXPECT_EQ((std::vector<std::wstring>{L"zdir", L"A.txt", L"a0.txt", L"b.txt"}), childTexts(tree, folderEntry));

    // Names and removals follow.
    ProjectItem* b = folder->findChildByName(L"b.txt", false);
    project->renameItem(b, L"c.txt");
    EXPECT_EQ(L"c.txt", tree->getItemText(window->entryOf(b)));
    project->detachItem(b, true);
    EXPECT_EQ(3u, childTexts(tree, folderEntry).size());

    // The selection decides the scope and where new items go.
    corvel::ScopePath scope;
    window->addScopeEntries(scope);
    EXPECT_EQ(L"project.item.root", scope.toString());
    ProjectItem* a = folder->findChildByName(L"A.txt", false);
    tree->selectItem(window->entryOf(a));
    EXPECT_EQ(folder, window->getCurrentFolder());
    corvel::ScopePath fileScope;
    window->addScopeEntries(fileScope);
    EXPECT_EQ(L"project.item.file", fileScope.toString());

    // Detached, the tree is empty; a stored state comes back.
    corvel::ProjectTreeState state;
    window->storeTreeState(state);
    EXPECT_EQ(L"\\R\\A.txt", state.selected);
    window->setProject(nullptr);
    EXPECT_TRUE(tree->isEmpty());
    EXPECT_EQ(nullptr, window->entryOf(a));
    window->setProject(project);
    window->restoreTreeState(state);
    EXPECT_EQ(a, window->getSelectedItem());
    EXPECT_TRUE(window->showPath(real + L"\\zdir"));
    EXPECT_EQ(L"zdir", tree->getItemText(tree->getSelectedItem()));
}

TEST_F(ProjectWindowTest, CommandsCreateRenameAndDeleteThroughTheirDialogs) {
    tree->selectItem(window->entryOf(folder));
    SeenPrompt seen;
    // "..\x.txt" is refused in the dialog, which stays open for "new.txt".
    size_t left = runWithPrompts([&] { window->onNewFile(nullptr); },
                                 {typeIntoDialog(L"..\\x.txt", &seen), typeIntoDialog(L"new.txt")});
    EXPECT_EQ(0u, left);
    EXPECT_EQ(L"Create a new file", seen.title);
    EXPECT_FALSE(exists(dir + L"x.txt"));
    ASSERT_TRUE(exists(real + L"\\new.txt"));
    ProjectItem* made = window->getSelectedItem();
    ASSERT_NE(nullptr, made);
    EXPECT_EQ(std::wstring(L"new.txt"), made->getName());

    left = runWithPrompts([&] { window->onRename(nullptr); }, {typeIntoDialog(L"b.txt", &seen)});
    EXPECT_EQ(0u, left);
    EXPECT_EQ(L"Renaming a file", seen.title);
    EXPECT_TRUE(exists(real + L"\\b.txt"));

    // Delete asks first; Cancel keeps the file, Delete removes it.
    left = runWithPrompts([&] { window->onDelete(nullptr); }, {answerPrompt(L"&Cancel", &seen)});
    EXPECT_EQ(0u, left);
    EXPECT_EQ(L"Deleting item(s)...", seen.title);
    EXPECT_TRUE(exists(real + L"\\b.txt"));
    left = runWithPrompts([&] { window->onDelete(nullptr); }, {answerPrompt(L"&Delete")});
    EXPECT_EQ(0u, left);
    EXPECT_FALSE(exists(real + L"\\b.txt"));
    EXPECT_EQ(0u, folder->childCount());

    // A virtual folder is only removed from the project.
    tree->selectItem(nullptr);
    left = runWithPrompts([&] { window->onNewVirtualFolder(nullptr); }, {typeIntoDialog(L"group")});
    EXPECT_EQ(0u, left);
    ASSERT_EQ(2u, project->getRoot()->childCount());
    left = runWithPrompts([&] { window->onDelete(nullptr); }, {answerPrompt(L"&Remove from Project", &seen)});
    EXPECT_EQ(0u, left);
    EXPECT_EQ(L"Removing a folder", seen.title);
    EXPECT_EQ(1u, project->getRoot()->childCount());
}

TEST_F(ProjectWindowTest, TheContextMenuGathersTheContributorsOfTheSelection) {
    zemtest::writeNativeFile(real + L"\\f.txt", "f");
    ProjectItem* file = project->addPath(real + L"\\f.txt", folder);
    ProjectItem* group = manager->createItem(project->getRoot(), ProjectItem::KIND_VIRTUAL_FOLDER, L"group");
    ASSERT_NE(nullptr, group);
    ProjectItem* linked = project->addPath(real + L"\\f.txt", static_cast<ProjectFolder*>(group));
    ASSERT_NE(nullptr, linked);
    struct Case {
        const char* name;
        ProjectItem* selected;
        std::vector<std::wstring> titles;
    } cases[] = {
        {"nothing selected", nullptr, {L"&New Virtual Folder", L"-", L"&Open Project"}},
        {"a file in a real folder",
         file,
         {L"&Edit", L"&Rename", L"&Delete", L"-", L"&New File", L"&New Folder", L"-", L"&Open Project"}},
        {"a real folder", folder, {L"&Rename", L"&Delete", L"-", L"&New File", L"&New Folder", L"-", L"&Open Project"}},
        {"a virtual folder",
         group,
         {L"&Rename", L"&Remove from project", L"-", L"&New Virtual Folder", L"-", L"&Open Project"}},
        // Its folder is virtual: only virtual folders can be made there.
        {"a file in a virtual folder",
         linked,
         {L"&Edit", L"&Rename", L"&Delete", L"-", L"&New Virtual Folder", L"-", L"&Open Project"}},
    };
    for (const Case& c : cases) {
        tree->selectItem(window->entryOf(c.selected));
        corvel::ScopePath scope;
        std::unique_ptr<corvel::afMenu> menu(window->buildContextMenu(scope));
        ASSERT_NE(nullptr, menu) << c.name;
        EXPECT_EQ(c.titles, menuTitles(*menu)) << c.name;
    }

    // With an active project the project's own commands join.
    manager->setActiveProject(info);
    tree->selectItem(nullptr);
    corvel::ScopePath scope;
    std::unique_ptr<corvel::afMenu> menu(window->buildContextMenu(scope));
    EXPECT_EQ((std::vector<std::wstring>{L"&New Virtual Folder", L"-", L"&Open Project", L"&Close Project",
                                         L"&Update Project"}),
              menuTitles(*menu));

    // The chosen entry runs on this window with the menu's scope.
    tree->selectItem(window->entryOf(file));
    menu.reset(window->buildContextMenu(scope));
    corvel::afActionMenuItem* rename = findEntry(*menu, L"&Rename");
    ASSERT_NE(nullptr, rename);
    SeenPrompt seen;
    EXPECT_EQ(0u, runWithPrompts([&] { rename->execute(&scope); }, {typeIntoDialog(L"g.txt", &seen)}));
    EXPECT_EQ(L"Renaming a file", seen.title);
    EXPECT_TRUE(exists(real + L"\\g.txt"));
}

TEST_F(ProjectWindowTest, DropsLandInTheFolderUnderTheCursorByTheirKind) {
    zemtest::writeNativeFile(real + L"\\f.txt", "f");
    ProjectItem* file = project->addPath(real + L"\\f.txt", folder);
    ProjectItem* group = manager->createItem(project->getRoot(), ProjectItem::KIND_VIRTUAL_FOLDER, L"group");
    ASSERT_NE(nullptr, group);
    afControlTreeItem* folderEntry = window->entryOf(folder);
    afControlTreeItem* fileEntry = window->entryOf(file);
    afControlTreeItem* groupEntry = window->entryOf(group);
    const int NONE = afDropAction::NONE;
    const int COPY = afDropAction::COPY;
    const int MOVE = afDropAction::MOVE;
    const int LINK = afDropAction::LINK;
    const int ALL = NONE | COPY | MOVE | LINK;
    struct Case {
        const char* name;
        afControlTreeItem* entry;
        int allowed;
        DWORD keys;
        int expected;
    } cases[] = {
        {"a real folder moves without keys", folderEntry, ALL, 0, MOVE},
        {"a real folder copies with Ctrl", folderEntry, ALL, MK_CONTROL, COPY},
        {"a file stands for its folder", fileEntry, ALL, MK_CONTROL, COPY},
        {"a real folder never links", folderEntry, NONE | LINK, MK_CONTROL | MK_SHIFT, NONE},
        {"a virtual folder links", groupEntry, ALL, 0, LINK},
        {"a virtual folder without a link offered", groupEntry, NONE | COPY | MOVE, 0, NONE},
        {"empty space is the root", nullptr, ALL, MK_CONTROL, LINK},
    };
    for (const Case& c : cases) {
        corvel::afEvent event = afDropAction::makeDragEvent(c.keys, POINTL{0, 0});
        EXPECT_EQ(c.expected, window->decideDrop(c.entry, c.allowed, event)) << c.name;
    }

    // Files from outside: into the folder of the file they fell on, or as links of the root.
    std::wstring outside = dir + L"out";
    ASSERT_TRUE(CreateDirectoryW(outside.c_str(), nullptr));
    zemtest::writeNativeFile(outside + L"\\a.txt", "a");
    zemtest::writeNativeFile(outside + L"\\b.txt", "b");
    EXPECT_EQ(COPY, window->dropPaths(fileEntry, COPY, {outside + L"\\a.txt"}));
    EXPECT_TRUE(exists(real + L"\\a.txt"));
    EXPECT_TRUE(exists(outside + L"\\a.txt"));
    EXPECT_EQ(MOVE, window->dropPaths(folderEntry, MOVE, {outside + L"\\b.txt"}));
    EXPECT_TRUE(exists(real + L"\\b.txt"));
    EXPECT_FALSE(exists(outside + L"\\b.txt"));
    size_t top = project->getRoot()->childCount();
    EXPECT_EQ(NONE, window->dropPaths(nullptr, COPY, {outside}));
    EXPECT_EQ(LINK, window->dropPaths(nullptr, LINK, {outside}));
    ASSERT_EQ(top + 1, project->getRoot()->childCount());
    EXPECT_EQ(L"out", tree->getItemText(window->entryOf(project->getRoot()->childAt(top))));
    EXPECT_EQ(NONE, window->dropText(folderEntry));

    // An item dragged onto a virtual folder: a copy lands there, the item stays.
    EXPECT_EQ(LINK, window->dropItems(groupEntry, LINK, {file}));
    auto* groupFolder = static_cast<ProjectFolder*>(group);
    ASSERT_EQ(1u, groupFolder->childCount());
    EXPECT_EQ(real + L"\\f.txt", groupFolder->childAt(0)->getPath());
    EXPECT_EQ(folder, file->getParent());

    // Dragged out, a file carries itself and its path; a virtual folder only itself.
    std::unique_ptr<corvel::afDataObject> data(window->makeDragData(fileEntry));
    auto* composite = dynamic_cast<corvel::afDataObjectComposite*>(data.get());
    ASSERT_NE(nullptr, composite);
    EXPECT_EQ(2u, composite->getPartCount());
    auto* files = dynamic_cast<corvel::afDataObjectFiles*>(composite->findPart(CF_HDROP));
    ASSERT_NE(nullptr, files);
    EXPECT_EQ(std::vector<std::wstring>{real + L"\\f.txt"}, files->getPaths());
    std::unique_ptr<corvel::afDataObject> virtualData(window->makeDragData(groupEntry));
    ASSERT_NE(nullptr, dynamic_cast<corvel::afDataObjectComposite*>(virtualData.get()));
    EXPECT_EQ(1u, static_cast<corvel::afDataObjectComposite*>(virtualData.get())->getPartCount());
}

} // namespace
