#include "zem/files/WatchPool.h"

#include "WatchPoolThread.h"
#include "zem/base/Assert.h"
#include "zem/base/Error.h"
#include "zem/base/Exception.h"
#include "zem/files/DirWatchService.h"
#include "zem/files/FileIFC.h"
#include "zem/files/Path.h"
#include "zem/log/LogManager.h"

#include <algorithm>

namespace zem {

namespace {

CriticalSection& instanceLock() {
    static CriticalSection lock;
    return lock;
}

WatchPool* s_instance = nullptr; // guarded by instanceLock()

uint32_t logSource() {
    return FileIFC::instance().logSource();
}

// Case folded as the file system compares names, without a trailing separator (a drive
// root keeps its own).
std::wstring folderKey(const std::wstring& path) {
    WorkString key(path.c_str(), path.size());
    while (key.length() > 1 && isPathSeparator(key.back()) && key[key.length() - 2] != L':')
        key.truncate(key.length() - 1);
    foldPathKey(key, L'\\');
    return key.str();
}

void failWith(DWORD code) {
    // A failure is never reported as success.
    setError(code ? code : ERROR_GEN_FAILURE);
}

} // namespace

DirObserverHandleWin32::DirObserverHandleWin32(DirObserver* observer, const wchar_t* path, uintptr_t userValue,
                                               WatchPoolEntry* entry)
    : m_observer(observer), m_path(path), m_userValue(userValue), m_entry(entry) {}

WatchPool* WatchPool::instance() {
    CriticalSectionLock guard(instanceLock());
    if (!s_instance)
        s_instance = new WatchPool();
    ++s_instance->m_refCount;
    return s_instance;
}

void WatchPool::release(WatchPool* instance) {
    CriticalSectionLock guard(instanceLock());
    ZEM_ASSERT_MSG(s_instance == instance && instance, L"s_instance == instance");
    if (--instance->m_refCount > 0)
        return;
    s_instance = nullptr;
    delete instance;
}

WatchPool::WatchPool() {
    InitializeConditionVariable(&m_dispatchDone);
}

WatchPool::~WatchPool() {
    // Handles still open here were leaked by their device; the folders go with the pool.
    std::vector<WatchPoolThread*> threads;
    std::set<DirObserverHandle*> handles;
    {
        CriticalSectionLock guard(m_lock);
        for (auto& item : m_entries)
            item.second->thread->detach(item.second);
        m_entries.clear();
        handles.swap(m_handles);
        threads.swap(m_threads);
        threads.insert(threads.end(), m_retired.begin(), m_retired.end());
        m_retired.clear();
    }
    // Joined first: a dispatch under way still uses the handles.
    for (WatchPoolThread* thread : threads)
        delete thread;
    for (DirObserverHandle* h : handles) {
        DirObserverHandleWin32* handle = static_cast<DirObserverHandleWin32*>(h);
        handle->m_entry->release();
        delete handle;
    }
}

size_t WatchPool::threadCount() {
    CriticalSectionLock guard(m_lock);
    return m_threads.size();
}

size_t WatchPool::folderCount() {
    CriticalSectionLock guard(m_lock);
    return m_entries.size();
}

bool WatchPool::assignThread(WatchPoolEntry* entry) {
    for (WatchPoolThread* thread : m_threads) {
        if (thread->accept(entry))
            return true;
    }
    WatchPoolThread* thread = new WatchPoolThread(this);
    try {
        thread->start();
    } catch (Exception& e) {
        delete thread;
        std::wstring text = e.message();
        logMessage(LOG_ERROR, logSource(), L"WatchPool: can't start a thread: %s\n", text.c_str());
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    m_threads.push_back(thread);
    bool accepted = thread->accept(entry);
    ZEM_ASSERT_MSG(accepted, L"a new WatchPool thread accepts its first folder");
    return true;
}

DirObserverHandleWin32* WatchPool::openWatchHandle(const wchar_t* nativePath, const wchar_t* virtualPath,
                                                   DirObserver* observer, uint32_t flags, uintptr_t userValue) {
    if (!nativePath || !*nativePath || !observer) {
        setError(ERR_INVALID_CALL);
        return nullptr;
    }
    bool recursive = (flags & WATCH_RECURSIVE) != 0;
    EntryKey key(folderKey(nativePath), recursive);
    std::vector<WatchPoolThread*> retired;
    DirObserverHandleWin32* handle = nullptr;
    WatchPoolThread* thread = nullptr;
    {
        CriticalSectionLock guard(m_lock);
        takeRetired(retired);
        WatchPoolEntry* entry = nullptr;
        auto it = m_entries.find(key);
        if (it != m_entries.end()) {
            entry = it->second;
        } else {
            entry = new WatchPoolEntry(nativePath, recursive);
            if (!entry->open() || !assignThread(entry)) {
                DWORD code = GetLastError();
                delete entry;
                failWith(code);
                return nullptr;
            }
            m_entries.emplace(key, entry);
        }
        handle = new DirObserverHandleWin32(observer, virtualPath ? virtualPath : nativePath, userValue, entry);
        entry->addRef();
        entry->handles.push_back(handle);
        m_handles.insert(handle);
        // Stays while the entry is attached, which our handle guarantees.
        thread = entry->thread;
    }
    for (WatchPoolThread* old : retired)
        delete old;
    // Outside the lock: the thread may be finishing a dispatch that needs it.
    if (!handle->m_entry->waitArmed(thread)) {
        DWORD code = GetLastError();
        closeWatchHandle(handle);
        failWith(code);
        return nullptr;
    }
    return handle;
}

bool WatchPool::closeWatchHandle(DirObserverHandle* h) {
    std::vector<WatchPoolThread*> retired;
    WatchPoolThread* stopped = nullptr;
    DirObserverHandleWin32* handle = nullptr;
    bool freeNow = true;
    {
        CriticalSectionLock guard(m_lock);
        auto found = m_handles.find(h);
        if (found == m_handles.end()) {
            setError(ERR_INVALID_CALL);
            return false;
        }
        m_handles.erase(found);
        handle = static_cast<DirObserverHandleWin32*>(h);
        WatchPoolEntry* entry = handle->m_entry;
        auto inEntry = std::find(entry->handles.begin(), entry->handles.end(), handle);
        ZEM_ASSERT_MSG(inEntry != entry->handles.end(), L"handle_removed == true");
        entry->handles.erase(inEntry);
        handle->m_closed = true;
        if (handle->m_dispatching > 0 && handle->m_dispatchThread == GetCurrentThreadId()) {
            // Closed by its own observer: the dispatch under way on this thread frees it.
            handle->m_freeByDispatcher = true;
            freeNow = false;
        }
        while (freeNow && handle->m_dispatching > 0)
            SleepConditionVariableCS(&m_dispatchDone, m_lock.native(), INFINITE);

        // The handles hold one reference each, the serving thread one more.
        entry->release();
        if (entry->getRefCount() == 1) {
            m_entries.erase(EntryKey(folderKey(entry->dirPath), entry->dirRecursive));
            WatchPoolThread* thread = entry->thread;
            if (thread->detach(entry)) {
                auto it = std::find(m_threads.begin(), m_threads.end(), thread);
                ZEM_ASSERT_MSG(it != m_threads.end(), L"it != m_threads.end()");
                m_threads.erase(it);
                if (thread->id() == GetCurrentThreadId()) {
                    // A thread can't join itself; the next open or close from elsewhere does.
                    thread->requestStop();
                    m_retired.push_back(thread);
                } else {
                    stopped = thread;
                }
            }
        }
        takeRetired(retired);
    }
    // Joining waits for a dispatch that may need the pool's lock: never under it.
    if (freeNow)
        delete handle;
    delete stopped;
    for (WatchPoolThread* old : retired)
        delete old;
    return true;
}

void WatchPool::takeRetired(std::vector<WatchPoolThread*>& out) {
    DWORD self = GetCurrentThreadId();
    for (auto it = m_retired.begin(); it != m_retired.end();) {
        if ((*it)->id() == self) {
            ++it;
            continue;
        }
        out.push_back(*it);
        it = m_retired.erase(it);
    }
}

void WatchPool::dispatch(WatchPoolEntry* entry, const std::vector<FileChangeEvent*>& events) {
    // Observers run without the pool's lock, so that one may open a watch while holding
    // the lock it takes in onEvent; closing waits for the dispatch instead.
    std::vector<DirObserverHandleWin32*> targets;
    {
        CriticalSectionLock guard(m_lock);
        targets = entry->handles;
        for (DirObserverHandleWin32* handle : targets) {
            ++handle->m_dispatching;
            handle->m_dispatchThread = GetCurrentThreadId();
        }
    }
    for (FileChangeEvent* event : events) {
        for (DirObserverHandleWin32* handle : targets) {
            if (handle->m_closed)
                continue;
            try {
                handle->m_observer->onEvent(handle, event);
            } catch (Exception& e) {
                std::wstring text = e.message();
                logMessage(LOG_ERROR, logSource(), L"WatchPool: observer failed: %s\n", text.c_str());
            } catch (...) {
                logMessage(LOG_ERROR, logSource(), L"WatchPool: observer failed\n");
            }
        }
    }
    for (FileChangeEvent* event : events)
        event->release();
    std::vector<DirObserverHandleWin32*> toFree;
    {
        CriticalSectionLock guard(m_lock);
        for (DirObserverHandleWin32* handle : targets) {
            if (--handle->m_dispatching == 0 && handle->m_freeByDispatcher)
                toFree.push_back(handle);
        }
        WakeAllConditionVariable(&m_dispatchDone);
    }
    for (DirObserverHandleWin32* handle : toFree)
        delete handle;
}

// The disk device reaches the pool through these.
WatchPool* watchPoolAcquire() {
    return WatchPool::instance();
}

void watchPoolRelease(WatchPool* pool) {
    WatchPool::release(pool);
}

DirObserverHandle* watchPoolOpenHandle(WatchPool* pool, const wchar_t* nativePath, const wchar_t* virtualPath,
                                       DirObserver* observer, bool recursive, uintptr_t userValue) {
    if (!pool) {
        setError(ERR_INVALID_CALL);
        return nullptr;
    }
    return pool->openWatchHandle(nativePath, virtualPath, observer, recursive ? WATCH_RECURSIVE : 0, userValue);
}

bool watchPoolCloseHandle(WatchPool* pool, DirObserverHandle* handle) {
    if (!pool) {
        setError(ERR_INVALID_CALL);
        return false;
    }
    return pool->closeWatchHandle(handle);
}

} // namespace zem
