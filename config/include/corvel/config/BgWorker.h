// A thread of a BgScheduler's pool: waits for queued jobs, takes the one the scheduler
// picks and runs its client's steps until the job is done, dequeued or its slice ends.
#pragma once
#include "zem/thread/Semaphore.h"
#include "zem/thread/Thread.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <type_traits>

namespace corvel {

class BgClient;
class BgJob;
class BgScheduler;

class BgWorker : public zem::LegacyThread {
public:
    enum : int32_t { REQUEST_NONE = 0, REQUEST_REEXAMINE = 1, REQUEST_STOP = 2 };

    BgWorker(BgScheduler* scheduler, int32_t group, const std::wstring& name);
    ~BgWorker() override;

    BgScheduler* scheduler() const { return m_scheduler; }
    int32_t group() const { return m_group; }
    // The context of the client whose job the worker holds (see BgClient::createWorkerContext).
    void* context() const { return m_lastContext; }
    // Tick at the start of the step under way (worker thread).
    uint32_t stepStart() const { return m_stepStart; }
    // Starts the thread and keeps a handle that is signalled when it ends, however it ends.
    void launch();
    // Null before launch().
    HANDLE exitHandle() const { return m_exit.get(); }

protected:
    int run() override;

private:
    friend class BgScheduler;

    void loop();

    BgScheduler* m_scheduler;
    int32_t m_group;
    std::atomic<int32_t> m_request{REQUEST_NONE}; // written under the scheduler's control mutex
    zem::Semaphore m_own{0, 1};                   // a control request is waiting
    bool m_requestTaken = false;                  // worker thread only
    // Guarded by the scheduler lock.
    BgJob* m_current = nullptr;
    BgClient* m_lastClient = nullptr;
    void* m_lastContext = nullptr;
    uint32_t m_stepStart = 0; // tick at the start of the current step
    std::unique_ptr<std::remove_pointer_t<HANDLE>, BOOL(WINAPI*)(HANDLE)> m_exit;
};

} // namespace corvel
