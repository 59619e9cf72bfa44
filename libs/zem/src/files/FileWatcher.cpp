#include "zem/files/FileWatcher.h"

#include "zem/base/Assert.h"
#include "zem/base/Clock.h"
#include "zem/base/Crc.h"
#include "zem/base/Exception.h"
#include "zem/files/FileIO.h"
#include "zem/files/Path.h"
#include "zem/log/LogManager.h"
#include "zem/thread/MessageRegistry.h"
#include "zem/thread/Semaphore.h"
#include "zem/thread/Thread.h"

#include <algorithm>
#include <cwchar>
#include <limits>

namespace zem {

namespace {

constexpr uint64_t FILETIME_PER_MS = 10000;
// While a delivery message could not be posted (queue full, registry not bound yet),
// the thread tries again after this long.
constexpr int POST_RETRY_MS = 50;

void logCallbackFailure(const wchar_t* what) {
    logMessage(LOG_ERROR, LOG_INTERNAL_SOURCE, L"FileWatcher: callback failed: %s\n", what);
}

// Cuts a file path to its folder, separator included, and returns where the file name
// began. A file right below a device's root ("user:debug.log") keeps the device prefix
// ("user:"); a bare name becomes ".\".
size_t cutToFolder(WorkString& path) {
    int separator = lastSeparatorIndex(path.c_str(), static_cast<int>(path.length()));
    if (separator >= 0) {
        path.truncate(static_cast<size_t>(separator) + 1);
        return path.length();
    }
    const wchar_t* colon = wcschr(path.c_str(), L':');
    if (colon) {
        path.truncate(static_cast<size_t>(colon - path.c_str()) + 1);
        return path.length();
    }
    removeFileName(path);
    return 0;
}

} // namespace

struct FileWatchObject::HandleRecord {
    uint64_t key;
    DirObserverHandle* handle; // closed outside the watcher's lock
    int useCount;              // watches sharing it; guarded by the watcher's lock
};

// The watcher's thread: receives the pool's events, holds them back and wakes the main
// thread. Created and destroyed on the main thread (it is a MessageListener).
class FileWatcherThread : public LegacyThread, public DirObserver, public MessageListener {
public:
    explicit FileWatcherThread(FileWatcher* watcher)
        : LegacyThread(watcher->getName()), m_wake(0, 16), m_watcher(watcher) {}
    ~FileWatcherThread() override { stopAndJoin(); }

    bool requestStop() override {
        LegacyThread::requestStop();
        m_wake.release();
        return true;
    }

    int run() override {
        int waitMs = -1;
        for (;;) {
            m_wake.wait(waitMs);
            if (stopRequested()) {
                m_watcher->releasePending();
                return 0;
            }
            waitMs = m_watcher->workOffPending();
        }
    }

    void wake() { m_wake.release(); }

    void onEvent(DirObserverHandle* handle, FileChangeEvent* event) override { m_watcher->onEvent(handle, event); }

    void onMessage(const MessagePayload*) override { m_watcher->deliver(); }

private:
    Semaphore m_wake;
    FileWatcher* m_watcher;
};

// ---- FileWatchObject ----

FileWatchObject::FileWatchObject(FileWatcher* watcher, const std::wstring& path, uint32_t flags, HandleRecord* handle,
                                 uint32_t nameHash, void* userData)
    : m_watcher(watcher), m_path(path), m_handle(handle), m_nameHash(nameHash), m_userData(userData), m_flags(flags) {}

FileWatchObject::~FileWatchObject() {
    // Destructors must not throw: a watch freed without being removed is reported.
    if (!(m_flags & CLOSING))
        logMessage(LOG_CRITICAL, LOG_INTERNAL_SOURCE, L"FileWatchObject: m_flags.f_closing == 1 failed\n");
}

uint32_t FileWatchObject::getFlags() const {
    CriticalSectionLock guard(m_watcher->m_lock);
    return m_flags;
}

// ---- FileWatcher ----

FileWatcher::FileWatcher(const wchar_t* name) : m_name(name ? name : L"FileWatcher") {
    ZEM_ASSERT_MSG(MessageRegistry::instance() != nullptr, L"s_instance != NULL");
    m_thread = new FileWatcherThread(this);
    m_thread->start();
}

FileWatcher::~FileWatcher() {
    std::vector<FileWatchObject*> watches;
    std::vector<DirObserverHandle*> handles;
    {
        CriticalSectionLock guard(m_lock);
        for (auto& entry : m_observers) {
            entry.second->m_flags |= FileWatchObject::CLOSING;
            watches.push_back(entry.second);
        }
        m_observers.clear();
        for (auto& entry : m_handles) {
            handles.push_back(entry.second->handle);
            delete entry.second;
        }
        m_handles.clear();
    }
    // Closed outside the lock: the pool may be delivering to us under its own lock.
    for (DirObserverHandle* handle : handles)
        fileCloseWatchHandle(handle);
    for (FileWatchObject* watch : watches)
        watch->release();
    delete m_thread; // stops and joins; the thread drops what was still pending
    m_thread = nullptr;
    std::vector<Pair> ready;
    {
        CriticalSectionLock guard(m_lock);
        ready.swap(m_ready);
        for (Pair& pair : m_pending)
            ready.push_back(pair);
        m_pending.clear();
    }
    releasePairs(ready);
}

FileWatchObject* FileWatcher::addObserver(const wchar_t* path, bool recursive, void* userData) {
    checkMainThread();
    if (!path || !*path)
        return nullptr;
    FileInfo info;
    if (!fileGetAttributes(path, &info))
        return nullptr;
    uint32_t flags = 0;
    uint32_t nameHash = 0;
    WorkString folder(path);
    if (info.isDirectory()) {
        flags = FileWatchObject::DIRECTORY;
        if (recursive)
            flags |= FileWatchObject::RECURSIVE;
        // "C:\" keeps its separator: without it the text names the drive's current folder.
        size_t n = folder.length();
        if (n > 1 && isPathSeparator(folder.back()) && folder[n - 2] != L':')
            removeTrailingSeparator(folder);
    } else {
        recursive = false;
        size_t nameStart = cutToFolder(folder);
        nameHash = crc32StringNoCase(path + nameStart);
    }
    uint64_t key = fileGetPathHash64(folder.c_str(), nullptr);
    if (key == 0xFFFFFFFFu)
        return nullptr;
    if (recursive)
        key = crc64UpdateChar(key, L'\\');

    HandleRecord* record = nullptr;
    {
        CriticalSectionLock guard(m_lock);
        auto it = m_handles.find(key);
        if (it != m_handles.end()) {
            record = it->second;
            ++record->useCount;
        }
    }
    if (!record) {
        // Opened outside the lock: the device table and the pool take their own locks, and
        // the pool calls onEvent (which takes ours) while holding its lock.
        DirObserverHandle* handle = fileOpenWatchHandle(folder.c_str(), m_thread, recursive);
        if (!handle) {
            logMessage(LOG_ERROR, LOG_INTERNAL_SOURCE, L"Can't create directory observer on '%s'\n", folder.c_str());
            return nullptr;
        }
        DirObserverHandle* spare = nullptr;
        {
            CriticalSectionLock guard(m_lock);
            auto it = m_handles.find(key);
            if (it != m_handles.end()) {
                // A callback added the same folder meanwhile: share its handle.
                record = it->second;
                ++record->useCount;
                spare = handle;
            } else {
                record = new HandleRecord{key, handle, 1};
                m_handles.emplace(key, record);
            }
        }
        if (spare)
            fileCloseWatchHandle(spare);
    }
    FileWatchObject* watch = new FileWatchObject(this, path, flags, record, nameHash, userData);
    CriticalSectionLock guard(m_lock);
    m_observers.emplace(record->handle, watch);
    return watch;
}

bool FileWatcher::removeObserver(FileWatchObject* watch) {
    checkMainThread();
    ZEM_ASSERT_MSG(watch && watch->m_watcher == this, L"obj && (obj->m_watcher == this)");
    DirObserverHandle* freed = nullptr;
    {
        CriticalSectionLock guard(m_lock);
        ZEM_ASSERT_MSG((watch->m_flags & FileWatchObject::CLOSING) == 0, L"object->getFlags().f_closing == 0");
        watch->m_flags |= FileWatchObject::CLOSING;
        HandleRecord* record = watch->m_handle;
        bool handle_removed = false;
        auto range = m_observers.equal_range(record->handle);
        for (auto it = range.first; it != range.second; ++it) {
            if (it->second == watch) {
                m_observers.erase(it);
                handle_removed = true;
                break;
            }
        }
        ZEM_ASSERT(handle_removed == true);
        if (--record->useCount == 0) {
            m_handles.erase(record->key);
            freed = record->handle;
            delete record;
        }
        watch->m_handle = nullptr;
    }
    watch->release();
    if (freed)
        fileCloseWatchHandle(freed);
    return true;
}

void FileWatcher::setSuspended(FileWatchObject* watch, bool on) {
    checkMainThread();
    ZEM_ASSERT_MSG(watch && watch->m_watcher == this, L"obj && (obj->m_watcher == this)");
    bool checkLastWrite = false;
    {
        CriticalSectionLock guard(m_lock);
        bool suspended = (watch->m_flags & FileWatchObject::SUSPENDED) != 0;
        if (suspended == on)
            return;
        if (on) {
            watch->m_flags |= FileWatchObject::SUSPENDED;
            watch->m_ignoreBefore = std::numeric_limits<uint64_t>::max();
            return;
        }
        checkLastWrite = (watch->m_flags & FileWatchObject::CHECK_LAST_WRITE) != 0;
    }
    // The file system is asked outside the lock (see addObserver).
    FileInfo info;
    bool haveInfo = checkLastWrite && fileGetAttributes(watch->m_path.c_str(), &info);
    uint64_t now = currentFileTime();
    CriticalSectionLock guard(m_lock);
    watch->m_flags &= ~FileWatchObject::SUSPENDED;
    watch->m_ignoreBefore = now;
    if (haveInfo)
        watch->m_recordedLastWrite = info.lastWriteTime;
}

void FileWatcher::changeFlags(FileWatchObject* watch, uint32_t set, uint32_t clear) {
    ZEM_ASSERT_MSG(watch && watch->m_watcher == this, L"obj && (obj->m_watcher == this)");
    const uint32_t changeable = FileWatchObject::INFO_ON_ADDED | FileWatchObject::INFO_ON_MODIFIED |
                                FileWatchObject::CHECK_LAST_WRITE | FileWatchObject::IGNORE_MODIFIED |
                                FileWatchObject::IGNORE_STRUCTURE | FileWatchObject::KEEP_PENDING_MARK |
                                FileWatchObject::MODIFY_PENDING;
    ZEM_ASSERT_MSG(((set | clear) & ~changeable) == 0, L"only the changeable watch flags are changed");
    CriticalSectionLock guard(m_lock);
    watch->m_flags = (watch->m_flags & ~clear) | set;
}

void FileWatcher::setThreadPriority(int priority) {
    ZEM_ASSERT_MSG(m_thread != nullptr, L"m_watcher_thread");
    m_thread->setPriority(priority);
}

int FileWatcher::getThreadPriority() const {
    ZEM_ASSERT_MSG(m_thread != nullptr, L"m_watcher_thread");
    return m_thread->priority();
}

void FileWatcher::setHoldBack(int64_t milliseconds) {
    bool wake;
    {
        CriticalSectionLock guard(m_lock);
        m_holdBackMs = milliseconds < 0 ? 0 : milliseconds;
        wake = !m_pending.empty();
    }
    // The thread sleeps until the first pending change was due under the old hold-back.
    if (wake && m_thread)
        m_thread->wake();
}

int64_t FileWatcher::getHoldBack() const {
    CriticalSectionLock guard(m_lock);
    return m_holdBackMs;
}

size_t FileWatcher::handleCount() const {
    CriticalSectionLock guard(m_lock);
    return m_handles.size();
}

size_t FileWatcher::watchCount() const {
    CriticalSectionLock guard(m_lock);
    return m_observers.size();
}

size_t FileWatcher::queuedCount() const {
    CriticalSectionLock guard(m_lock);
    return m_pending.size() + m_ready.size();
}

void FileWatcher::onEvent(DirObserverHandle* handle, FileChangeEvent* event) {
    bool wake = false;
    {
        CriticalSectionLock guard(m_lock);
        bool queued = false;
        auto range = m_observers.equal_range(handle);
        for (auto it = range.first; it != range.second; ++it) {
            FileWatchObject* watch = it->second;
            if (!(watch->m_flags & FileWatchObject::CLOSING)) {
                if (!(watch->m_flags & FileWatchObject::DIRECTORY) && event->getNameHash() != watch->m_nameHash)
                    continue;
                if (event->getKind() == FileChangeEvent::MODIFIED) {
                    if (watch->m_flags & FileWatchObject::MODIFY_PENDING)
                        continue; // one modification on its way is enough
                    watch->m_flags |= FileWatchObject::MODIFY_PENDING;
                }
            }
            watch->addRef();
            event->addRef();
            m_pending.emplace_back(watch, event);
            queued = true;
        }
        if (queued && !m_pending_wakeup) {
            m_pending_wakeup = true;
            wake = true;
        }
    }
    if (wake)
        m_thread->wake();
}

FileChangeEvent* FileWatcher::refreshInfo(const std::wstring& fullPath, FileChangeEvent* event) {
    FileInfo info;
    if (!fileGetAttributes(fullPath.c_str(), &info))
        return event;
    FileChangeEvent* copy = event->copyWithInfo(info);
    event->release();
    return copy;
}

int FileWatcher::workOffPending() {
    struct Due {
        Pair pair;
        bool wantsInfo;
        std::wstring fullPath;
    };
    std::vector<Due> due;
    {
        // Also runs on a time-out with nothing pending, to retry a delivery post that failed.
        CriticalSectionLock guard(m_lock);
        uint64_t now = currentFileTime();
        uint64_t holdBack = static_cast<uint64_t>(m_holdBackMs) * FILETIME_PER_MS;
        while (!m_pending.empty() && m_pending.front().second->getTime() + holdBack <= now) {
            Pair pair = m_pending.front();
            m_pending.pop_front();
            FileWatchObject* watch = pair.first;
            uint32_t flags = watch->m_flags;
            bool isFile = !(flags & FileWatchObject::DIRECTORY);
            bool wantsInfo = false;
            switch (pair.second->getKind()) {
            case FileChangeEvent::ADDED:
                wantsInfo = (flags & FileWatchObject::INFO_ON_ADDED) != 0;
                break;
            case FileChangeEvent::MODIFIED:
                wantsInfo =
                    (flags & FileWatchObject::INFO_ON_MODIFIED) ||
                    (isFile && (flags & FileWatchObject::CHECK_LAST_WRITE) && !(flags & FileWatchObject::SUSPENDED));
                break;
            default:
                break;
            }
            if (flags & FileWatchObject::CLOSING)
                wantsInfo = false;
            std::wstring fullPath;
            if (wantsInfo) {
                fullPath = watch->m_path;
                if (!isFile) {
                    if (!fullPath.empty() && !isPathSeparator(fullPath.back()))
                        fullPath += L'\\';
                    fullPath += pair.second->getPath();
                }
            }
            due.push_back(Due{pair, wantsInfo, fullPath});
        }
    }
    // The file system is asked outside the lock: the pool thread holds its lock while it
    // waits for ours in onEvent, and the device table lock comes before the pool's.
    for (Due& d : due) {
        if (d.wantsInfo)
            d.pair.second = refreshInfo(d.fullPath, d.pair.second);
    }
    CriticalSectionLock guard(m_lock);
    for (Due& d : due)
        m_ready.push_back(d.pair);
    int waitMs = -1;
    if (!m_ready.empty() && !m_wakeupPosted) {
        if (m_thread->post(nullptr))
            m_wakeupPosted = true;
        else
            waitMs = POST_RETRY_MS; // a lost wake-up would stall delivery for good
    }
    if (m_pending.empty()) {
        m_pending_wakeup = false;
        return waitMs;
    }
    uint64_t now = currentFileTime();
    uint64_t dueAt = m_pending.front().second->getTime() + static_cast<uint64_t>(m_holdBackMs) * FILETIME_PER_MS;
    uint64_t untilDue = dueAt > now ? (dueAt - now + FILETIME_PER_MS - 1) / FILETIME_PER_MS : 1;
    int untilDueMs = static_cast<int>(std::min<uint64_t>(std::max<uint64_t>(untilDue, 1), 0x7FFFFFFF));
    return waitMs < 0 ? untilDueMs : std::min(waitMs, untilDueMs);
}

void FileWatcher::releasePending() {
    std::vector<Pair> pending;
    {
        CriticalSectionLock guard(m_lock);
        pending.assign(m_pending.begin(), m_pending.end());
        m_pending.clear();
        m_pending_wakeup = false;
    }
    releasePairs(pending);
}

void FileWatcher::releasePairs(std::vector<Pair>& pairs) {
    for (Pair& pair : pairs) {
        pair.second->release();
        pair.first->release();
    }
    pairs.clear();
}

bool FileWatcher::shouldDeliver(FileWatchObject* watch, const FileChangeEvent* event) {
    CriticalSectionLock guard(m_lock);
    uint32_t flags = watch->m_flags;
    bool modified = event->getKind() == FileChangeEvent::MODIFIED;
    if (modified && !(flags & FileWatchObject::KEEP_PENDING_MARK))
        watch->m_flags &= ~FileWatchObject::MODIFY_PENDING;
    if (event->getTime() <= watch->m_ignoreBefore)
        return false;
    if (!(flags & FileWatchObject::DIRECTORY) && (flags & FileWatchObject::CHECK_LAST_WRITE) && event->getFileInfo() &&
        event->getFileInfo()->lastWriteTime <= watch->m_recordedLastWrite)
        return false;
    if (flags & FileWatchObject::CLOSING)
        return false;
    if (modified && (flags & FileWatchObject::IGNORE_MODIFIED))
        return false;
    if (!modified && (flags & FileWatchObject::IGNORE_STRUCTURE))
        return false;
    return true;
}

void FileWatcher::deliver() {
    std::vector<Pair> ready;
    {
        CriticalSectionLock guard(m_lock);
        m_wakeupPosted = false;
        ready.swap(m_ready);
    }
    // Callbacks run without the lock, so that they may add and remove watches (which open
    // and close handles under the device table's and the pool's locks). A watch removed by
    // an earlier callback is CLOSING by the time its turn comes.
    for (Pair& pair : ready) {
        if (!shouldDeliver(pair.first, pair.second))
            continue;
        try {
            m_callbacks.invoke(pair.first, pair.second);
        } catch (Exception& e) {
            std::wstring text = e.message();
            logCallbackFailure(text.c_str());
        } catch (std::exception& e) {
            logMessage(LOG_ERROR, LOG_INTERNAL_SOURCE, L"FileWatcher: callback failed: %S\n", e.what());
        } catch (...) {
            logCallbackFailure(L"unknown exception");
        }
    }
    releasePairs(ready);
}

} // namespace zem
