#include "corvel/projects/ProjectUpdater.h"
#include "WorkspaceDevices.h"
#include "corvel/config/BgScheduler.h"
#include "corvel/projects/Project.h"
#include "corvel/projects/ProjectFolder.h"
#include "corvel/projects/ProjectVirtualFolder.h"
#include "support/LogCapture.h"
#include "support/TempFolder.h"
#include "support/TestWindow.h"
#include "zem/files/FileWatcher.h"
#include "zem/thread/MessageRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using corvel::Project;
using corvel::ProjectFolder;
using corvel::ProjectItem;
using corvel::ProjectUpdater;
using corvel::ProjectVirtualFolder;

namespace {

class ProjectUpdaterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, window.handle()) << "windows need a display (run under Xvfb)";
        workspacetest::WorkspaceDevices::ensure();
        registry = std::make_unique<zem::MessageRegistry>();
        registry->init(window.handle());
        dir = zemtest::makeTempFolder(L"projupd");
        ASSERT_FALSE(dir.empty());
        updater = std::make_unique<ProjectUpdater>(nullptr);
        updater->init();
        project = std::make_unique<Project>(nullptr, updater.get());
        ProjectVirtualFolder* root = new ProjectVirtualFolder(project.get());
        root->setName(L"Demo");
        project->setRoot(root);
        project->updateFinished().add(&ProjectUpdaterTest::finished, this);
    }
    void TearDown() override {
        if (updater && project)
            updater->stopUpdate(project.get());
        project.reset();
        updater.reset();
        if (registry && registry->isActive())
            registry->shutdown();
        registry.reset();
        zemtest::removeTree(dir);
    }
    static void finished(void* self, Project*) { ++static_cast<ProjectUpdaterTest*>(self)->finishedCount; }

    ProjectFolder* addRealFolder(const std::wstring& name) {
        CreateDirectoryW((dir + name).c_str(), nullptr);
        ProjectItem* item = project->createItem(ProjectItem::KIND_FOLDER, nullptr);
        item->setPath(dir + name);
        project->attachItem(item, project->getRoot());
        return static_cast<ProjectFolder*>(item);
    }
    bool scanned(int count = 1) {
        return window.pumpUntil([&] { return finishedCount >= count; });
    }
    // The names under a folder, sorted, joined by ','; folders end in '\'.
    static std::wstring names(const ProjectFolder* folder) {
        std::vector<std::wstring> out;
        for (size_t i = 0; i < folder->childCount(); ++i) {
            const ProjectItem* child = folder->childAt(i);
            std::wstring text = child->name() + (child->isFolder() ? L"\\" : L"");
            if (child->isFolder())
                text += L"(" + names(static_cast<const ProjectFolder*>(child)) + L")";
            out.push_back(text);
        }
        std::sort(out.begin(), out.end());
        std::wstring joined;
        for (const std::wstring& name : out)
            joined += (joined.empty() ? L"" : L",") + name;
        return joined;
    }

    zemtest::TestWindow window;
    std::unique_ptr<zem::MessageRegistry> registry;
    std::unique_ptr<ProjectUpdater> updater;
    std::unique_ptr<Project> project;
    std::wstring dir; // ends in '\'
    int finishedCount = 0;
};

} // namespace

TEST_F(ProjectUpdaterTest, InitMakesOneLowPriorityWorkerAndASlowWatcher) {
    EXPECT_EQ(1u, updater->getScheduler()->workerCount());
    EXPECT_EQ(std::wstring(L"ProjectWatcher"), updater->getWatcher()->getName());
    EXPECT_EQ(1000, updater->getWatcher()->getHoldBack());
    EXPECT_EQ(THREAD_PRIORITY_BELOW_NORMAL, updater->getWatcher()->getThreadPriority());
    EXPECT_EQ(std::wstring(L"ProjectScheduler"), updater->getScheduler()->name());
}

TEST_F(ProjectUpdaterTest, ScanSkipsHiddenEntriesAndMarksReadOnlyFiles) {
    ProjectFolder* src = addRealFolder(L"src");
    zemtest::writeNativeFile(dir + L"src\\a.txt", "a");
    zemtest::writeNativeFile(dir + L"src\\ro.txt", "r");
    SetFileAttributesW((dir + L"src\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    zemtest::writeNativeFile(dir + L"src\\hidden.txt", "h");
    SetFileAttributesW((dir + L"src\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    CreateDirectoryW((dir + L"src\\sub").c_str(), nullptr);
    zemtest::writeNativeFile(dir + L"src\\sub\\b.txt", "b");
    CreateDirectoryW((dir + L"src\\.git").c_str(), nullptr);
    SetFileAttributesW((dir + L"src\\.git").c_str(), FILE_ATTRIBUTE_HIDDEN);

    zemtest::LogCapture log;
    updater->startUpdate(project.get());
    updater->startUpdate(project.get());
    ASSERT_TRUE(scanned());
    EXPECT_EQ(L"a.txt,ro.txt,sub\\(b.txt)", names(src));
    ProjectItem* ro = src->findChildByName(L"ro.txt", false);
    ASSERT_NE(nullptr, ro);
    EXPECT_TRUE(ro->hasFlag(ProjectItem::FLAG_READ_ONLY));
    EXPECT_FALSE(src->findChildByName(L"a.txt", false)->hasFlag(ProjectItem::FLAG_READ_ONLY));
    std::vector<ProjectItem*> found;
    EXPECT_TRUE(project->findByPath((dir + L"src\\sub\\b.txt").c_str(), found)) << "scanned items are indexed";
    // Scans key entries from their folder's resolved path: the keys must be the file layer's.
    for (const wchar_t* name : {L"MiXeD.TXT", L"\u00dcn\u00ef.txt"}) {
        zemtest::writeNativeFile(dir + L"src\\sub\\" + name, "x");
    }
    ProjectFolder* sub = static_cast<ProjectFolder*>(src->findChildByName(L"sub", false));
    ASSERT_NE(nullptr, sub);
    updater->scanFolder(sub, false);
    ASSERT_TRUE(scanned(2));
    EXPECT_TRUE(project->findByPath((dir + L"SRC\\sub\\mixed.txt").c_str(), found));
    EXPECT_TRUE(project->findByPath((dir + L"src\\sub\\\u00dcn\u00ef.txt").c_str(), found));
    EXPECT_EQ(L"MiXeD.TXT,b.txt,\u00dcn\u00ef.txt", names(sub));

    size_t already = 0;
    for (const auto& line : log.lines())
        already += line.text.find(L"Project \"Demo\": update already started") == 0;
    EXPECT_EQ(1u, already);
}

TEST_F(ProjectUpdaterTest, ChangesOnDiskReachTheTreeAfterTheScan) {
    ProjectFolder* src = addRealFolder(L"src");
    zemtest::writeNativeFile(dir + L"src\\a.txt", "a");
    updater->startUpdate(project.get());
    ASSERT_TRUE(scanned());
    ProjectItem* a = src->findChildByName(L"a.txt", false);
    ASSERT_NE(nullptr, a);

    zemtest::writeNativeFile(dir + L"src\\new.txt", "n");
    EXPECT_TRUE(window.pumpUntil([&] { return src->findChildByName(L"new.txt", false) != nullptr; }));
    zemtest::writeNativeFile(dir + L"src\\secret.txt", "s");
    SetFileAttributesW((dir + L"src\\secret.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(MoveFileW((dir + L"src\\a.txt").c_str(), (dir + L"src\\b.txt").c_str()));
    EXPECT_TRUE(window.pumpUntil([&] { return src->findChildByName(L"b.txt", false) != nullptr; }));
    EXPECT_EQ(a, src->findChildByName(L"b.txt", false)) << "a rename keeps the item";
    DeleteFileW((dir + L"src\\new.txt").c_str());
    EXPECT_TRUE(window.pumpUntil([&] { return src->findChildByName(L"new.txt", false) == nullptr; }));
    EXPECT_EQ(nullptr, src->findChildByName(L"secret.txt", true)) << "hidden files never enter";
}

TEST_F(ProjectUpdaterTest, SuspensionHoldsResultsBackAndStopLeavesTheTree) {
    ProjectFolder* src = addRealFolder(L"src");
    zemtest::writeNativeFile(dir + L"src\\a.txt", "a");
    updater->startUpdate(project.get());
    updater->suspend(project.get(), true);
    // The scan ends on the worker; its merge waits for the suspension to end.
    window.pumpUntil([&] { return false; }, 300);
    EXPECT_EQ(0u, src->childCount());
    EXPECT_EQ(0, finishedCount);
    updater->suspend(project.get(), false);
    ASSERT_TRUE(scanned());
    EXPECT_EQ(1u, src->childCount());

    updater->stopUpdate(project.get());
    EXPECT_FALSE(updater->isUpdating(project.get()));
    EXPECT_EQ(nullptr, src->getTag(ProjectUpdater::WATCH_TAG));
    zemtest::writeNativeFile(dir + L"src\\late.txt", "l");
    window.pumpUntil([&] { return false; }, 1500);
    EXPECT_EQ(1u, src->childCount()) << "a stopped project is no longer followed";
}

TEST_F(ProjectUpdaterTest, FolderThatCannotBeReadIsMarked) {
    ProjectItem* item = project->createItem(ProjectItem::KIND_FOLDER, nullptr);
    item->setPath(dir + L"missing");
    project->attachItem(item, project->getRoot());
    updater->startUpdate(project.get());
    ASSERT_TRUE(scanned());
    EXPECT_TRUE(item->hasFlag(ProjectItem::FLAG_ERROR));
    EXPECT_NE(nullptr, item->getError());
}

TEST_F(ProjectUpdaterTest, ACopiedFolderIsScannedOnceWhereItLands) {
    ProjectFolder* src = addRealFolder(L"src");
    zemtest::writeNativeFile(dir + L"src\\a.txt", "a");
    updater->startUpdate(project.get());
    ASSERT_TRUE(scanned());
    ProjectItem* group = project->createItem(ProjectItem::KIND_VIRTUAL_FOLDER, L"group");
    project->attachItem(group, project->getRoot());
    std::unique_ptr<ProjectItem> copy(src->clone(0));
    copy->setFlags(ProjectItem::FLAG_NEW_COPY);
    ProjectFolder* landed = static_cast<ProjectFolder*>(copy.get());
    zemtest::writeNativeFile(dir + L"src\\b.txt", "b"); // the copy learns of it by its own scan
    project->attachItem(copy.release(), static_cast<ProjectFolder*>(group));
    EXPECT_FALSE(landed->hasFlag(ProjectItem::FLAG_NEW_COPY));
    EXPECT_NE(nullptr, landed->getTag(ProjectUpdater::JOB_TAG)) << "one scan runs for the copy";
    EXPECT_NE(nullptr, landed->getTag(ProjectUpdater::WATCH_TAG)) << "a folder under a virtual folder is watched";
    ASSERT_TRUE(scanned(2));
    EXPECT_EQ(L"a.txt,b.txt", names(landed));
    EXPECT_EQ(nullptr, landed->getTag(ProjectUpdater::JOB_TAG));
}

TEST_F(ProjectUpdaterTest, DetachingAFolderWhileItIsScannedEndsTheScan) {
    ProjectFolder* src = addRealFolder(L"src");
    zemtest::writeNativeFile(dir + L"src\\a.txt", "a");
    updater->startUpdate(project.get());
    updater->suspend(project.get(), true); // the scan's result waits for the merge
    window.pumpUntil([&] { return false; }, 200);
    project->detachItem(src, true);
    updater->suspend(project.get(), false);
    EXPECT_EQ(1, finishedCount) << "the update ends when its last scan is dropped";
    EXPECT_EQ(0u, project->getRoot()->childCount());
    window.pumpUntil([&] { return false; }, 200);
    EXPECT_EQ(1u, project->indexSize()) << "nothing was merged into the freed folder";
}

TEST_F(ProjectUpdaterTest, DeletingAProjectStopsItsUpdate) {
    addRealFolder(L"src");
    zemtest::writeNativeFile(dir + L"src\\a.txt", "a");
    updater->startUpdate(project.get());
    Project* gone = project.get();
    project.reset();
    EXPECT_FALSE(updater->isUpdating(gone));
    window.pumpUntil([&] { return false; }, 200); // a finished scan arriving now finds no project
}
