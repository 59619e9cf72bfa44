// The process-wide log: one printf-style entry with a level and a source id. Each line
// goes to the debugger output, into a bounded history and to the subscribed listeners,
// which run on the logging thread under the log lock.
#pragma once
#include "zem/base/MTRefObject.h"

#include <cstdint>

namespace zem {

enum LogLevel { LOG_DEBUG = 0, LOG_INFO = 1, LOG_WARNING = 2, LOG_ERROR = 3, LOG_CRITICAL = 4 };

constexpr uint32_t LOG_ALL_SOURCE = 0xadbf3357u;      // "ALL": subscribe to every source
constexpr uint32_t LOG_INTERNAL_SOURCE = 0x960dabd4u; // "LogManager"
constexpr uint32_t LOG_UNKNOWN_SOURCE = 0x629b9e5bu;  // "Unknown"

// One dispatched line, reference counted and pooled. A listener keeps it beyond onLog
// only by taking a reference.
class LogMessage : public MTRefObject<0> {
public:
    int level() const { return m_level; }
    uint32_t sourceId() const { return m_sourceId; }
    const wchar_t* sourceName() const { return m_sourceName; }
    const wchar_t* text() const { return m_text; } // without the final line feed

protected:
    void destroy() override;

private:
    friend class LogManager_Impl;
    LogMessage() = default;
    ~LogMessage() override;

    int m_level = 0;
    uint32_t m_sourceId = 0;
    const wchar_t* m_sourceName = nullptr;
    wchar_t* m_text = nullptr;
    LogMessage* m_next = nullptr; // per-thread pending list
};

class LogListener {
public:
    virtual ~LogListener() = default;
    virtual void onLog(LogMessage* record) { (void)record; }
    virtual bool accept(LogMessage* record) {
        (void)record;
        return true;
    }
};

class LogManager_Impl {
public:
    static LogManager_Impl& instance();

    uint32_t registerSource(const wchar_t* name);
    // With replay, the history is offered to the listener, oldest first, before this returns.
    bool addListener(LogListener* listener, bool replay);
    bool removeListener(LogListener* listener);

    void log(int level, uint32_t sourceId, const wchar_t* formatted);
    size_t historySize();
    // Runs body under the log lock; for code whose state the lock guards (the log file's queue).
    void withLogLock(void (*body)(void*), void* userData);

    // Debugger-output seam for tests: null restores OutputDebugStringW.
    typedef void (*DebugSink)(const wchar_t* line, void* userData);
    void setDebugSink(DebugSink sink, void* userData);
    void debugOutput(const wchar_t* line);

private:
    LogManager_Impl();
    struct State;
    State* m_state;
};

// format is a wide printf format: %s takes a wide string, %p a pointer.
void logMessage(int level, uint32_t sourceId, const wchar_t* format, ...);
void logDebugOutput(const wchar_t* format, ...);

} // namespace zem
