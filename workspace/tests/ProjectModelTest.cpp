#include "WorkspaceDevices.h"
#include "corvel/projects/Project.h"
#include "corvel/projects/ProjectFolder.h"
#include "corvel/projects/ProjectVirtualFolder.h"
#include "support/TempFolder.h"
#include "zem/base/Error.h"
#include "zem/base/Exception.h"
#include "zem/base/Format.h"
#include "zem/files/FileIO.h"
#include "zem/thread/Thread.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

using corvel::Project;
using corvel::ProjectFolder;
using corvel::ProjectItem;
using corvel::ProjectVirtualFolder;

namespace {

// Records the notifications of a project as "added:name", "removing:name" ... in order.
class Recorder {
public:
    explicit Recorder(Project& project) {
        project.itemAdded().add(&Recorder::added, this);
        project.itemRemoving().add(&Recorder::removing, this);
        project.itemNameChanged().add(&Recorder::renamed, this);
        project.projectModified().add(&Recorder::modified, this);
    }
    std::vector<std::wstring> events;

private:
    static void added(void* self, ProjectItem* item) { push(self, L"added:" + item->name()); }
    static void removing(void* self, ProjectItem* item) { push(self, L"removing:" + item->name()); }
    static void renamed(void* self, ProjectItem* item) { push(self, L"renamed:" + item->name()); }
    static void modified(void* self, Project*) { push(self, L"modified"); }
    static void push(void* self, const std::wstring& text) { static_cast<Recorder*>(self)->events.push_back(text); }
};

class ProjectModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        workspacetest::WorkspaceDevices::ensure();
        dir = zemtest::makeTempFolder(L"projmodel");
        ASSERT_FALSE(dir.empty());
        project = std::make_unique<Project>(nullptr);
        ProjectVirtualFolder* root = new ProjectVirtualFolder(project.get());
        root->setName(L"Demo");
        project->setRoot(root);
    }
    void TearDown() override {
        project.reset();
        zemtest::removeTree(dir);
    }
    ProjectVirtualFolder* root() { return project->getRoot(); }
    ProjectFolder* addFolder(const std::wstring& path, ProjectFolder* into) {
        ProjectItem* item = project->createItem(ProjectItem::KIND_FOLDER, nullptr);
        item->setPath(path);
        project->attachItem(item, into);
        return static_cast<ProjectFolder*>(item);
    }
    ProjectItem* addBareFile(const std::wstring& name, ProjectFolder* into) {
        ProjectItem* item = project->createItem(ProjectItem::KIND_FILE, name.c_str());
        project->attachItem(item, into);
        return item;
    }

    std::wstring dir; // ends in '\'
    std::unique_ptr<Project> project;
};

::testing::AssertionResult pathIs(const ProjectItem* item, const std::wstring& expected) {
    std::wstring actual = item->getPath();
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "path " << ::testing::PrintToString(actual) << ", expected "
                                         << ::testing::PrintToString(expected);
}

} // namespace

TEST_F(ProjectModelTest, KindsAndTypes) {
    const struct {
        int kind;
        uint32_t type;
        bool folder;
    } rows[] = {{0, 0xe9bc9fe9u, false}, {1, 0x9cebd282u, true}, {2, 0xbdbba33cu, true}};
    for (const auto& row : rows) {
        std::unique_ptr<ProjectItem> item(project->createItem(row.kind, L"x"));
        ASSERT_NE(nullptr, item) << row.kind;
        EXPECT_EQ(row.kind, item->getKind());
        EXPECT_EQ(row.type, item->getType());
        EXPECT_EQ(row.folder, item->isFolder());
        EXPECT_EQ(L"x", item->name());
    }
    EXPECT_EQ(nullptr, project->createItem(3, nullptr));
    EXPECT_EQ(nullptr, project->createItem(-1, nullptr));
    EXPECT_EQ(0x1941767eu, project->getType());
}

TEST_F(ProjectModelTest, PathsOfFilesFoldersAndVirtualFolders) {
    ProjectFolder* real = addFolder(L"C:\\src\\", root());
    EXPECT_TRUE(pathIs(real, L"C:\\src")) << "one trailing separator is dropped from a folder";
    ProjectItem* bare = addBareFile(L"main.cpp", real);
    EXPECT_TRUE(pathIs(bare, L"C:\\src\\main.cpp")) << "a bare name follows its folder";
    project->renameItem(real, L"lib");
    EXPECT_TRUE(pathIs(bare, L"C:\\lib\\main.cpp"));

    std::unique_ptr<ProjectItem> file(project->createItem(ProjectItem::KIND_FILE, nullptr));
    file->setPath(L"C:\\src\\");
    EXPECT_EQ(L"", file->name()) << "a file keeps the text unchanged, so its name is empty";
    EXPECT_TRUE(pathIs(file.get(), L"C:\\src\\"));

    std::unique_ptr<ProjectItem> loose(project->createItem(ProjectItem::KIND_FILE, L"a.txt"));
    EXPECT_TRUE(pathIs(loose.get(), zem::format(L".\\ProjectItem_%p a.txt", static_cast<void*>(loose.get()))));
    std::unique_ptr<ProjectItem> empty(project->createItem(ProjectItem::KIND_FILE, nullptr));
    EXPECT_TRUE(pathIs(empty.get(), L"empty_name"));
    EXPECT_TRUE(pathIs(root(), zem::format(L".\\VirtualFolder_%p Demo", static_cast<void*>(root()))));

    std::unique_ptr<ProjectItem> full(project->createItem(ProjectItem::KIND_FILE, nullptr));
    full->setPath(L"D:\\docs\\readme.txt");
    full->setName(L"notes.txt");
    EXPECT_TRUE(pathIs(full.get(), L"D:\\docs\\notes.txt")) << "renaming keeps the directory part";
}

TEST_F(ProjectModelTest, OverlapsPath) {
    ProjectFolder* real = addFolder(dir + L"src", root());
    EXPECT_TRUE(real->overlapsPath((dir + L"SRC\\a.txt").c_str()));
    EXPECT_TRUE(real->overlapsPath(dir.c_str()));
    EXPECT_FALSE(real->overlapsPath((dir + L"lib").c_str()));
    EXPECT_TRUE(root()->overlapsPath((dir + L"src\\x").c_str())) << "a virtual folder asks its children";
    EXPECT_FALSE(root()->overlapsPath(L"Q:\\elsewhere"));
}

TEST_F(ProjectModelTest, NotificationOrderAndTheModifiedRule) {
    ProjectVirtualFolder* group = static_cast<ProjectVirtualFolder*>(project->createItem(2, L"group"));
    ProjectFolder* real = static_cast<ProjectFolder*>(project->createItem(1, nullptr));
    real->setPath(dir + L"src");
    group->appendChild(real);
    real->appendChild(project->createItem(0, L"a.txt"));
    real->appendChild(project->createItem(0, L"b.txt"));
    Recorder recorder(*project);
    project->attachItem(group, root());
    EXPECT_EQ((std::vector<std::wstring>{L"added:group", L"added:src", L"added:a.txt", L"added:b.txt", L"modified"}),
              recorder.events)
        << "pre-order on attach";
    EXPECT_TRUE(project->isModified());
    EXPECT_EQ(5u, project->indexSize());

    project->setModified(false);
    recorder.events.clear();
    addBareFile(L"c.txt", real);
    EXPECT_EQ(std::vector<std::wstring>{L"added:c.txt"}, recorder.events) << "a real folder does not modify";
    EXPECT_FALSE(project->isModified());

    recorder.events.clear();
    EXPECT_FALSE(project->renameItem(real->childAt(0), L"a.txt"));
    EXPECT_TRUE(recorder.events.empty()) << "renaming to the current name does nothing";
    EXPECT_TRUE(project->renameItem(real->childAt(0), L"z.txt"));
    EXPECT_EQ(std::vector<std::wstring>{L"renamed:z.txt"}, recorder.events);

    recorder.events.clear();
    project->detachItem(group, true);
    EXPECT_EQ((std::vector<std::wstring>{L"removing:z.txt", L"removing:b.txt", L"removing:c.txt", L"removing:src",
                                         L"removing:group", L"modified"}),
              recorder.events)
        << "post-order on detach";
    EXPECT_EQ(1u, project->indexSize());
}

TEST_F(ProjectModelTest, IndexFollowsRenamesAndFindsByPath) {
    ProjectFolder* real = addFolder(dir + L"src", root());
    ProjectItem* file = addBareFile(L"a.txt", real);
    std::vector<ProjectItem*> found;
    ASSERT_TRUE(project->findByPath((dir + L"SRC\\A.TXT").c_str(), found));
    EXPECT_EQ(std::vector<ProjectItem*>{file}, found);
    project->renameItem(real, L"lib");
    EXPECT_FALSE(project->findByPath((dir + L"src\\a.txt").c_str(), found));
    ASSERT_TRUE(project->findByPath((dir + L"lib\\a.txt").c_str(), found)) << "the subtree is re-keyed";
    EXPECT_EQ(file, found[0]);
    EXPECT_TRUE(project->isInIndex(file));
    EXPECT_FALSE(project->findByPath(L"nodevice:x", found));
}

// Caught: detaching cleared the keys, and attaching again indexed the subtree under key 0,
// so a moved subtree could no longer be found by its paths.
TEST_F(ProjectModelTest, ASubtreeAttachedAgainIsFoundUnderItsPaths) {
    ProjectVirtualFolder* group =
        static_cast<ProjectVirtualFolder*>(project->createItem(ProjectItem::KIND_VIRTUAL_FOLDER, L"group"));
    project->attachItem(group, root());
    ProjectVirtualFolder* other =
        static_cast<ProjectVirtualFolder*>(project->createItem(ProjectItem::KIND_VIRTUAL_FOLDER, L"other"));
    project->attachItem(other, root());
    ProjectFolder* real = addFolder(dir + L"src", group);
    ProjectItem* bare = addBareFile(L"a.txt", real);
    ProjectItem* full = project->createItem(ProjectItem::KIND_FILE, nullptr);
    full->setPath(dir + L"b.txt");
    project->attachItem(full, group);

    struct Case {
        const char* what;
        ProjectItem* moved;
        ProjectFolder* into;
    };
    const Case cases[] = {
        {"a virtual folder moved into another", group, other},
        {"the same folder moved back", group, root()},
        {"a real folder moved on its own", real, other},
        {"a file with a full path", full, other},
    };
    for (const Case& c : cases) {
        project->attachItem(c.moved, c.into);
        const struct {
            ProjectItem* item;
            std::wstring path;
        } lookups[] = {{real, dir + L"src"}, {bare, dir + L"src\\a.txt"}, {full, dir + L"b.txt"}};
        for (const auto& lookup : lookups) {
            std::vector<ProjectItem*> found;
            EXPECT_TRUE(project->findByPath(lookup.path.c_str(), found)) << c.what << ": " << lookup.path;
            EXPECT_EQ(std::vector<ProjectItem*>{lookup.item}, found) << c.what << ": " << lookup.path;
        }
        EXPECT_EQ(6u, project->indexSize()) << c.what;
    }

    // Detached and attached again by hand, as a move does.
    project->detachItem(real, false);
    EXPECT_EQ(0u, real->getKey());
    project->attachItem(real, root());
    std::vector<ProjectItem*> found;
    EXPECT_TRUE(project->findByPath((dir + L"src\\a.txt").c_str(), found));
}

TEST_F(ProjectModelTest, CloneCopiesTheSubtreeWithoutParentOrIndexMark) {
    ProjectFolder* real = addFolder(dir + L"src", root());
    ProjectItem* file = addBareFile(L"a.txt", real);
    file->setFlags(ProjectItem::FLAG_READ_ONLY);
    zem::ErrorRecord record;
    record.code = 5;
    real->setError(record);
    std::unique_ptr<ProjectItem> copy(real->clone(0));
    EXPECT_EQ(nullptr, copy->getParent());
    EXPECT_EQ(ProjectItem::KIND_FOLDER, copy->getKind());
    EXPECT_FALSE(copy->hasFlag(ProjectItem::FLAG_INDEXED));
    EXPECT_TRUE(copy->hasFlag(ProjectItem::FLAG_ERROR));
    ASSERT_NE(nullptr, copy->getError());
    EXPECT_NE(real->getError(), copy->getError()) << "the error record is copied, not shared";
    ProjectFolder* copied = static_cast<ProjectFolder*>(copy.get());
    ASSERT_EQ(1u, copied->childCount());
    EXPECT_EQ(copied, copied->childAt(0)->getParent());
    EXPECT_TRUE(copied->childAt(0)->hasFlag(ProjectItem::FLAG_READ_ONLY));
    EXPECT_EQ(real->getKey(), copy->getKey());
}

TEST_F(ProjectModelTest, AddPathNeedsAnExistingPath) {
    zemtest::writeNativeFile(dir + L"a.txt", "a");
    CreateDirectoryW((dir + L"sub").c_str(), nullptr);
    EXPECT_EQ(nullptr, project->addPath(dir + L"missing.txt", root()));
    ProjectItem* file = project->addPath(dir + L"a.txt", root());
    ASSERT_NE(nullptr, file);
    EXPECT_TRUE(pathIs(file, dir + L"a.txt")) << "a file under a virtual folder keeps its full path";
    ProjectItem* sub = project->addPath(dir + L"sub", root());
    ASSERT_NE(nullptr, sub);
    EXPECT_EQ(ProjectItem::KIND_FOLDER, sub->getKind());
    ProjectItem* inner = project->addPath(dir + L"a.txt", static_cast<ProjectFolder*>(sub));
    ASSERT_NE(nullptr, inner);
    EXPECT_EQ(L"a.txt", inner->getPathText()) << "a file under a real folder keeps only its name";
}

namespace {

// A scanned tree as the updater makes it: bare file names, folders with full paths.
ProjectFolder* scanned(Project* project, const std::wstring& path, const std::vector<std::wstring>& files,
                       const std::vector<std::wstring>& folders) {
    ProjectFolder* result = new ProjectFolder(project);
    result->setPath(path);
    for (const std::wstring& name : folders) {
        ProjectFolder* folder = new ProjectFolder(project);
        result->appendChild(folder);
        folder->setPath(path + L"\\" + name);
        folder->setScannedKey(zem::fileGetPathHash(folder->getPath().c_str(), nullptr));
    }
    for (const std::wstring& name : files) {
        ProjectItem* file = new ProjectItem(project);
        file->setName(name);
        result->appendChild(file);
        file->setScannedKey(zem::fileGetPathHash((path + L"\\" + name).c_str(), nullptr));
    }
    return result;
}

} // namespace

TEST_F(ProjectModelTest, MergeKeepsIdentityAndReplacesWhatChangedSort) {
    std::wstring src = dir + L"src";
    ProjectFolder* real = addFolder(src, root());
    std::unique_ptr<ProjectFolder> first(scanned(project.get(), src, {L"a.txt", L"b.txt", L"x"}, {}));
    project->mergeSubTree(real, first.get());
    ASSERT_EQ(3u, real->childCount());
    ProjectItem* a = real->childAt(0);

    project->setModified(false);
    Recorder recorder(*project);
    std::unique_ptr<ProjectFolder> same(scanned(project.get(), src, {L"a.txt", L"b.txt", L"x"}, {}));
    project->mergeSubTree(real, same.get());
    EXPECT_TRUE(recorder.events.empty()) << "an unchanged rescan raises nothing";
    EXPECT_EQ(a, real->childAt(0)) << "items keep their identity";

    std::unique_ptr<ProjectFolder> changed(scanned(project.get(), src, {L"a.txt", L"c.txt"}, {L"x"}));
    project->mergeSubTree(real, changed.get());
    EXPECT_EQ((std::vector<std::wstring>{L"removing:b.txt", L"removing:x", L"added:x", L"added:c.txt"}),
              recorder.events);
    ASSERT_EQ(3u, real->childCount());
    EXPECT_EQ(a, real->childAt(0));
    EXPECT_EQ(ProjectItem::KIND_FOLDER, real->childAt(1)->getKind()) << "the file that became a folder";
    EXPECT_FALSE(real->childAt(1)->hasFlag(ProjectItem::FLAG_MERGE_MARK));
    EXPECT_EQ(real, real->childAt(1)->getParent());
    EXPECT_FALSE(project->isModified()) << "merges inside real folders do not modify the project";
}

TEST_F(ProjectModelTest, TreeOperationsBelongToTheMainThread) {
    Project* p = project.get();
    ProjectVirtualFolder* r = root();
    std::unique_ptr<ProjectItem> item(p->createItem(0, L"a"));
    std::wstring message;
    std::thread other([&] {
        try {
            p->attachItem(item.get(), r);
        } catch (const zem::IllegalStateException& e) {
            message = e.message();
        }
    });
    other.join();
    EXPECT_EQ(L"Not a main thread.", message);
    EXPECT_EQ(0u, r->childCount());
}
