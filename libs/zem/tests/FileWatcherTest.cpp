#include "zem/files/FileWatcher.h"
#include "support/TempFolder.h"
#include "support/TestWindow.h"
#include "zem/base/Clock.h"
#include "zem/base/Exception.h"
#include "zem/files/FileDeviceWin32.h"
#include "zem/files/FileIO.h"
#include "zem/thread/MessageRegistry.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>
#include <windows.h>

namespace {

using zem::FileChangeEvent;
using zem::FileWatcher;
using zem::FileWatchObject;

const wchar_t DEVICE[] = L"fwtest";

struct Seen {
    FileWatchObject* watch;
    FileChangeEvent::Kind kind;
    std::wstring path;
    std::wstring secondPath;
    bool hasInfo;
    uint64_t size;
    DWORD tick; // when the callback ran
};

class FileWatcherTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, window.handle()) << "windows need a display (run under Xvfb)";
        registry = std::make_unique<zem::MessageRegistry>();
        ASSERT_EQ(registry.get(), zem::MessageRegistry::instance());
        root = zemtest::makeTempFolder(L"filewatcher");
        ASSERT_FALSE(root.empty());
        device = std::make_unique<zem::FileDeviceWin32>(root.c_str());
        ASSERT_TRUE(zem::fileAttachDevice(device.get(), DEVICE, 0));
    }

    void TearDown() override {
        watcher.reset();
        if (registry && registry->isActive())
            registry->shutdown();
        registry.reset();
        zem::fileDetachDevice(DEVICE);
        device.reset();
        zemtest::removeTree(root);
    }

    // Binds the registry and starts the watcher, as most tests want.
    void start(int64_t holdBackMs = FileWatcher::DEFAULT_HOLD_BACK_MS) {
        registry->init(window.handle());
        makeWatcher(holdBackMs);
    }
    void makeWatcher(int64_t holdBackMs) {
        watcher = std::make_unique<FileWatcher>(L"TestWatcher");
        watcher->setHoldBack(holdBackMs);
        watcher->callbacks().add(&FileWatcherTest::record, this);
    }

    static void record(void* self, FileWatchObject* watch, FileChangeEvent* event) {
        FileWatcherTest* test = static_cast<FileWatcherTest*>(self);
        const zem::FileInfo* info = event->getFileInfo();
        test->seen.push_back(Seen{watch, event->getKind(), event->getPath(), event->getSecondPath(), info != nullptr,
                                  info ? info->size : 0, GetTickCount()});
        if (test->onCallback)
            test->onCallback(watch, event);
    }

    std::wstring native(const std::wstring& name) const { return root + name; }
    static std::wstring dev(const std::wstring& name) { return std::wstring(DEVICE) + L":" + name; }

    void writeFile(const std::wstring& name, const std::string& bytes, bool append = false) {
        if (append)
            zemtest::appendNativeFile(native(name), bytes);
        else
            zemtest::writeNativeFile(native(name), bytes);
    }
    void makeFolder(const std::wstring& name) { ASSERT_TRUE(CreateDirectoryW(native(name).c_str(), nullptr)); }

    size_t count(FileWatchObject* watch, FileChangeEvent::Kind kind, const std::wstring& path = L"") const {
        size_t n = 0;
        for (const Seen& s : seen) {
            if (s.watch == watch && s.kind == kind && (path.empty() || s.path == path))
                ++n;
        }
        return n;
    }
    bool waitFor(FileWatchObject* watch, FileChangeEvent::Kind kind, const std::wstring& path = L"") {
        return window.pumpUntil([&] { return count(watch, kind, path) > 0; });
    }

    zemtest::TestWindow window;
    std::unique_ptr<zem::MessageRegistry> registry;
    std::unique_ptr<zem::FileDeviceWin32> device;
    std::unique_ptr<FileWatcher> watcher;
    std::wstring root; // native, ends in '\'
    std::vector<Seen> seen;
    std::function<void(FileWatchObject*, FileChangeEvent*)> onCallback;
};

TEST_F(FileWatcherTest, ThreadPriorityCanBeLowered) {
    start();
    EXPECT_EQ(THREAD_PRIORITY_NORMAL, watcher->getThreadPriority());
    watcher->setThreadPriority(THREAD_PRIORITY_BELOW_NORMAL);
    EXPECT_EQ(THREAD_PRIORITY_BELOW_NORMAL, watcher->getThreadPriority());
    EXPECT_TRUE(watcher->hasThread());
}

TEST_F(FileWatcherTest, MissingPathsAndForeignWatches) {
    start();
    EXPECT_EQ(nullptr, watcher->addObserver(dev(L"nothing.txt").c_str(), false, nullptr));
    EXPECT_EQ(nullptr, watcher->addObserver(nullptr, false, nullptr));
    writeFile(L"a.txt", "a");
    FileWatchObject* watch = watcher->addObserver(dev(L"a.txt").c_str(), false, this);
    ASSERT_NE(nullptr, watch);
    EXPECT_EQ(this, watch->getUserData());
    EXPECT_FALSE(watch->isDirectory());
    FileWatcher other(L"Other");
    EXPECT_THROW(other.removeObserver(watch), zem::AssertionViolationException);
    EXPECT_THROW(watcher->removeObserver(nullptr), zem::AssertionViolationException);
    watch->addRef(); // keep it readable after removal
    EXPECT_TRUE(watcher->removeObserver(watch));
    EXPECT_THROW(watcher->removeObserver(watch), zem::AssertionViolationException);
    watch->release();
}

TEST_F(FileWatcherTest, WatchesShareOneHandlePerFolderAndKind) {
    start();
    writeFile(L"a.txt", "a");
    writeFile(L"b.txt", "b");
    FileWatchObject* a = watcher->addObserver(dev(L"a.txt").c_str(), false, nullptr);
    FileWatchObject* b = watcher->addObserver(dev(L"b.txt").c_str(), false, nullptr);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(1u, watcher->handleCount());
    FileWatchObject* plain = watcher->addObserver(dev(L"").c_str(), false, nullptr);
    ASSERT_NE(nullptr, plain);
    EXPECT_TRUE(plain->isDirectory());
    EXPECT_EQ(1u, watcher->handleCount()); // the folder of the files is the folder itself
    FileWatchObject* deep = watcher->addObserver(dev(L"").c_str(), true, nullptr);
    ASSERT_NE(nullptr, deep);
    EXPECT_EQ(2u, watcher->handleCount()); // recursive and plain never share
    watcher->removeObserver(a);
    EXPECT_EQ(2u, watcher->handleCount());
    watcher->removeObserver(b);
    watcher->removeObserver(plain);
    EXPECT_EQ(1u, watcher->handleCount());
    watcher->removeObserver(deep);
    EXPECT_EQ(0u, watcher->handleCount());
    EXPECT_EQ(0u, watcher->watchCount());
}

TEST_F(FileWatcherTest, FileWatchSeesOnlyItsOwnName) {
    start(0);
    writeFile(L"a.txt", "a");
    writeFile(L"b.txt", "b");
    FileWatchObject* a = watcher->addObserver(dev(L"a.txt").c_str(), false, nullptr);
    FileWatchObject* deep = watcher->addObserver(dev(L"").c_str(), true, nullptr);
    ASSERT_TRUE(a && deep);
    makeFolder(L"sub");
    ASSERT_TRUE(waitFor(deep, FileChangeEvent::ADDED, L"sub"));
    writeFile(L"sub\\a.txt", "a");
    ASSERT_TRUE(waitFor(deep, FileChangeEvent::ADDED, L"sub\\a.txt")); // a sub-folder path holds '\'
    writeFile(L"b.txt", "changed", true);
    writeFile(L"a.txt", "changed", true);
    ASSERT_TRUE(waitFor(a, FileChangeEvent::MODIFIED, L"a.txt"));
    for (const Seen& s : seen) {
        if (s.watch == a) {
            EXPECT_EQ(L"a.txt", s.path);
        }
    }
}

TEST_F(FileWatcherTest, RepeatedModificationsCollapseIntoOne) {
    start(300);
    writeFile(L"a.txt", "a");
    writeFile(L"sentinel.txt", "s");
    FileWatchObject* a = watcher->addObserver(dev(L"a.txt").c_str(), false, nullptr);
    FileWatchObject* sentinel = watcher->addObserver(dev(L"sentinel.txt").c_str(), false, nullptr);
    ASSERT_TRUE(a && sentinel);
    // Caught: a hold-back divided by 1000, which delivered at once and collapsed nothing.
    DWORD written = GetTickCount();
    writeFile(L"a.txt", "x", true);
    ASSERT_TRUE(waitFor(a, FileChangeEvent::MODIFIED));
    EXPECT_GE(seen.back().tick - written, 280u) << "delivered before its hold-back";

    // A hold-back no run outlasts: however slow the machine, all ten writes and the sentinel
    // are waiting together, one change for "a.txt" among them.
    watcher->setHoldBack(24 * 3600 * 1000);
    size_t before = count(a, FileChangeEvent::MODIFIED);
    for (int i = 0; i < 10; ++i)
        writeFile(L"a.txt", "x", true);
    writeFile(L"sentinel.txt", "x", true);
    ASSERT_TRUE(window.pumpUntil([&] { return watcher->queuedCount() == 2; }));
    EXPECT_EQ(before, count(a, FileChangeEvent::MODIFIED));
    // Lowering the hold-back releases what waits at once, in order.
    watcher->setHoldBack(0);
    ASSERT_TRUE(waitFor(sentinel, FileChangeEvent::MODIFIED));
    EXPECT_EQ(before + 1, count(a, FileChangeEvent::MODIFIED));
    // Delivery clears the mark: the next change is reported again.
    writeFile(L"a.txt", "y", true);
    EXPECT_TRUE(window.pumpUntil([&] { return count(a, FileChangeEvent::MODIFIED) == before + 2; }));
}

TEST_F(FileWatcherTest, KeptPendingMarkBlocksLaterModificationsUntilCleared) {
    start(0);
    writeFile(L"a.txt", "a");
    writeFile(L"sentinel.txt", "s");
    FileWatchObject* a = watcher->addObserver(dev(L"a.txt").c_str(), false, nullptr);
    FileWatchObject* sentinel = watcher->addObserver(dev(L"sentinel.txt").c_str(), false, nullptr);
    ASSERT_TRUE(a && sentinel);
    watcher->changeFlags(a, FileWatchObject::KEEP_PENDING_MARK, 0);
    writeFile(L"a.txt", "x", true);
    ASSERT_TRUE(waitFor(a, FileChangeEvent::MODIFIED));
    EXPECT_TRUE(a->getFlags() & FileWatchObject::MODIFY_PENDING);
    writeFile(L"a.txt", "y", true);
    writeFile(L"sentinel.txt", "x", true);
    ASSERT_TRUE(waitFor(sentinel, FileChangeEvent::MODIFIED));
    EXPECT_EQ(1u, count(a, FileChangeEvent::MODIFIED));
    watcher->changeFlags(a, 0, FileWatchObject::MODIFY_PENDING);
    writeFile(L"a.txt", "z", true);
    EXPECT_TRUE(window.pumpUntil([&] { return count(a, FileChangeEvent::MODIFIED) == 2; }));
    EXPECT_THROW(watcher->changeFlags(a, FileWatchObject::CLOSING, 0), zem::AssertionViolationException);
}

TEST_F(FileWatcherTest, SuspendedWatchDeliversNothingAndResumesWithNewerChanges) {
    start(0);
    writeFile(L"a.txt", "a");
    FileWatchObject* a = watcher->addObserver(dev(L"a.txt").c_str(), false, nullptr);
    FileWatchObject* folder = watcher->addObserver(dev(L"").c_str(), false, nullptr); // sees what a misses
    ASSERT_TRUE(a && folder);
    watcher->changeFlags(a, FileWatchObject::CHECK_LAST_WRITE, 0);
    watcher->setSuspended(a, true);
    EXPECT_TRUE(a->getFlags() & FileWatchObject::SUSPENDED);
    writeFile(L"a.txt", "x", true);
    ASSERT_TRUE(waitFor(folder, FileChangeEvent::MODIFIED, L"a.txt"));
    EXPECT_EQ(0u, count(a, FileChangeEvent::MODIFIED));

    watcher->setSuspended(a, false);
    EXPECT_FALSE(a->getFlags() & FileWatchObject::SUSPENDED);
    // An attribute change is a modification that leaves the last-write time alone.
    size_t before = count(folder, FileChangeEvent::MODIFIED);
    ASSERT_TRUE(SetFileAttributesW(native(L"a.txt").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(window.pumpUntil([&] { return count(folder, FileChangeEvent::MODIFIED) > before; }));
    EXPECT_EQ(0u, count(a, FileChangeEvent::MODIFIED));

    // A write after the resume is newer than the time recorded then.
    writeFile(L"a.txt", "z", true);
    ASSERT_TRUE(waitFor(a, FileChangeEvent::MODIFIED));
    for (const Seen& s : seen) {
        if (s.watch == a) {
            EXPECT_TRUE(s.hasInfo); // the last-write check needs it
        }
    }
}

TEST_F(FileWatcherTest, RemovedWatchGetsNothingOfItsQueuedEvents) {
    start(1000);
    makeFolder(L"other");
    writeFile(L"a.txt", "a");
    writeFile(L"other\\sentinel.txt", "s");
    FileWatchObject* a = watcher->addObserver(dev(L"a.txt").c_str(), false, nullptr);
    FileWatchObject* sentinel = watcher->addObserver(dev(L"other\\sentinel.txt").c_str(), false, nullptr);
    ASSERT_TRUE(a && sentinel);
    writeFile(L"a.txt", "x", true);
    ASSERT_TRUE(window.pumpUntil([&] { return watcher->queuedCount() > 0; }));
    watcher->removeObserver(a);
    EXPECT_EQ(1u, watcher->handleCount());
    writeFile(L"other\\sentinel.txt", "x", true);
    ASSERT_TRUE(waitFor(sentinel, FileChangeEvent::MODIFIED));
    EXPECT_TRUE(window.pumpUntil([&] { return watcher->queuedCount() == 0; }));
    for (const Seen& s : seen)
        EXPECT_EQ(sentinel, s.watch);
}

TEST_F(FileWatcherTest, RenameReachesTheOldNameOnly) {
    start(0);
    writeFile(L"a.txt", "a");
    writeFile(L"c.txt", "c");
    writeFile(L"sentinel.txt", "s");
    FileWatchObject* a = watcher->addObserver(dev(L"a.txt").c_str(), false, nullptr);
    FileWatchObject* c = watcher->addObserver(dev(L"c.txt").c_str(), false, nullptr);
    FileWatchObject* sentinel = watcher->addObserver(dev(L"sentinel.txt").c_str(), false, nullptr);
    ASSERT_TRUE(a && c && sentinel);
    ASSERT_TRUE(MoveFileExW(native(L"a.txt").c_str(), native(L"b.txt").c_str(), 0));
    ASSERT_TRUE(waitFor(a, FileChangeEvent::RENAMED, L"a.txt"));
    EXPECT_EQ(L"b.txt", seen.back().secondPath);
    ASSERT_TRUE(MoveFileExW(native(L"b.txt").c_str(), native(L"c.txt").c_str(), MOVEFILE_REPLACE_EXISTING));
    writeFile(L"sentinel.txt", "x", true);
    ASSERT_TRUE(waitFor(sentinel, FileChangeEvent::MODIFIED));
    EXPECT_EQ(0u, count(c, FileChangeEvent::RENAMED));
}

TEST_F(FileWatcherTest, FolderWatchFiltersAndFileInformation) {
    start(0);
    makeFolder(L"dir");
    FileWatchObject* all = watcher->addObserver(dev(L"dir\\").c_str(), false, nullptr);
    FileWatchObject* quiet = watcher->addObserver(dev(L"dir").c_str(), false, nullptr);
    ASSERT_TRUE(all && quiet);
    EXPECT_EQ(1u, watcher->handleCount()); // a trailing separator names the same folder
    watcher->changeFlags(all, FileWatchObject::INFO_ON_ADDED, 0);
    watcher->changeFlags(quiet, FileWatchObject::IGNORE_STRUCTURE | FileWatchObject::IGNORE_MODIFIED, 0);
    writeFile(L"dir\\new.txt", "12345");
    ASSERT_TRUE(waitFor(all, FileChangeEvent::ADDED, L"new.txt"));
    for (const Seen& s : seen) {
        EXPECT_EQ(all, s.watch);
        if (s.kind == FileChangeEvent::ADDED) {
            EXPECT_TRUE(s.hasInfo);
        }
    }
}

// Caught: a failed wake-up post was never repeated, and changes waited for good.
TEST_F(FileWatcherTest, DeliveryResumesWhenTheRegistryCanPostAgain) {
    makeWatcher(0); // the registry is not bound yet: every post fails
    writeFile(L"a.txt", "a");
    FileWatchObject* a = watcher->addObserver(dev(L"a.txt").c_str(), false, nullptr);
    ASSERT_NE(nullptr, a);
    writeFile(L"a.txt", "x", true);
    ASSERT_TRUE(window.pumpUntil([&] { return watcher->queuedCount() > 0; }));
    registry->init(window.handle());
    EXPECT_TRUE(waitFor(a, FileChangeEvent::MODIFIED));
}

// Caught: callbacks ran under the watcher's lock, so one that opened a watch waited for
// the pool, which waited for the watcher's lock to hand over the next change.
TEST_F(FileWatcherTest, CallbacksMayAddAndRemoveWatches) {
    start(0);
    makeFolder(L"one");
    makeFolder(L"two");
    writeFile(L"one\\a.txt", "a");
    writeFile(L"two\\b.txt", "b");
    FileWatchObject* first = watcher->addObserver(dev(L"one").c_str(), false, nullptr);
    ASSERT_NE(nullptr, first);
    FileWatchObject* second = nullptr;
    onCallback = [&](FileWatchObject* watch, FileChangeEvent*) {
        if (watch == first && !second) {
            second = watcher->addObserver(dev(L"two").c_str(), false, nullptr);
            watcher->removeObserver(first);
        }
    };
    // Keep the pool busy with changes while the callback opens a handle.
    for (int i = 0; i < 20; ++i)
        writeFile(L"one\\a.txt", "x", true);
    ASSERT_TRUE(window.pumpUntil([&] { return second != nullptr; }));
    writeFile(L"two\\b.txt", "y", true);
    EXPECT_TRUE(waitFor(second, FileChangeEvent::MODIFIED, L"b.txt"));
    EXPECT_EQ(1u, watcher->handleCount());
}

} // namespace
