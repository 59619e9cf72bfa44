#include "zem/log/LogManager.h"

#include "zem/base/Allocator.h"
#include "zem/base/Crc.h"
#include "zem/base/Format.h"
#include "zem/thread/TLS.h"

#include <cstdarg>
#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace zem {
namespace {

constexpr size_t FORMAT_UNITS = 4093;
constexpr size_t HISTORY_LIMIT = 511;
constexpr int MAX_DRAIN_PASSES = 4;

typedef TAllocator<sizeof(LogMessage), 512, 2> RecordPool;

RecordPool& recordPool() {
    // Never destroyed: records may be released by threads that outlive static destruction.
    static RecordPool* pool = new RecordPool;
    return *pool;
}

struct LogContextTLS {
    int open = 0;       // dispatch depth
    int listenerLock = 0;
    LogMessage* pendingHead = nullptr;
    LogMessage* pendingTail = nullptr;
};

// Formats like logMessage: at most FORMAT_UNITS units, always ending in one line feed.
std::wstring formatLine(const wchar_t* format, va_list args) {
    wchar_t buffer[FORMAT_UNITS + 2];
    int n = formatInto(buffer, FORMAT_UNITS + 1, format ? format : L"", args);
    size_t length = n < 0 ? FORMAT_UNITS : static_cast<size_t>(n);
    if (n < 0 || length == 0 || buffer[length - 1] != L'\n')
        buffer[length++] = L'\n';
    return std::wstring(buffer, length);
}

void defaultSink(const wchar_t* line, void*) { OutputDebugStringW(line); }

} // namespace

struct LogManager_Impl::State {
    CriticalSection lock; // the log lock: guards everything below
    std::map<uint32_t, std::wstring> sources;
    std::multimap<uint32_t, LogListener*> listeners;
    std::deque<LogMessage*> history; // each holds one reference
    unsigned changes = 0;
    DebugSink sink = &defaultSink;
    void* sinkData = nullptr;
};

void LogMessage::destroy() {
    this->~LogMessage();
    recordPool().free(this);
}

LogMessage::~LogMessage() { delete[] m_text; }

LogManager_Impl::LogManager_Impl() : m_state(new State) {
    uint32_t all = registerSource(L"ALL");
    uint32_t internal = registerSource(L"LogManager");
    uint32_t unknown = registerSource(L"Unknown");
    registerSource(L"Corvel");
    ZEM_ASSERT_MSG(all == LOG_ALL_SOURCE, L"m_id_all == LOG_ALL_SOURCE");
    ZEM_ASSERT_MSG(unknown == LOG_UNKNOWN_SOURCE, L"m_id_unknown == LOG_UNKNOWN_SOURCE");
    ZEM_ASSERT_MSG(internal == LOG_INTERNAL_SOURCE, L"m_id_internal == LOG_INTERNAL_SOURCE");
}

LogManager_Impl& LogManager_Impl::instance() {
    // Lives for the whole process: threads may log while static objects are destroyed.
    static LogManager_Impl* manager = new LogManager_Impl;
    return *manager;
}

void LogManager_Impl::setDebugSink(DebugSink sink, void* userData) {
    CriticalSectionLock guard(m_state->lock);
    m_state->sink = sink ? sink : &defaultSink;
    m_state->sinkData = sink ? userData : nullptr;
}

void LogManager_Impl::debugOutput(const wchar_t* line) {
    DebugSink sink;
    void* data;
    {
        CriticalSectionLock guard(m_state->lock);
        sink = m_state->sink;
        data = m_state->sinkData;
    }
    sink(line, data);
}

uint32_t LogManager_Impl::registerSource(const wchar_t* name) {
    uint32_t id = symbolId(name);
    bool added = false;
    {
        CriticalSectionLock guard(m_state->lock);
        added = m_state->sources.emplace(id, name ? name : L"").second;
    }
    if (added) {
        std::wstring line = format(L"LogManager: New log source %s (%08x) has been registered.\n", name,
                                   static_cast<unsigned>(id));
        debugOutput(line.c_str());
    }
    return id;
}

bool LogManager_Impl::addListener(LogListener* listener, bool replay) {
    ZEM_ASSERT(listener);
    LogContextTLS& tc = TLSSlot<LogContextTLS>::get();
    ZEM_ASSERT_MSG(tc.listenerLock == 0, L"!lmapIsLocked(t_context->tc)");
    CriticalSectionLock guard(m_state->lock);
    for (const auto& entry : m_state->listeners)
        ZEM_ASSERT_MSG(entry.second != listener, L"listener is not subscribed yet");
    m_state->listeners.emplace(LOG_ALL_SOURCE, listener);
    ++m_state->changes;
    if (replay) {
        for (LogMessage* record : m_state->history) {
            if (listener->accept(record))
                listener->onLog(record);
        }
    }
    return true;
}

bool LogManager_Impl::removeListener(LogListener* listener) {
    LogContextTLS& tc = TLSSlot<LogContextTLS>::get();
    ZEM_ASSERT_MSG(tc.listenerLock == 0, L"!lmapIsLocked(t_context->tc)");
    CriticalSectionLock guard(m_state->lock);
    for (auto it = m_state->listeners.begin(); it != m_state->listeners.end(); ++it) {
        if (it->second == listener) {
            m_state->listeners.erase(it);
            ++m_state->changes;
            return true;
        }
    }
    return false;
}

size_t LogManager_Impl::historySize() {
    CriticalSectionLock guard(m_state->lock);
    return m_state->history.size();
}

void LogManager_Impl::withLogLock(void (*body)(void*), void* userData) {
    CriticalSectionLock guard(m_state->lock);
    body(userData);
}

namespace {

// Raises a depth for a scope and lowers it on every exit: a listener that throws must
// not leave its thread parking every later line.
class DepthGuard {
public:
    explicit DepthGuard(int& depth) : m_depth(depth) {
        ZEM_ASSERT_MSG(m_depth >= 0, L"open >= 0");
        ++m_depth;
    }
    ~DepthGuard() { --m_depth; }

private:
    int& m_depth;
};

} // namespace

void LogManager_Impl::log(int level, uint32_t sourceId, const wchar_t* formatted) {
    debugOutput(formatted);
    LogContextTLS& tc = TLSSlot<LogContextTLS>::get();

    size_t length = wcslen(formatted);
    if (length > 0 && formatted[length - 1] == L'\n')
        --length;
    void* storage = recordPool().allocate();
    LogMessage* record = new (storage) LogMessage;
    record->m_level = level;
    record->m_sourceId = sourceId;
    record->m_text = new wchar_t[length + 1];
    std::memcpy(record->m_text, formatted, length * sizeof(wchar_t));
    record->m_text[length] = 0;

    if (tc.open > 0) {
        if (tc.pendingTail)
            tc.pendingTail->m_next = record;
        else
            tc.pendingHead = record;
        tc.pendingTail = record;
        return;
    }

    auto dispatch = [&](LogMessage* r) {
        // The record holds a reference for the time of its dispatch.
        r->addRef();
        struct Release {
            LogMessage* r;
            ~Release() { r->release(); }
        } releaseAfter{r};
        CriticalSectionLock guard(m_state->lock);
        DepthGuard open(tc.open);
        auto src = m_state->sources.find(r->m_sourceId);
        r->m_sourceName = src != m_state->sources.end() ? src->second.c_str() : L"Unknown";
        r->addRef();
        m_state->history.push_back(r);
        while (m_state->history.size() > HISTORY_LIMIT) {
            m_state->history.front()->release();
            m_state->history.pop_front();
        }
        DepthGuard listening(tc.listenerLock);
        // Copied: a listener of another thread cannot change the map while we hold the lock,
        // but a copy keeps the walk independent of the container all the same.
        std::vector<LogListener*> targets;
        if (r->m_sourceId != LOG_ALL_SOURCE) {
            auto range = m_state->listeners.equal_range(r->m_sourceId);
            for (auto it = range.first; it != range.second; ++it)
                targets.push_back(it->second);
        }
        auto all = m_state->listeners.equal_range(LOG_ALL_SOURCE);
        for (auto it = all.first; it != all.second; ++it)
            targets.push_back(it->second);
        for (LogListener* listener : targets) {
            if (listener->accept(r))
                listener->onLog(r);
        }
    };

    dispatch(record);

    for (int pass = 0; pass < MAX_DRAIN_PASSES && tc.pendingHead; ++pass) {
        LogMessage* batch = tc.pendingHead;
        tc.pendingHead = tc.pendingTail = nullptr;
        while (batch) {
            LogMessage* next = batch->m_next;
            batch->m_next = nullptr;
            try {
                dispatch(batch);
            } catch (...) {
                // Records of this batch not yet offered must not leak.
                for (LogMessage* rest = next; rest;) {
                    LogMessage* after = rest->m_next;
                    rest->addRef();
                    rest->release();
                    rest = after;
                }
                throw;
            }
            batch = next;
        }
    }
    if (tc.pendingHead) {
        debugOutput(L"---- Recursive LOG in LogListener's handler detected ----\n");
        for (LogMessage* rest = tc.pendingHead; rest;) {
            LogMessage* after = rest->m_next;
            rest->addRef();
            rest->release();
            rest = after;
        }
        tc.pendingHead = tc.pendingTail = nullptr;
    }
}

void logMessage(int level, uint32_t sourceId, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    std::wstring line = formatLine(format, args);
    va_end(args);
    LogManager_Impl::instance().log(level, sourceId, line.c_str());
}

void logDebugOutput(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    std::wstring line = formatLine(format, args);
    va_end(args);
    LogManager_Impl::instance().debugOutput(line.c_str());
}

} // namespace zem
