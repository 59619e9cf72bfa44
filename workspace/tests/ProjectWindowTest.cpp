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
#include "corvel/widgets/StringDialog.h"
#include "corvel/widgets/afActionRegistry.h"
#include "corvel/widgets/afControlEdit.h"
#include "corvel/widgets/afControlTree.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using corvel::afControlTree;
using corvel::afControlTreeItem;
using corvel::Project;
using corvel::ProjectFolder;
using corvel::ProjectInfo;
using corvel::ProjectItem;
using corvel::ProjectManager;
using corvel::ProjectWindow;
using workspacetest::answerPrompt;
using workspacetest::runWithPrompts;
using workspacetest::SeenPrompt;

namespace {

using workspacetest::exists;

// Types text into the open string dialog and presses OK.
workspacetest::PromptStep typeName(const std::wstring& text, SeenPrompt* seen = nullptr) {
    return [text, seen]() {
        auto* dialog = workspacetest::findVisible<corvel::StringDialog>();
        if (!dialog)
            return false;
        if (seen)
            seen->record(dialog);
        SetWindowTextW(dialog->getEdit()->getHandle(), text.c_str());
        workspacetest::clickButton(dialog->getButtons().at(0));
        return true;
    };
}

// The texts of an entry's children, in the tree's order.
std::vector<std::wstring> childTexts(afControlTree* tree, afControlTreeItem* parent) {
    std::vector<std::wstring> texts;
    for (afControlTreeItem* entry = parent ? tree->getFirstChild(parent) : tree->getFirstItem(); entry;
         entry = tree->getNextSibling(entry))
        texts.push_back(tree->getItemText(entry));
    return texts;
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
    size_t left =
        runWithPrompts([&] { window->onNewFile(nullptr); }, {typeName(L"..\\x.txt", &seen), typeName(L"new.txt")});
    EXPECT_EQ(0u, left);
    EXPECT_EQ(L"Create a new file", seen.title);
    EXPECT_FALSE(exists(dir + L"x.txt"));
    ASSERT_TRUE(exists(real + L"\\new.txt"));
    ProjectItem* made = window->getSelectedItem();
    ASSERT_NE(nullptr, made);
    EXPECT_EQ(std::wstring(L"new.txt"), made->getName());

    left = runWithPrompts([&] { window->onRename(nullptr); }, {typeName(L"b.txt", &seen)});
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
    left = runWithPrompts([&] { window->onNewVirtualFolder(nullptr); }, {typeName(L"group")});
    EXPECT_EQ(0u, left);
    ASSERT_EQ(2u, project->getRoot()->childCount());
    left = runWithPrompts([&] { window->onDelete(nullptr); }, {answerPrompt(L"&Remove from Project", &seen)});
    EXPECT_EQ(0u, left);
    EXPECT_EQ(L"Removing a folder", seen.title);
    EXPECT_EQ(1u, project->getRoot()->childCount());
}

} // namespace
