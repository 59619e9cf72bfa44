// The process-wide pool that watches native directories for the disk device: one open
// directory per (folder, recursive) pair, shared by every handle on it, read with
// overlapped ReadDirectoryChangesW on "WatchPool" threads of up to 63 folders each.
// Completed reads become FileChangeEvents handed to each handle's DirObserver on the
// pool thread.
#pragma once
#include "zem/files/File.h"
#include "zem/files/WatchPoolEvent.h"
#include "zem/thread/CriticalSection.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace zem {

class WatchPoolThread;
struct WatchPoolEntry;

// Bit 0 of the flags given to WatchPool::openWatchHandle.
constexpr uint32_t WATCH_RECURSIVE = 0x1;

// What WatchPool::openWatchHandle returns; the disk device stores itself in it.
class DirObserverHandleWin32 : public DirObserverHandle {
public:
    bool isValid() const override { return true; }
    const wchar_t* getPath() const override { return m_path.c_str(); }
    DirObserver* getObserver() const override { return m_observer; }
    uintptr_t getUserValue() const override { return m_userValue; }
    void setUserValue(uintptr_t value) override { m_userValue = value; }
    FileDevice* getDevice() const override { return m_device; }
    void setDevice(FileDevice* device) override { m_device = device; }

private:
    friend class WatchPool;
    DirObserverHandleWin32(DirObserver* observer, const wchar_t* path, uintptr_t userValue, WatchPoolEntry* entry);
    ~DirObserverHandleWin32() override = default;

    DirObserver* m_observer;
    std::wstring m_path;
    uintptr_t m_userValue;
    FileDevice* m_device = nullptr;
    WatchPoolEntry* m_entry;
    // Set when the handle is closed; read by its dispatching thread without the lock so
    // that no further event reaches a closed handle.
    std::atomic<bool> m_closed{false};
    // Guarded by the pool's lock: dispatches under way that include this handle, and the
    // thread that runs them. A handle closed from that thread itself is freed by the
    // dispatch when it ends (m_freeByDispatcher).
    int m_dispatching = 0;
    DWORD m_dispatchThread = 0;
    bool m_freeByDispatcher = false;
};

class WatchPool {
public:
    static constexpr size_t MAX_FOLDERS_PER_THREAD = 63;

    // Takes one reference on the process-wide pool, creating it on first use. The disk
    // device holds one for its lifetime.
    static WatchPool* instance();
    // Gives back a reference taken by instance(); the last one deletes the pool.
    static void release(WatchPool* instance);

    // Watches the native folder (its path ends in '\'). virtualPath is what the caller
    // asked for and what the handle reports. Returns once the folder's first read has
    // started, so no later change is missed; only while the serving thread is busy in an
    // observer does it return after a short wait instead (the caller may hold a lock that
    // observer waits for). Null on failure, with the Win32 code in the thread's error
    // record and in GetLastError; the caller adds the path.
    DirObserverHandleWin32* openWatchHandle(const wchar_t* nativePath, const wchar_t* virtualPath,
                                            DirObserver* observer, uint32_t flags, uintptr_t userValue);
    // Once this returns, the handle's observer is not called again and the handle is
    // gone. Must not be called while holding a lock that the observer takes in onEvent.
    // False (0x20000000) for a handle the pool does not know.
    bool closeWatchHandle(DirObserverHandle* handle);

    // Diagnostics: pool threads running, and folders open.
    size_t threadCount();
    size_t folderCount();

private:
    friend class WatchPoolThread;
    WatchPool();
    ~WatchPool();
    WatchPool(const WatchPool&) = delete;
    WatchPool& operator=(const WatchPool&) = delete;

    // Pool thread: hands the events of one completed read to the entry's handles.
    void dispatch(WatchPoolEntry* entry, const std::vector<FileChangeEvent*>& events);
    // Finds a thread with room for the entry, starting one when all are full.
    bool assignThread(WatchPoolEntry* entry);
    // Takes the threads that retired themselves and are not the calling one (under m_lock).
    void takeRetired(std::vector<WatchPoolThread*>& out);

    // The key of a folder: its path upper-cased without a trailing separator, and the
    // recursive flag. Keyed by the text itself so that two folders never share an entry.
    typedef std::pair<std::wstring, bool> EntryKey;

    CriticalSection m_lock;
    std::map<EntryKey, WatchPoolEntry*> m_entries; // guarded by m_lock; attached entries
    std::set<DirObserverHandle*> m_handles;        // guarded by m_lock; open handles
    std::vector<WatchPoolThread*> m_threads;       // guarded by m_lock
    // Guarded by m_lock: threads that ran out of folders while closing from their own
    // thread; joined later from another thread.
    std::vector<WatchPoolThread*> m_retired;
    CONDITION_VARIABLE m_dispatchDone; // with m_lock: a dispatch ended
    int m_refCount = 0;                // guarded by the process-wide instance lock
};

} // namespace zem
