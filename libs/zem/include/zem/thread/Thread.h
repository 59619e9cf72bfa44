// Secondary threads: a Thread runs a Runnable or a callback, a LegacyThread runs its own
// loop until asked to stop. Everything that escapes a thread procedure is caught and
// reported through the process-wide ThreadErrorHandler.
#pragma once
#include "zem/thread/CriticalSection.h"

#include <exception>
#include <memory>
#include <string>

namespace zem {

class Exception;

class Runnable {
public:
    virtual ~Runnable() = default;
    virtual void run() = 0;
};

struct ThreadImpl;

class Thread {
public:
    typedef void (*Callback)(void* userData);

    Thread();
    explicit Thread(const std::wstring& name);
    // Does not wait for the thread: a thread still running keeps its own state alive.
    virtual ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    void start(Runnable* runnable);
    void start(Callback callback, void* userData);
    void join();
    bool isRunning() const;
    void setPriority(int priority);
    int priority() const;
    void setStackSize(unsigned bytes);
    void setName(const std::wstring& name);
    std::wstring name() const;
    unsigned sequence() const;
    DWORD id() const;

private:
    void launch();

    std::shared_ptr<ThreadImpl> m_impl;
};

class LegacyThread : public Thread {
public:
    LegacyThread();
    explicit LegacyThread(const std::wstring& name);
    // Asks the loop to stop and joins it.
    ~LegacyThread() override;

    void start();
    virtual bool requestStop();
    virtual int run() = 0;

protected:
    bool stopRequested();
    // Subclasses that run() must stop and join in their own destructor, while their
    // fields still exist; this is what they call.
    void stopAndJoin();

    CriticalSection m_lock;
    bool m_stop = false; // guarded by m_lock
    int m_result = 0;

private:
    static void trampoline(void* self);
};

class ThreadErrorHandler {
public:
    virtual ~ThreadErrorHandler() = default;
    virtual void reportUnknownException();
    virtual void reportStdException(std::exception& e);
    virtual void reportException(Exception& e);
};

// The handler every thread procedure reports to; null restores the default one.
void setThreadErrorHandler(ThreadErrorHandler* handler);
ThreadErrorHandler& threadErrorHandler();
// Runs body under the same catch-all as a thread procedure. For the system's callbacks.
void runGuarded(void (*body)(void*), void* userData);

// Recorded by the program entry before anything else runs.
void recordMainThread();
void recordMainThread(DWORD id);
bool is_main_thread();
void checkMainThread();

} // namespace zem

namespace MTL {
DWORD_PTR GetProcessAffinityMask();
}
