#include "WatchPoolThread.h"

#include "zem/base/Assert.h"
#include "zem/base/Clock.h"
#include "zem/files/FileIFC.h"
#include "zem/log/LogManager.h"

#include <algorithm>

namespace zem {

namespace {

uint32_t logSource() {
    return FileIFC::instance().logSource();
}

} // namespace

WatchPoolEntry::WatchPoolEntry(const std::wstring& path, bool recursive)
    : dirPath(path), dirRecursive(recursive), buffer(new DWORD[BUFFER_SIZE / sizeof(DWORD)]) {
    ZeroMemory(&overlapped, sizeof(overlapped));
}

WatchPoolEntry::~WatchPoolEntry() {
    // The thread takes a read back before it lets its entry go; this is the last guard
    // against the system writing into a freed buffer.
    if (reading)
        cancel();
}

bool WatchPoolEntry::open() {
    directory.reset(CreateFileW(dirPath.c_str(), FILE_LIST_DIRECTORY,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
    if (!directory.valid())
        return false;
    // Backup semantics open plain files too; their reads would fail on the pool thread.
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(directory.get(), &info))
        return false;
    if (!(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetLastError(ERROR_DIRECTORY);
        return false;
    }
    event.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!event.valid())
        return false;
    firstArming.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    return firstArming.valid();
}

bool WatchPoolEntry::waitArmed(WatchPoolThread* thread) {
    const DWORD SLICE_MS = 5;
    const DWORD BUSY_LIMIT_MS = 100;
    const DWORD LIMIT_MS = 10000;
    DWORD waited = 0;
    DWORD busy = 0;
    while (WaitForSingleObject(firstArming.get(), SLICE_MS) != WAIT_OBJECT_0) {
        waited += SLICE_MS;
        busy = thread->isDispatching() ? busy + SLICE_MS : 0;
        // The read starts once the dispatch is over; only a change before that is missed.
        if (busy >= BUSY_LIMIT_MS)
            return true;
        if (waited >= LIMIT_MS) {
            SetLastError(ERROR_TIMEOUT);
            return false;
        }
    }
    if (firstArmError) {
        SetLastError(firstArmError);
        return false;
    }
    return true;
}

bool WatchPoolEntry::arm() {
    ZeroMemory(&overlapped, sizeof(overlapped));
    overlapped.hEvent = event.get();
    bytesReturned = 0;
    BOOL res = ReadDirectoryChangesW(directory.get(), buffer.get(), BUFFER_SIZE, dirRecursive ? TRUE : FALSE,
                                     NOTIFY_FILTER, &bytesReturned, &overlapped, nullptr);
    reading = res != FALSE;
    return reading;
}

void WatchPoolEntry::cancel() {
    if (!reading)
        return;
    CancelIo(directory.get());
    // The buffer stays ours only once the system has finished with the read.
    DWORD bytes = 0;
    GetOverlappedResult(directory.get(), &overlapped, &bytes, TRUE);
    reading = false;
}

WatchPoolThread::WatchPoolThread(WatchPool* pool) : LegacyThread(L"WatchPool"), m_pool(pool) {
    m_entries.reserve(WatchPool::MAX_FOLDERS_PER_THREAD);
    m_waitArray[0] = m_wakeup.handle();
    m_waitCount = 1;
}

WatchPoolThread::~WatchPoolThread() {
    stopAndJoin();
    // A thread that never ran still holds what it accepted.
    CriticalSectionLock guard(m_lock);
    for (WatchPoolEntry* entry : m_entries) {
        entry->thread = nullptr;
        entry->release();
    }
    m_entries.clear();
}

bool WatchPoolThread::requestStop() {
    LegacyThread::requestStop();
    wake();
    return true;
}

void WatchPoolThread::wake() {
    // A full semaphore already holds a pending wake-up, and one is all a rebuild needs.
    ReleaseSemaphore(m_wakeup.handle(), 1, nullptr);
}

bool WatchPoolThread::accept(WatchPoolEntry* entry) {
    CriticalSectionLock guard(m_lock);
    size_t attached =
        std::count_if(m_entries.begin(), m_entries.end(), [](const WatchPoolEntry* e) { return e->thread != nullptr; });
    if (attached >= WatchPool::MAX_FOLDERS_PER_THREAD)
        return false;
    ZEM_ASSERT_MSG(std::find(m_entries.begin(), m_entries.end(), entry) == m_entries.end(),
                   L"std::find(m_entries.begin(), m_entries.end(), entry) == m_entries.end()");
    entry->addRef();
    entry->thread = this;
    m_entries.push_back(entry);
    wake();
    return true;
}

bool WatchPoolThread::detach(WatchPoolEntry* entry) {
    CriticalSectionLock guard(m_lock);
    ZEM_ASSERT_MSG(entry->thread != nullptr, L"entry->thread != NULL");
    entry->thread = nullptr;
    wake();
    return std::none_of(m_entries.begin(), m_entries.end(),
                        [](const WatchPoolEntry* e) { return e->thread != nullptr; });
}

void WatchPoolThread::rebuild() {
    CriticalSectionLock guard(m_lock);
    m_waitArray[0] = m_wakeup.handle();
    DWORD count = 1;
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        WatchPoolEntry* entry = *it;
        if (!entry->thread) {
            entry->cancel();
            it = m_entries.erase(it);
            entry->release();
            continue;
        }
        if (entry->needsArming) {
            entry->needsArming = false;
            if (!entry->arm()) {
                DWORD error = GetLastError();
                entry->dead = true;
                entry->firstArmError = error ? error : ERROR_GEN_FAILURE;
                logMessage(LOG_WARNING, logSource(), L"WatchPool: can't watch '%s', error %d\n", entry->dirPath.c_str(),
                           static_cast<int>(error));
            }
            SetEvent(entry->firstArming.get());
        }
        if (!entry->dead) {
            ZEM_ASSERT_MSG(count < MAXIMUM_WAIT_OBJECTS, L"count <= 63 folders per thread");
            m_slotEntries[count - 1] = entry;
            m_waitArray[count++] = entry->event.get();
        }
        ++it;
    }
    m_waitCount = count;
}

void WatchPoolThread::serve(WatchPoolEntry* entry) {
    {
        CriticalSectionLock guard(m_lock);
        // A detached entry is dropped by the rebuild its detach asked for.
        if (!entry->thread)
            return;
    }
    DWORD bytes = 0;
    BOOL ok = GetOverlappedResult(entry->directory.get(), &entry->overlapped, &bytes, TRUE);
    DWORD error = ok ? 0 : GetLastError();
    entry->reading = false;
    if (ok && bytes > 0) {
        std::vector<FileChangeEvent*> events;
        entry->parser.parse(entry->buffer.get(), std::min(bytes, WatchPoolEntry::BUFFER_SIZE), currentFileTime(),
                            events);
        m_dispatching = true;
        m_pool->dispatch(entry, events);
        m_dispatching = false;
    }
    // An empty read means the buffer overflowed; the changes are lost, the watch goes on.
    // Any other failure means the folder went away or became unreadable.
    bool keep = ok || error == ERROR_NOTIFY_ENUM_DIR;
    if (keep && !entry->arm()) {
        keep = false;
        error = GetLastError();
    }
    if (keep)
        return;
    logMessage(LOG_WARNING, logSource(), L"WatchPool: stopped watching '%s', error %d\n", entry->dirPath.c_str(),
               static_cast<int>(error));
    {
        CriticalSectionLock guard(m_lock);
        entry->dead = true;
    }
    rebuild();
}

int WatchPoolThread::run() {
    rebuild();
    while (!stopRequested()) {
        ZEM_ASSERT_MSG(m_waitCount >= 1 && m_waitCount <= MAXIMUM_WAIT_OBJECTS, L"1 <= count <= 64");
        DWORD r = WaitForMultipleObjects(m_waitCount, m_waitArray, FALSE, INFINITE);
        if (r == WAIT_OBJECT_0) {
            rebuild();
            continue;
        }
        if (r > WAIT_OBJECT_0 && r < WAIT_OBJECT_0 + m_waitCount) {
            serve(m_slotEntries[r - WAIT_OBJECT_0 - 1]);
            continue;
        }
        // Semaphores and events are never abandoned; anything else simply waits again.
        ZEM_ASSERT_MSG(!(r >= WAIT_ABANDONED_0 && r < WAIT_ABANDONED_0 + m_waitCount), L"wait not abandoned");
    }
    // Stopping lets every entry go, attached or not.
    {
        CriticalSectionLock guard(m_lock);
        for (WatchPoolEntry* entry : m_entries)
            entry->thread = nullptr;
    }
    rebuild();
    CriticalSectionLock guard(m_lock);
    ZEM_ASSERT_MSG(m_entries.empty(), L"m_entries.size() == 0");
    return 0;
}

} // namespace zem
