// One long operation (an update check, bundle loading) on a thread of its own, talking
// to the main thread with closures in both directions: the main thread hands closures to
// the task thread and waits until one is taken; the task thread hands closures back, and
// the main thread runs them when the task's registry message arrives. Each direction is
// a one-slot queue, so neither side runs far ahead of the other.
//
// With the outbox full the task thread waits until the main thread takes the slot or the
// task begins stopping, whichever comes first, so stop() cannot deadlock with it. It waits
// on the slot, not on a timer: bundles arrive in several batches, and a retry every 50 ms
// held each batch after the first that long, a quarter second of start-up in all.
#pragma once
#include "corvel/config/ClosureQueue.h"
#include "zem/thread/CriticalSection.h"
#include "zem/thread/MessageRegistry.h"
#include "zem/thread/Semaphore.h"
#include "zem/thread/Thread.h"

#include <memory>
#include <type_traits>

namespace corvel {

class Closure;

class AsyncTask : public zem::Runnable, public zem::MessageListener {
public:
    enum : DWORD { RETRY_MS = 50 };

    // Needs the message registry (the listener registers with it).
    AsyncTask();
    // Stops the task; closures left in either queue are deleted uninvoked. A subclass
    // that overrides stop() calls it in its own destructor: from here only this class's
    // stop() runs.
    ~AsyncTask() override;

    // The task thread's loop: takes closures from the inbox and runs them.
    void run() override;
    // Subclasses override start and stop to set up and tear down their own work, calling
    // these. start() stops a running thread first.
    virtual void start();
    virtual void stop();

    bool isRunning() const { return m_thread != nullptr; }
    bool isStopping();
    // A closure handed to the task thread and not yet taken.
    bool isHandOffPending() { return !m_inbox.isEmpty(); }
    // A closure queued for the main thread and not yet taken.
    bool isResultPending() { return !m_outbox.isEmpty(); }

    // Main thread. Returns once the task thread has taken the closure (before it runs
    // it); a closure taken while the task stops is deleted uninvoked. False when the task
    // is not running or ended first: the closure then stays the caller's.
    bool postToTaskThread(Closure* closure);
    // Task thread. True once queued for the main thread; false when the task began
    // stopping first: the closure then stays the caller's.
    bool postToUiThread(Closure* closure);

    // Main thread: runs the closures the task thread queued.
    void onMessage(const zem::MessagePayload* payload) override;

private:
    // Waits for the task thread's acknowledgement, or for its end.
    void awaitAcknowledge();
    void drainInbox();

    ClosureQueue m_inbox; // towards the task thread
    zem::Semaphore m_ack{0, 1};
    ClosureQueue m_outbox;                 // towards the main thread
    std::unique_ptr<zem::Thread> m_thread; // main thread only; null when not running
    zem::CriticalSection m_lock;
    bool m_stopping = false; // guarded by m_lock
    // Set when run() returns, reset by start().
    std::unique_ptr<std::remove_pointer_t<HANDLE>, BOOL(WINAPI*)(HANDLE)> m_ended;
    // Set with m_stopping, reset by start(): releases a task thread waiting on the outbox.
    std::unique_ptr<std::remove_pointer_t<HANDLE>, BOOL(WINAPI*)(HANDLE)> m_stopSignal;
};

} // namespace corvel
