#include "zem/files/WatchPool.h"
#include "support/TempFolder.h"
#include "support/WaitUntil.h"
#include "zem/base/Error.h"
#include "zem/thread/CriticalSection.h"
#include "zem/thread/Thread.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>
#include <windows.h>

namespace {

using zem::FileChangeEvent;
using zem::WatchPool;
using zemtest::appendNativeFile;

const DWORD EVENT_TIMEOUT_MS = 10000;

struct SeenEvent {
    FileChangeEvent::Kind kind;
    std::wstring path;
    std::wstring secondPath;
    uint32_t nameHash;
};

// Collects what the pool reports and lets the test wait for it with a time-out.
class Recorder : public zem::DirObserver {
public:
    Recorder() : m_arrived(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
    virtual ~Recorder() { CloseHandle(m_arrived); }

    void onEvent(zem::DirObserverHandle* handle, FileChangeEvent* event) override {
        (void)handle;
        {
            zem::CriticalSectionLock guard(m_lock);
            m_events.push_back(
                SeenEvent{event->getKind(), event->getPath(), event->getSecondPath(), event->getNameHash()});
        }
        SetEvent(m_arrived);
    }

    // Waits until an event matches; duplicates and their order do not matter.
    bool waitFor(const std::function<bool(const SeenEvent&)>& match, DWORD timeoutMs = EVENT_TIMEOUT_MS) {
        return zemtest::waitUntil([&] { return find(match); }, timeoutMs,
                                  [this](DWORD left) { WaitForSingleObject(m_arrived, left); });
    }
    bool find(const std::function<bool(const SeenEvent&)>& match) {
        zem::CriticalSectionLock guard(m_lock);
        for (const SeenEvent& e : m_events) {
            if (match(e))
                return true;
        }
        return false;
    }
    // What arrived, for failure messages: "kind:path>second" each.
    std::string dump() {
        zem::CriticalSectionLock guard(m_lock);
        std::wstring out;
        for (const SeenEvent& e : m_events)
            out += std::to_wstring(e.kind) + L":" + e.path + L">" + e.secondPath + L" ";
        return std::string(out.begin(), out.end());
    }
    size_t count() {
        zem::CriticalSectionLock guard(m_lock);
        return m_events.size();
    }

private:
    zem::CriticalSection m_lock;
    std::vector<SeenEvent> m_events; // guarded by m_lock
    HANDLE m_arrived;
};

std::function<bool(const SeenEvent&)> is(FileChangeEvent::Kind kind, const std::wstring& path) {
    return [=](const SeenEvent& e) { return e.kind == kind && e.path == path; };
}

class WatchPoolTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_root = zemtest::makeTempFolder(L"watchpool");
        ASSERT_FALSE(m_root.empty());
        m_pool = WatchPool::instance();
    }

    void TearDown() override {
        for (zem::DirObserverHandle* handle : m_open)
            m_pool->closeWatchHandle(handle);
        m_open.clear();
        EXPECT_EQ(0u, m_pool->folderCount());
        EXPECT_EQ(0u, m_pool->threadCount());
        WatchPool::release(m_pool);
        m_recorders.clear();
        zemtest::removeTree(m_root);
    }

    std::wstring folder(const std::wstring& name) {
        std::wstring path = m_root + name + L"\\";
        CreateDirectoryW(path.c_str(), nullptr);
        return path;
    }

    zem::DirObserverHandle* watch(const std::wstring& path, Recorder& recorder, uint32_t flags = 0) {
        zem::DirObserverHandle* handle = m_pool->openWatchHandle(path.c_str(), path.c_str(), &recorder, flags, 7);
        if (handle)
            m_open.push_back(handle);
        return handle;
    }

    void unwatch(zem::DirObserverHandle* handle) {
        for (auto it = m_open.begin(); it != m_open.end(); ++it) {
            if (*it == handle) {
                m_open.erase(it);
                break;
            }
        }
        EXPECT_TRUE(m_pool->closeWatchHandle(handle));
    }

    // Observers outlive the handles that call them: they go in TearDown.
    template <class T = Recorder> T& newRecorder() {
        T* recorder = new T();
        m_recorders.emplace_back(recorder);
        return *recorder;
    }

    std::wstring m_root;
    WatchPool* m_pool = nullptr;
    std::vector<std::unique_ptr<Recorder>> m_recorders;
    std::vector<zem::DirObserverHandle*> m_open;
};

TEST_F(WatchPoolTest, ReportsAddedModifiedRenamedAndRemovedEntries) {
    std::wstring dir = folder(L"plain");
    Recorder& recorder = newRecorder();
    zem::DirObserverHandle* handle = watch(dir, recorder);
    ASSERT_NE(nullptr, handle);
    EXPECT_EQ(dir, handle->getPath());
    EXPECT_EQ(&recorder, handle->getObserver());
    EXPECT_EQ(7u, handle->getUserValue());

    appendNativeFile(dir + L"a.txt", "one");
    EXPECT_TRUE(recorder.waitFor(is(FileChangeEvent::ADDED, L"a.txt")));
    appendNativeFile(dir + L"a.txt", "two");
    EXPECT_TRUE(recorder.waitFor(is(FileChangeEvent::MODIFIED, L"a.txt")));
    ASSERT_TRUE(MoveFileW((dir + L"a.txt").c_str(), (dir + L"b.txt").c_str()));
    EXPECT_TRUE(recorder.waitFor([](const SeenEvent& e) {
        return e.kind == FileChangeEvent::RENAMED && e.path == L"a.txt" && e.secondPath == L"b.txt" &&
               e.nameHash == zem::FileChangeEvent::nameHashOf(L"a.txt");
    }));
    ASSERT_TRUE(DeleteFileW((dir + L"b.txt").c_str()));
    EXPECT_TRUE(recorder.waitFor(is(FileChangeEvent::REMOVED, L"b.txt")));
}

TEST_F(WatchPoolTest, HandlesOnOneFolderShareItAndCloseIndependently) {
    std::wstring dir = folder(L"shared");
    Recorder& first = newRecorder();
    Recorder& second = newRecorder();
    Recorder& recursive = newRecorder();
    zem::DirObserverHandle* a = watch(dir, first);
    // The same folder spelled differently is still one folder.
    std::wstring other = dir;
    CharUpperBuffW(&other[0], static_cast<DWORD>(other.size()));
    other.pop_back();
    zem::DirObserverHandle* b = watch(other, second);
    ASSERT_NE(nullptr, a);
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(1u, m_pool->folderCount());
    ASSERT_NE(nullptr, watch(dir, recursive, zem::WATCH_RECURSIVE));
    EXPECT_EQ(2u, m_pool->folderCount());
    EXPECT_EQ(1u, m_pool->threadCount());

    appendNativeFile(dir + L"x", "1");
    EXPECT_TRUE(first.waitFor(is(FileChangeEvent::ADDED, L"x")));
    EXPECT_TRUE(second.waitFor(is(FileChangeEvent::ADDED, L"x")));
    EXPECT_TRUE(recursive.waitFor(is(FileChangeEvent::ADDED, L"x")));

    unwatch(a);
    EXPECT_EQ(2u, m_pool->folderCount());
    appendNativeFile(dir + L"y", "1");
    EXPECT_TRUE(second.waitFor(is(FileChangeEvent::ADDED, L"y")));
    EXPECT_FALSE(first.find(is(FileChangeEvent::ADDED, L"y")));
}

TEST_F(WatchPoolTest, RecursiveWatchReportsSubFolderEntriesWithoutNameHash) {
    std::wstring dir = folder(L"tree");
    Recorder& recorder = newRecorder();
    ASSERT_NE(nullptr, watch(dir, recorder, zem::WATCH_RECURSIVE));
    std::wstring sub = folder(L"tree\\sub");
    EXPECT_TRUE(recorder.waitFor(is(FileChangeEvent::ADDED, L"sub"))) << recorder.dump();
    appendNativeFile(sub + L"deep.txt", "1");
    EXPECT_TRUE(recorder.waitFor([](const SeenEvent& e) {
        return e.kind == FileChangeEvent::ADDED && e.path == L"sub\\deep.txt" && e.nameHash == 0;
    })) << recorder.dump();
}

TEST_F(WatchPoolTest, SixtyFourthFolderStartsASecondThreadThatStopsWithIt) {
    Recorder& recorder = newRecorder();
    std::vector<zem::DirObserverHandle*> handles;
    for (int i = 0; i < 63; ++i) {
        zem::DirObserverHandle* handle = watch(folder(L"f" + std::to_wstring(i)), recorder);
        ASSERT_NE(nullptr, handle) << i;
        handles.push_back(handle);
    }
    EXPECT_EQ(1u, m_pool->threadCount());
    std::wstring last = folder(L"f63");
    zem::DirObserverHandle* extra = watch(last, recorder);
    ASSERT_NE(nullptr, extra);
    EXPECT_EQ(2u, m_pool->threadCount());
    EXPECT_EQ(64u, m_pool->folderCount());

    // Both threads serve their folders.
    appendNativeFile(last + L"on-second", "1");
    appendNativeFile(m_root + L"f62\\on-first", "1");
    EXPECT_TRUE(recorder.waitFor(is(FileChangeEvent::ADDED, L"on-second")));
    EXPECT_TRUE(recorder.waitFor(is(FileChangeEvent::ADDED, L"on-first")));

    unwatch(extra);
    EXPECT_EQ(1u, m_pool->threadCount());
    EXPECT_EQ(63u, m_pool->folderCount());
}

// Caught: a folder that vanished tripped an assertion on the pool thread and silenced
// every other folder of that thread.
TEST_F(WatchPoolTest, VanishedFolderDropsOnlyItsOwnWatch) {
    std::wstring doomed = folder(L"doomed");
    std::wstring kept = folder(L"kept");
    Recorder& lost = newRecorder();
    Recorder& alive = newRecorder();
    ASSERT_NE(nullptr, watch(doomed, lost));
    ASSERT_NE(nullptr, watch(kept, alive));
    appendNativeFile(doomed + L"f", "1");
    EXPECT_TRUE(lost.waitFor(is(FileChangeEvent::ADDED, L"f")));
    ASSERT_TRUE(DeleteFileW((doomed + L"f").c_str()));
    ASSERT_TRUE(RemoveDirectoryW(doomed.c_str()));

    appendNativeFile(kept + L"still", "1");
    EXPECT_TRUE(alive.waitFor(is(FileChangeEvent::ADDED, L"still")));
    EXPECT_EQ(1u, m_pool->threadCount());
}

TEST_F(WatchPoolTest, BadFoldersAndHandlesFailWithTheirCodes) {
    Recorder& recorder = newRecorder();
    EXPECT_EQ(nullptr, watch(m_root + L"missing\\", recorder));
    uint32_t code = zem::lastErrorCode();
    EXPECT_TRUE(code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) << code;

    appendNativeFile(m_root + L"plain.txt", "1");
    EXPECT_EQ(nullptr, watch(m_root + L"plain.txt", recorder));
    EXPECT_EQ(static_cast<uint32_t>(ERROR_DIRECTORY), zem::lastErrorCode());

    EXPECT_EQ(nullptr, m_pool->openWatchHandle(nullptr, nullptr, &recorder, 0, 0));
    EXPECT_EQ(static_cast<uint32_t>(zem::ERR_INVALID_CALL), zem::lastErrorCode());
    EXPECT_EQ(nullptr, m_pool->openWatchHandle(m_root.c_str(), nullptr, nullptr, 0, 0));
    EXPECT_EQ(static_cast<uint32_t>(zem::ERR_INVALID_CALL), zem::lastErrorCode());

    zem::DirObserverHandle* handle = watch(m_root, recorder);
    ASSERT_NE(nullptr, handle);
    unwatch(handle);
    // Closing twice is refused rather than freeing the handle again.
    EXPECT_FALSE(m_pool->closeWatchHandle(handle));
    EXPECT_EQ(static_cast<uint32_t>(zem::ERR_INVALID_CALL), zem::lastErrorCode());
    EXPECT_EQ(0u, m_pool->folderCount());
}

// Closes its own handle from inside onEvent, on the pool thread.
class SelfClosingRecorder : public Recorder {
public:
    WatchPool* pool = nullptr;
    zem::DirObserverHandle* own = nullptr;
    bool closed = false;
    void onEvent(zem::DirObserverHandle* handle, FileChangeEvent* event) override {
        if (!closed && handle == own) {
            closed = pool->closeWatchHandle(handle);
        }
        Recorder::onEvent(handle, event);
    }
};

TEST_F(WatchPoolTest, ObserverMayCloseItsOwnHandleOnThePoolThread) {
    std::wstring dir = folder(L"self");
    SelfClosingRecorder& recorder = newRecorder<SelfClosingRecorder>();
    recorder.pool = m_pool;
    recorder.own = m_pool->openWatchHandle(dir.c_str(), dir.c_str(), &recorder, 0, 0);
    ASSERT_NE(nullptr, recorder.own);
    appendNativeFile(dir + L"a", "1");
    appendNativeFile(dir + L"b", "1");
    ASSERT_TRUE(recorder.waitFor([](const SeenEvent&) { return true; }));
    EXPECT_TRUE(recorder.closed);
    // The thread that closed its last folder retires; the next open or close joins it.
    Recorder& other = newRecorder();
    zem::DirObserverHandle* next = watch(folder(L"next"), other);
    ASSERT_NE(nullptr, next);
    unwatch(next);
    EXPECT_EQ(0u, m_pool->threadCount());
}

// An observer that takes the caller's lock inside onEvent, as a file watcher does.
class LockingRecorder : public Recorder {
public:
    zem::CriticalSection lock;
    HANDLE entered = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ~LockingRecorder() override { CloseHandle(entered); }
    void onEvent(zem::DirObserverHandle* handle, FileChangeEvent* event) override {
        SetEvent(entered);
        zem::CriticalSectionLock guard(lock);
        Recorder::onEvent(handle, event);
    }
};

// Caught: the pool called observers under its own lock, so opening a watch while holding
// the observer's lock deadlocked against a dispatch waiting for that lock.
TEST_F(WatchPoolTest, OpeningUnderTheObserversLockDoesNotDeadlockWithADispatch) {
    std::wstring dir = folder(L"locks");
    std::wstring fresh = folder(L"fresh");
    LockingRecorder& recorder = newRecorder<LockingRecorder>();
    Recorder& other = newRecorder();
    ASSERT_NE(nullptr, watch(dir, recorder));
    {
        zem::CriticalSectionLock guard(recorder.lock);
        appendNativeFile(dir + L"go", "1");
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(recorder.entered, EVENT_TIMEOUT_MS));
        // The pool thread now waits for the lock inside its dispatch. The same folder and
        // a new one served by that thread both open; an open that waited for the first read
        // of the new one would time out and fail.
        EXPECT_NE(nullptr, watch(dir, recorder));
        EXPECT_NE(nullptr, watch(fresh, other)) << "error " << zem::lastErrorCode();
    }
    EXPECT_TRUE(recorder.waitFor(is(FileChangeEvent::ADDED, L"go")));
    // The handle opened during the dispatch came back before its first read started;
    // another open waits for that read, after which no change is missed.
    ASSERT_NE(nullptr, watch(fresh, other));
    appendNativeFile(fresh + L"later", "1");
    EXPECT_TRUE(other.waitFor(is(FileChangeEvent::ADDED, L"later")));
}

} // namespace
