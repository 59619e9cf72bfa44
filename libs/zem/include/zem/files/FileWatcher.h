// Watches files and folders of the virtual file system for main-thread code. Raw changes
// come from the watch pool on its threads, wait a moment on the watcher's own thread so
// that bursts collapse, and reach the watcher's callbacks on the main thread through the
// message registry, filtered by the state of the watch they belong to.
#pragma once
#include "zem/base/CallbackList.h"
#include "zem/base/MTRefObject.h"
#include "zem/files/WatchPoolEvent.h"
#include "zem/thread/CriticalSection.h"

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace zem {

class FileWatcher;
class FileWatcherThread;

// One watch. Reference counted: the watcher's map holds one reference until the watch is
// removed, and every event in flight for it holds one more.
class FileWatchObject : public MTRefObject<1> {
public:
    enum Flags : uint32_t {
        DIRECTORY = 0x001,         // the watched path is a folder
        RECURSIVE = 0x002,         // with DIRECTORY: sub-folders too
        INFO_ON_ADDED = 0x004,     // attach file information to added events
        INFO_ON_MODIFIED = 0x008,  // attach file information to modified events
        CHECK_LAST_WRITE = 0x010,  // file watch: drop modifications not newer than at the last resume
        IGNORE_MODIFIED = 0x020,   // drop modified events
        IGNORE_STRUCTURE = 0x040,  // drop added, removed and rename events
        KEEP_PENDING_MARK = 0x080, // MODIFY_PENDING stays set after delivery
        SUSPENDED = 0x100,         // nothing is delivered
        MODIFY_PENDING = 0x200,    // a modified event is on its way; later ones are dropped
        CLOSING = 0x400,           // removed; events still in flight are dropped
    };

    FileWatcher* getWatcher() const { return m_watcher; }
    // The path given to addObserver.
    const std::wstring& getPath() const { return m_path; }
    void* getUserData() const { return m_userData; }
    // A snapshot; change them through FileWatcher::changeFlags.
    uint32_t getFlags() const;
    bool isDirectory() const { return (getFlags() & DIRECTORY) != 0; }

private:
    friend class FileWatcher;
    struct HandleRecord;
    FileWatchObject(FileWatcher* watcher, const std::wstring& path, uint32_t flags, HandleRecord* handle,
                    uint32_t nameHash, void* userData);
    ~FileWatchObject() override;

    FileWatcher* m_watcher;
    std::wstring m_path;
    HandleRecord* m_handle; // shared with the other watches of its folder; valid while not CLOSING
    uint32_t m_nameHash;    // crc32StringNoCase of the file name; 0 for a folder watch
    void* m_userData;
    // Guarded by the watcher's lock:
    uint32_t m_flags;
    uint64_t m_ignoreBefore = 0;      // FILETIME; events not newer are dropped
    uint64_t m_recordedLastWrite = 0; // FILETIME read at the last resume (CHECK_LAST_WRITE)
};

class FileWatcher {
public:
    // Called on the main thread as function(user data, watch, event).
    typedef CallbackList<void(FileWatchObject*, FileChangeEvent*)> Callbacks;

    static constexpr int64_t DEFAULT_HOLD_BACK_MS = 200;

    // Main thread; the message registry must exist. A null name gives "FileWatcher",
    // which is also the name of the watcher's thread.
    explicit FileWatcher(const wchar_t* name = nullptr);
    // Main thread. Removes every watch and stops the thread.
    ~FileWatcher();
    FileWatcher(const FileWatcher&) = delete;
    FileWatcher& operator=(const FileWatcher&) = delete;

    // Main thread. Null when the path does not exist or its folder cannot be watched.
    // The watch's reference belongs to the watcher until removeObserver.
    FileWatchObject* addObserver(const wchar_t* path, bool recursive, void* userData);
    // Main thread; events of the watch still on their way are dropped.
    bool removeObserver(FileWatchObject* watch);
    // Main thread. A suspended watch delivers nothing; after resuming only changes newer
    // than the resume reach the callbacks.
    void setSuspended(FileWatchObject* watch, bool on);
    // Sets and clears flag bits of a watch (INFO_ON_..., CHECK_LAST_WRITE, IGNORE_...,
    // KEEP_PENDING_MARK, MODIFY_PENDING); the other bits have their own operations.
    void changeFlags(FileWatchObject* watch, uint32_t set, uint32_t clear);

    // How long a change waits before delivery, so that repeated changes collapse; a new
    // value applies to the changes already waiting.
    void setHoldBack(int64_t milliseconds);
    int64_t getHoldBack() const;
    // The priority of the watcher's thread (a THREAD_PRIORITY_... value); watchers that
    // serve background views run it below normal so bursts never compete with typing.
    void setThreadPriority(int priority);
    int getThreadPriority() const;
    bool hasThread() const { return m_thread != nullptr; }

    const std::wstring& getName() const { return m_name; }
    Callbacks& callbacks() { return m_callbacks; }

    // Diagnostics: open watch handles, watches, and changes not yet delivered.
    size_t handleCount() const;
    size_t watchCount() const;
    size_t queuedCount() const;

private:
    friend class FileWatcherThread;
    friend class FileWatchObject;
    typedef FileWatchObject::HandleRecord HandleRecord;
    typedef std::pair<FileWatchObject*, FileChangeEvent*> Pair; // each holds one reference on both

    // Pool thread.
    void onEvent(DirObserverHandle* handle, FileChangeEvent* event);
    // Watcher thread: moves the due pairs to the ready list. Returns the next wait in
    // milliseconds, or -1 to wait until woken.
    int workOffPending();
    // Watcher thread: drops everything still pending at stop.
    void releasePending();
    // Main thread: delivers the ready list.
    void deliver();
    bool shouldDeliver(FileWatchObject* watch, const FileChangeEvent* event);
    // Outside the lock: the event with file information when the watch wants it.
    static FileChangeEvent* refreshInfo(const std::wstring& fullPath, FileChangeEvent* event);
    static void releasePairs(std::vector<Pair>& pairs);

    std::wstring m_name;
    Callbacks m_callbacks; // main thread only
    FileWatcherThread* m_thread = nullptr;

    mutable CriticalSection m_lock;                                  // guards everything below
    std::map<uint64_t, HandleRecord*> m_handles;                     // folder key -> shared handle
    std::multimap<DirObserverHandle*, FileWatchObject*> m_observers; // one entry per watch
    std::deque<Pair> m_pending;                                      // oldest first, waiting for their hold-back
    std::vector<Pair> m_ready;                                       // due, waiting for the main thread
    int64_t m_holdBackMs = DEFAULT_HOLD_BACK_MS;
    bool m_pending_wakeup = false; // the thread has been woken for m_pending and not finished it
    bool m_wakeupPosted = false;   // a delivery message for m_ready is on its way
};

} // namespace zem
