#include "corvel/projects/ProjectManager.h"
#include "../../ui_framework/widgets/tests/WidgetHost.h"
#include "PromptSteps.h"
#include "WorkspaceDevices.h"
#include "corvel/config/Config.h"
#include "corvel/config/ConfigValue.h"
#include "corvel/jasmine/JasmineLoader.h"
#include "corvel/jasmine/JasmineValue.h"
#include "corvel/projects/Project.h"
#include "corvel/projects/ProjectFolder.h"
#include "corvel/projects/ProjectInfo.h"
#include "corvel/projects/ProjectVirtualFolder.h"
#include "corvel/widgets/afActionRegistry.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using corvel::Config;
using corvel::ConfigValue;
using corvel::JasmineValue;
using corvel::Project;
using corvel::ProjectFolder;
using corvel::ProjectInfo;
using corvel::ProjectItem;
using corvel::ProjectManager;
using corvel::ProjectVirtualFolder;
using workspacetest::answerPrompt;
using workspacetest::runWithPrompts;
using workspacetest::SeenPrompt;

namespace {

using workspacetest::exists;

void writeProjectFile(const std::wstring& path, const std::wstring& title) {
    std::string text =
        "{ version : '1' root : { vdir : '" + std::string(title.begin(), title.end()) + "' content : [ ] } }";
    zemtest::writeNativeFile(path, text);
}

class ProjectManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        workspacetest::WorkspaceDevices::ensure();
        dir = zemtest::makeTempFolder(L"projman");
        ASSERT_FALSE(dir.empty());
        manager.reset(new ProjectManager(nullptr, &registry));
        manager->setOwner(&host);
    }
    void TearDown() override {
        manager.reset();
        zemtest::removeTree(dir);
    }

    // Sets "app.projects" to list.
    static void setProjects(Config& config, const JasmineValue& list) {
        ConfigValue* setting = config.declareValue(L"app.projects", ConfigValue::TYPE_LIST);
        ConfigValue read;
        read.fromJasmineValue(list);
        setting->assign(read);
    }

    std::wstring dir;
    widgetstest::HostWindow host;
    corvel::afActionRegistry registry;
    std::unique_ptr<ProjectManager> manager;
};

TEST_F(ProjectManagerTest, KnownProjectsComeFromTheListAndFilesOnce) {
    writeProjectFile(dir + L"a.cvProject", L"Alpha");
    writeProjectFile(dir + L"b.cvProject", L"Beta");
    Config config;
    JasmineValue list(JasmineValue::TYPE_LIST);
    list.appendElement().setInt(1);
    list.appendElement().initPayload(JasmineValue::TYPE_DICTIONARY);
    JasmineValue& alphaEntry = list.appendElement();
    alphaEntry.initPayload(JasmineValue::TYPE_DICTIONARY);
    alphaEntry.getOrAddEntry(L"path").setString(dir + L"a.cvProject");
    alphaEntry.getOrAddEntry(L"starred").setBool(true);
    JasmineValue& state = alphaEntry.getOrAddEntry(L"state");
    state.initPayload(JasmineValue::TYPE_DICTIONARY);
    state.getOrAddEntry(L"selected").setString(L"\\x");
    JasmineValue& expanded = state.getOrAddEntry(L"expanded");
    expanded.initPayload(JasmineValue::TYPE_LIST);
    expanded.appendElement().setString(L"\\x");
    expanded.appendElement().setInt(3);
    JasmineValue& betaEntry = list.appendElement();
    betaEntry.initPayload(JasmineValue::TYPE_DICTIONARY);
    betaEntry.getOrAddEntry(L"path").setString(dir + L"b.cvProject");
    setProjects(config, list);
    manager->start(&config);
    ASSERT_EQ(2u, manager->getProjects().size());
    ProjectInfo* alpha = manager->getProjects()[0];
    EXPECT_EQ(L"Alpha", alpha->getTitle());
    EXPECT_TRUE(alpha->isStarred());
    ASSERT_NE(nullptr, alpha->getTreeState());
    EXPECT_EQ(L"\\x", alpha->getTreeState()->selected);
    EXPECT_EQ(std::vector<std::wstring>{L"\\x"}, alpha->getTreeState()->expanded);
    EXPECT_FALSE(manager->getProjects()[1]->isStarred());

    // The same file under another spelling is not a second project.
    std::wstring upper = dir + L"A.CVPROJECT";
    EXPECT_EQ(nullptr, ProjectInfo::fromFile(manager.get(), upper));
    EXPECT_EQ(2u, manager->getProjects().size());

    // A broken file is reported once and listed nowhere.
    zemtest::writeNativeFile(dir + L"bad.cvProject", "{ version : '1' }");
    SeenPrompt seen;
    ProjectInfo* bad = reinterpret_cast<ProjectInfo*>(1);
    size_t left = runWithPrompts([&] { bad = ProjectInfo::fromFile(manager.get(), dir + L"bad.cvProject"); },
                                 {answerPrompt(L"&OK", &seen)});
    EXPECT_EQ(0u, left);
    EXPECT_EQ(nullptr, bad);
    EXPECT_EQ(L"Error", seen.title);
    EXPECT_TRUE(seen.hasLabel(L"Unable to open project"));
    EXPECT_TRUE(seen.hasLabel(L"Incorrect project file (root missing)."));

    // A number instead of a list loads nothing.
    ProjectManager other(nullptr, &registry);
    Config wrong;
    wrong.declareValue(L"app.projects", ConfigValue::TYPE_INT)->setInt(4);
    other.start(&wrong);
    EXPECT_TRUE(other.getProjects().empty());
}

TEST_F(ProjectManagerTest, ActivatingAnotherProjectSavesTheFirstUnderTheDefaultName) {
    EXPECT_EQ(nullptr, manager->addNewProject(L""));
    ProjectInfo* first = manager->addNewProject(L"First Demo");
    ProjectInfo* second = manager->addNewProject(L"Second");
    ASSERT_TRUE(manager->setActiveProject(first));
    ASSERT_NE(nullptr, first->getProject());
    EXPECT_EQ(L"First Demo", first->getProject()->getTitle());
    EXPECT_TRUE(first->getFilePath().empty());

    ASSERT_TRUE(manager->setActiveProject(second));
    EXPECT_EQ(second, manager->getActiveProject());
    ASSERT_FALSE(first->getFilePath().empty());
    EXPECT_NE(std::wstring::npos, first->getFilePath().find(L"first_demo"));
    EXPECT_TRUE(exists(first->getFilePath()));

    // Every change of an open project is saved at once.
    Project* project = second->getProject();
    project->attachItem(project->createItem(ProjectItem::KIND_VIRTUAL_FOLDER, L"group"), project->getRoot());
    ASSERT_FALSE(second->getFilePath().empty());
    Project saved(nullptr);
    ASSERT_TRUE(saved.load(second->getFilePath().c_str()));
    ASSERT_EQ(1u, saved.getRoot()->childCount());
    EXPECT_EQ(std::wstring(L"group"), saved.getRoot()->childAt(0)->getName());

    Config config;
    manager->storeSettings(&config);
    JasmineValue list;
    config.getValue(L"app.projects")->toJasmine(list);
    ASSERT_EQ(2u, list.listSize());
    const JasmineValue* begin = nullptr;
    const JasmineValue* end = nullptr;
    list.listRange(begin, end);
    EXPECT_EQ(first->getFilePath(), begin[0].find(L"path").asString(L""));
    EXPECT_EQ(std::wstring(L"Second"), begin[1].find(L"title").asString(L""));

    // Renaming a closed project writes its file at once.
    EXPECT_TRUE(manager->renameProject(first, L"Renamed"));
    std::wstring title;
    std::wstring full;
    ProjectInfo::readHeader(first->getFilePath().c_str(), title, full);
    EXPECT_EQ(L"Renamed", title);

    manager->removeProject(second);
    EXPECT_EQ(nullptr, manager->getActiveProject());
    EXPECT_EQ(1u, manager->getProjects().size());
}

class ProjectItemOperationsTest : public ProjectManagerTest {
protected:
    void SetUp() override {
        ProjectManagerTest::SetUp();
        real = dir + L"R";
        ASSERT_TRUE(CreateDirectoryW(real.c_str(), nullptr));
        zemtest::writeNativeFile(real + L"\\a.txt", "a");
        info = manager->createProjectWithPaths(L"Demo", {real});
        ASSERT_NE(nullptr, info);
        project = info->getProject();
        ASSERT_TRUE(manager->setActiveProject(info));
        folder = static_cast<ProjectFolder*>(project->getRoot()->childAt(0));
        ASSERT_TRUE(folder->isRealFolder());
        a = project->addPath(real + L"\\a.txt", folder);
        ASSERT_NE(nullptr, a);
    }

    std::wstring real;
    ProjectInfo* info = nullptr;
    Project* project = nullptr;
    ProjectFolder* folder = nullptr;
    ProjectItem* a = nullptr;
};

TEST_F(ProjectItemOperationsTest, NewItemsGoToDiskOnlyInRealFoldersAndUnderSafeNames) {
    ProjectItem* made = manager->createItem(folder, ProjectItem::KIND_FILE, L"new.txt");
    ASSERT_NE(nullptr, made);
    EXPECT_TRUE(exists(real + L"\\new.txt"));
    EXPECT_EQ(folder, made->getParent());
    ProjectItem* sub = manager->createItem(folder, ProjectItem::KIND_FOLDER, L"dir");
    ASSERT_NE(nullptr, sub);
    EXPECT_TRUE(exists(real + L"\\dir"));

    const wchar_t* refused[] = {L"..\\x.txt", L"", L"CON", L"a:b", L"end."};
    for (const wchar_t* name : refused) {
        EXPECT_EQ(nullptr, manager->createItem(folder, ProjectItem::KIND_FILE, name)) << name;
    }
    EXPECT_FALSE(exists(dir + L"x.txt"));
    EXPECT_EQ(nullptr, manager->createItem(folder, ProjectItem::KIND_VIRTUAL_FOLDER, L"v"));
    EXPECT_EQ(nullptr, manager->createItem(project->getRoot(), ProjectItem::KIND_FILE, L"f.txt"));
    ProjectItem* group = manager->createItem(project->getRoot(), ProjectItem::KIND_VIRTUAL_FOLDER, L"group");
    ASSERT_NE(nullptr, group);
    EXPECT_TRUE(group->isVirtualFolder());

    // An existing name is reported and nothing is made.
    SeenPrompt seen;
    ProjectItem* again = a;
    size_t left = runWithPrompts([&] { again = manager->createItem(folder, ProjectItem::KIND_FILE, L"new.txt"); },
                                 {answerPrompt(L"&OK", &seen)});
    EXPECT_EQ(0u, left);
    EXPECT_EQ(nullptr, again);
    EXPECT_EQ(L"Creating a new file...", seen.title);
    EXPECT_TRUE(seen.hasLabel(L"File with this name already exists"));
}

// Caught: virtual folders took any name, "..", "CON" and "a/b.txt" among them.
TEST_F(ProjectItemOperationsTest, NewVirtualFoldersTakeOnlyNamesAFileMayHave) {
    struct Case {
        const wchar_t* name;
        bool made;
    };
    const Case cases[] = {
        {L"group", true},    {L"..", false},   {L"CON", false}, {L"nul.txt", false},
        {L"a/b.txt", false}, {L"a\\b", false}, {L"", false},    {L"end.", false},
    };
    for (const Case& c : cases) {
        ProjectItem* made = manager->createItem(project->getRoot(), ProjectItem::KIND_VIRTUAL_FOLDER, c.name);
        EXPECT_EQ(c.made, made != nullptr) << std::wstring(c.name).c_str();
    }
    EXPECT_EQ(2u, project->getRoot()->childCount()) << "the real folder and the one group";
}

// Caught: a deletion the dialogs reported as not done still answered true.
TEST_F(ProjectItemOperationsTest, DeletingAnswersWhetherTheDialogsCompletedIt) {
    zemtest::writeNativeFile(real + L"\\gone.txt", "g");
    ProjectItem* gone = project->addPath(real + L"\\gone.txt", folder);
    ASSERT_NE(nullptr, gone);
    DeleteFileW((real + L"\\gone.txt").c_str()); // behind the project's back

    bool result = true;
    size_t left = runWithPrompts([&] { result = manager->deleteItems({a, gone}); }, {answerPrompt(L"&OK")});
    EXPECT_EQ(0u, left);
    EXPECT_FALSE(result) << "a path that cannot be read ends the deletion";
    EXPECT_TRUE(exists(real + L"\\a.txt"));
    EXPECT_EQ(folder, a->getParent());

    EXPECT_TRUE(manager->deleteItems({a}));
    EXPECT_FALSE(exists(real + L"\\a.txt"));
}

TEST_F(ProjectItemOperationsTest, RenameChecksNamesBeforeTheDiskAndRestoresOnFailure) {
    ProjectItem* b = project->addPath((zemtest::writeNativeFile(real + L"\\b.txt", "b"), real + L"\\b.txt"), folder);
    ASSERT_NE(nullptr, b);
    EXPECT_FALSE(manager->renameItem(b, L"A.TXT"));
    EXPECT_TRUE(exists(real + L"\\b.txt"));
    EXPECT_FALSE(manager->renameItem(b, L"..\\x.txt"));
    EXPECT_FALSE(manager->renameItem(project->getRoot(), L"root"));

    EXPECT_TRUE(manager->renameItem(b, L"c.txt"));
    EXPECT_FALSE(exists(real + L"\\b.txt"));
    EXPECT_TRUE(exists(real + L"\\c.txt"));
    EXPECT_EQ(L"c.txt", b->name());

    // The disk refuses (the file is gone): the item keeps its old name.
    DeleteFileW((real + L"\\c.txt").c_str());
    size_t left = runWithPrompts([&] { EXPECT_FALSE(manager->renameItem(b, L"d.txt")); }, {answerPrompt(L"&OK")});
    EXPECT_EQ(0u, left);
    EXPECT_EQ(L"c.txt", b->name());
}

TEST_F(ProjectItemOperationsTest, DeleteRemoveCopyAndMoveFollowTheKinds) {
    // Removing what lies in a real folder is refused; deleting it goes to the disk.
    EXPECT_FALSE(manager->removeItems({a}));
    EXPECT_TRUE(manager->deleteItems({a}));
    EXPECT_FALSE(exists(real + L"\\a.txt"));
    EXPECT_EQ(0u, folder->childCount());

    zemtest::writeNativeFile(real + L"\\k.txt", "k");
    ProjectItem* k = project->addPath(real + L"\\k.txt", folder);
    ProjectItem* group = manager->createItem(project->getRoot(), ProjectItem::KIND_VIRTUAL_FOLDER, L"group");
    ProjectItem* other = manager->createItem(project->getRoot(), ProjectItem::KIND_VIRTUAL_FOLDER, L"other");
    // A copy into a virtual folder holds the full path and leaves the original.
    ASSERT_TRUE(manager->copyItems(group, {k}));
    auto* groupFolder = static_cast<ProjectFolder*>(group);
    ASSERT_EQ(1u, groupFolder->childCount());
    ProjectItem* copy = groupFolder->childAt(0);
    EXPECT_EQ(real + L"\\k.txt", copy->getPathText());
    EXPECT_EQ(folder, k->getParent());

    // Moving between virtual folders changes only the project.
    ASSERT_TRUE(manager->moveItems(other, {copy}));
    EXPECT_EQ(other, copy->getParent());
    EXPECT_EQ(0u, groupFolder->childCount());
    EXPECT_TRUE(exists(real + L"\\k.txt"));
    EXPECT_FALSE(manager->moveItems(group, {group}));

    // Removing from a virtual folder never touches the disk.
    EXPECT_TRUE(manager->removeItems({copy}));
    EXPECT_TRUE(exists(real + L"\\k.txt"));
    EXPECT_TRUE(manager->removeItems({group}));

    // Moving a file onto a real folder moves it on disk.
    ASSERT_TRUE(CreateDirectoryW((real + L"\\sub").c_str(), nullptr));
    ProjectItem* sub = project->addPath(real + L"\\sub", folder);
    ASSERT_TRUE(manager->moveItems(sub, {k}));
    EXPECT_FALSE(exists(real + L"\\k.txt"));
    EXPECT_TRUE(exists(real + L"\\sub\\k.txt"));
    EXPECT_FALSE(manager->copyItems(k, {sub}));
    EXPECT_TRUE(manager->addPaths(other, {real + L"\\sub\\k.txt", real + L"\\missing"}));
    EXPECT_EQ(1u, static_cast<ProjectFolder*>(other)->childCount());
    EXPECT_FALSE(manager->addPaths(folder, {real + L"\\sub\\k.txt"}));
}

} // namespace
