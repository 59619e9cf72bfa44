#include "zem/log/LogFile.h"

#include "zem/base/Clock.h"
#include "zem/files/FileIO.h"
#include "zem/thread/Semaphore.h"
#include "zem/thread/Thread.h"

#include <windows.h>

namespace zem {

static_assert(sizeof(wchar_t) == 2, "the log file stores the UTF-16 units as they are in memory (little-endian)");

namespace {

constexpr int WAIT_MS = 1000;
constexpr uint64_t WAKE_INTERVAL_MS = 200;
constexpr uint64_t FLUSH_AFTER_MS = 1000;

void closeFile(File* file) {
    if (file)
        fileClose(file);
}

template <class Body> void underLogLock(Body& body) {
    LogManager_Impl::instance().withLogLock([](void* p) { (*static_cast<Body*>(p))(); }, &body);
}

} // namespace

// Writes the log file's queued lines on its own low-priority thread. Its queue and times
// are guarded by the log manager's lock, like the rest of the log.
class DelayedLogFileWrite : public LegacyThread {
public:
    explicit DelayedLogFileWrite(LogFile* file) : LegacyThread(L"DelayedLogWrite"), m_wake(0, 256), m_file(file) {}
    ~DelayedLogFileWrite() override {
        stopAndJoin();
        for (LogMessage* record : m_queue)
            record->release();
    }

    bool requestStop() override {
        LegacyThread::requestStop();
        wake();
        return true;
    }

    // Under the log lock.
    void enqueue(LogMessage* record) {
        record->addRef();
        m_queue.push_back(record);
        uint64_t now = currentTimeMs();
        if (now - m_lastWake > WAKE_INTERVAL_MS) {
            wake();
            m_lastWake = now;
        }
    }

    int run() override {
        while (!stopRequested()) {
            m_wake.wait(WAIT_MS);
            pass(false);
        }
        pass(true);
        return 0;
    }

private:
    // A full semaphore already promises a wake-up, so a release beyond its maximum is no
    // failure (and must not throw into the logging thread).
    void wake() { ReleaseSemaphore(m_wake.handle(), 1, nullptr); }

    void pass(bool final) {
        auto body = [&] { flushQueue(final); };
        underLogLock(body);
    }

    // Under the log lock. A line the file refused stays queued for the next pass, except
    // in the final one. Lines logged while writing (a write error) join the queue behind.
    void flushQueue(bool final) {
        uint64_t now = currentTimeMs();
        while (!m_queue.empty()) {
            LogMessage* record = m_queue.front();
            bool ok = m_file->write(record);
            if (!ok && !final)
                break;
            m_lastWrite = now;
            m_queue.pop_front();
            record->release();
        }
        if (final || now - m_lastWrite > FLUSH_AFTER_MS) {
            m_file->flush();
            m_lastWrite = now;
        }
    }

    Semaphore m_wake;
    LogFile* m_file;
    std::deque<LogMessage*> m_queue; // guarded by the log lock; each holds one reference
    uint64_t m_lastWake = 0;         // guarded by the log lock; ms since 1970
    uint64_t m_lastWrite = 0;        // guarded by the log lock; last write or flush
};

LogFile::LogFile(const std::wstring& path, uint32_t flags) : m_flags(flags), m_path(path) {
    File* file = fileOpen(m_path.c_str(), FILE_MODE_WRITE);
    if (!file) {
        logMessage(LOG_ERROR, LOG_INTERNAL_SOURCE, L"\n\nCan't open log file '%s'\n\n", m_path.c_str());
        return;
    }
    m_file.reset(file, &closeFile);
    // The lines are stored as the UTF-16LE units they are in memory; no converter needed.
    static const uint8_t MARK[] = {0xFF, 0xFE};
    noteWriteResult(m_file->write(MARK, sizeof(MARK)) == sizeof(MARK));
    logMessage(LOG_INFO, LOG_INTERNAL_SOURCE, L"Log file '%s' has been created\n", m_path.c_str());
    if (m_flags & DELAYED) {
        m_writer = new DelayedLogFileWrite(this);
        m_writer->setPriority(THREAD_PRIORITY_BELOW_NORMAL);
        m_writer->start();
    }
}

LogFile::~LogFile() {
    // No line may arrive while the writer goes: leave the log first (false when the owner
    // already did).
    LogManager_Impl::instance().removeListener(this);
    if (m_writer) {
        delete m_writer; // its final pass writes and flushes everything queued
        m_writer = nullptr;
    } else if (m_file) {
        auto body = [&] { flush(); };
        underLogLock(body);
    }
    m_file.reset();
}

void LogFile::onLog(LogMessage* record) {
    if (!m_file)
        return;
    if (m_writer) {
        m_writer->enqueue(record);
        return;
    }
    write(record);
}

const wchar_t* LogFile::levelTag(int level) {
    switch (level) {
    case LOG_DEBUG:
        return L"[ DEBUG    ] ";
    case LOG_INFO:
        return L"[ INFO     ] ";
    case LOG_WARNING:
        return L"[ WARNING  ] ";
    case LOG_ERROR:
        return L"[ ERROR    ] ";
    case LOG_CRITICAL:
        return L"[ CRITICAL ] ";
    default:
        return L"[ UNKNOWN  ] ";
    }
}

std::wstring LogFile::formatLine(const LogMessage* record) const {
    std::wstring line;
    if (m_flags & LEVEL_PREFIX)
        line += levelTag(record->level());
    if ((m_flags & SOURCE_NAMES) && record->sourceId() != LOG_UNKNOWN_SOURCE && record->sourceName()) {
        line += record->sourceName();
        line += L": ";
    }
    if (record->text())
        line += record->text();
    line += L'\n';
    return line;
}

bool LogFile::write(const LogMessage* record) {
    if (!m_file)
        return false;
    std::wstring line = formatLine(record);
    uint32_t bytes = static_cast<uint32_t>(line.size() * sizeof(wchar_t));
    return noteWriteResult(m_file->write(line.data(), bytes) == bytes);
}

bool LogFile::flush() {
    if (!m_file)
        return false;
    return noteWriteResult(m_file->flush());
}

bool LogFile::noteWriteResult(bool ok) {
    bool wasFailed = m_failed;
    m_failed = !ok;
    if (!ok && !wasFailed)
        logMessage(LOG_CRITICAL, LOG_INTERNAL_SOURCE, L"Can't write data to the log file '%s'\n", m_path.c_str());
    return ok;
}

} // namespace zem
