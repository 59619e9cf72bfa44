// The watch pool's inside: one watched folder (an entry) and the "WatchPool" thread that
// keeps up to 63 of them reading.
#pragma once
#include "zem/base/MTRefObject.h"
#include "zem/files/WatchPool.h"
#include "zem/files/WatchPoolRecordParser.h"
#include "zem/thread/Semaphore.h"
#include "zem/thread/Thread.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>
#include <windows.h>

namespace zem {

// Owns a kernel handle; INVALID_HANDLE_VALUE and null both mean none.
class WatchPoolKernelHandle {
public:
    WatchPoolKernelHandle() = default;
    explicit WatchPoolKernelHandle(HANDLE handle) : m_handle(handle) {}
    ~WatchPoolKernelHandle() { reset(); }
    WatchPoolKernelHandle(const WatchPoolKernelHandle&) = delete;
    WatchPoolKernelHandle& operator=(const WatchPoolKernelHandle&) = delete;

    HANDLE get() const { return m_handle; }
    bool valid() const { return m_handle && m_handle != INVALID_HANDLE_VALUE; }
    void reset(HANDLE handle = nullptr) {
        if (valid())
            CloseHandle(m_handle);
        m_handle = handle;
    }

private:
    HANDLE m_handle = nullptr;
};

// One watched (folder, recursive) pair. References: one per open handle and one while a
// thread holds it; the last release frees it, so it is always freed by its thread once
// the thread has taken its outstanding read back.
struct WatchPoolEntry : public MTRefObject<0> {
    static constexpr DWORD BUFFER_SIZE = 8192;
    // Every change but the last-access time.
    static constexpr DWORD NOTIFY_FILTER = 0x15F;

    WatchPoolEntry(const std::wstring& path, bool recursive);
    ~WatchPoolEntry() override;

    // Opens the folder and its events; false with GetLastError set.
    bool open();
    // Waits until the thread has started the first read, so that no change made after
    // the caller got its handle is missed. False (GetLastError set) when it could not.
    // While the thread is busy handing events to observers the wait is cut short: the
    // caller may hold a lock an observer waits for.
    bool waitArmed(WatchPoolThread* thread);
    // Starts the next read; false (GetLastError set) when the folder can't be read any more.
    bool arm();
    // Takes back a read still outstanding; only the thread that started it may.
    void cancel();

    const std::wstring dirPath;
    const bool dirRecursive;
    WatchPoolKernelHandle directory;
    WatchPoolKernelHandle event;
    // Set by the thread once the first read was started, or found impossible (dead).
    WatchPoolKernelHandle firstArming;
    OVERLAPPED overlapped;
    DWORD bytesReturned = 0;
    std::unique_ptr<DWORD[]> buffer; // BUFFER_SIZE bytes, DWORD-aligned as the records need

    // Guarded by the serving thread's lock.
    WatchPoolThread* thread = nullptr; // null once detached
    bool needsArming = true;
    bool dead = false; // the folder can no longer be read: it takes no wait slot
    // Written by the thread before it sets firstArming, never after.
    DWORD firstArmError = 0;
    bool reading = false; // a read is outstanding

    // Guarded by m_lock of the pool: the open handles on this folder, in opening order.
    std::vector<DirObserverHandleWin32*> handles;

    // Touched only by the serving thread.
    WatchPoolRecordParser parser;
};

class WatchPoolThread : public LegacyThread {
public:
    explicit WatchPoolThread(WatchPool* pool);
    ~WatchPoolThread() override;

    bool requestStop() override;
    int run() override;

    // Takes the entry unless 63 attached entries are held already (caller holds the pool lock).
    bool accept(WatchPoolEntry* entry);
    // Lets the entry go; true when the thread has no attached entry left (caller holds
    // the pool lock).
    bool detach(WatchPoolEntry* entry);
    bool isDispatching() const { return m_dispatching; }

private:
    // Drops detached entries, arms new ones and fills the wait array.
    void rebuild();
    void serve(WatchPoolEntry* entry);
    void wake();

    WatchPool* m_pool;
    // m_lock (from LegacyThread) guards m_entries and the entries' thread-side flags.
    std::vector<WatchPoolEntry*> m_entries; // each holds one reference
    Semaphore m_wakeup{0, 16};
    // Touched only by the thread itself: slot 0 the semaphore, slot n the event of
    // m_slotEntries[n - 1].
    HANDLE m_waitArray[MAXIMUM_WAIT_OBJECTS];
    WatchPoolEntry* m_slotEntries[MAXIMUM_WAIT_OBJECTS - 1];
    DWORD m_waitCount = 0;
    std::atomic<bool> m_dispatching{false}; // events of a read are being handed out
};

} // namespace zem
