// A named pool of worker threads with one priority-ordered list of background jobs
// (grammar parsing, grammar compilation, project scans). Each job runs in time slices on
// a worker; the scheduler rotates jobs by priority, carries data items to the worker and
// reports results to the job's client on the main thread through the message registry.
//
// One lock guards the pending list, the jobs' fields (not their message counts), their
// command lists, the worker list and the context map. Control requests to a worker are
// serialised by the control mutex and confirmed, so a caller knows the worker has
// re-examined its job before it goes on.
#pragma once
#include "corvel/config/BgJob.h"
#include "corvel/config/BgWorker.h"
#include "zem/thread/CriticalSection.h"
#include "zem/thread/MessageRegistry.h"
#include "zem/thread/Semaphore.h"

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace corvel {

class BgScheduler : public zem::MessageListener {
public:
    // Milliseconds on the GetTickCount scale; tests inject their own.
    typedef uint32_t (*TickSource)();

    enum : uint32_t { SLICE_MS = 100, PRIORITY_ZERO_EXTRA_MS = 200 };
    static constexpr size_t NAME_CAPACITY = 24; // 23 characters and the terminator

    // Needs the message registry (the listener registers with it).
    explicit BgScheduler(const wchar_t* name);
    // Stops every worker, then releases everything.
    ~BgScheduler() override;

    const wchar_t* name() const { return m_name; }
    zem::CriticalSection& getLock() { return m_lock; }
    void setTickSource(TickSource tick) { m_tick = tick ? tick : &defaultTick; }

    // Every job operation ignores null jobs, jobs of another scheduler and dead jobs.
    // Joins the job to this scheduler, idle.
    void attachJob(BgJob* job);
    void queueJob(BgJob* job, bool reposition);
    // Hands a data item to the job (its client's onJobData) and queues it.
    void scheduleJob(BgJob* job, void* data);
    void dequeueJob(BgJob* job);
    // Returns once no worker holds the job; the job leaves the scheduler.
    void cancelJob(BgJob* job);
    // Discards the job's queued data items (onJobDataDiscarded).
    void removeJob(BgJob* job);
    void setJobPriority(BgJob* job, int32_t priority);
    // From processJob: delivers data to the client's onJobMessage on the main thread.
    // False when the registry cannot take the message; the data then stays the caller's.
    bool postJobMessage(BgJob* job, BgWorker* worker, void* data);

    // The worker count for a requested count on this machine.
    static int32_t defaultWorkerCount(int32_t requested);
    // processors = the position of the highest set bit of the mask (0 for none).
    static int32_t defaultWorkerCount(int32_t requested, uintptr_t affinityMask);
    // Main thread.
    void setWorkerCount(int32_t count);
    size_t workerCount();
    // Workers run below normal priority from now on.
    void lowerWorkerPriority();

    void onMessage(const zem::MessagePayload* payload) override;

private:
    friend class BgWorker;

    enum : uint32_t { MESSAGE_FINISHED = 0, MESSAGE_JOB = 1, MESSAGE_WORKER_ENDED = 2 };

    static uint32_t defaultTick();

    bool owns(const BgJob* job) const;
    void insertPending(BgJob* job, bool appendIfZero);
    bool removePending(BgJob* job);
    void wakeOne();
    // Caller holds the lock once; it is left while the worker answers.
    void signalWorker(BgWorker* worker, int32_t request);
    // worker null: processed on the calling thread.
    void processCommands(BgJob* job, BgWorker* worker);
    bool post(uint32_t kind, const void* object, const void* data);

    // Worker thread, under the lock.
    void pickNext(BgWorker* worker);
    void attach(BgWorker* worker, BgJob* job);
    void detach(BgWorker* worker);
    // Worker thread, after its loop.
    void workerEnding(BgWorker* worker, bool onItsOwn);

    void addWorker(int32_t group);
    void removeWorker(BgWorker* worker);

    zem::CriticalSection m_lock;
    zem::LegacyMutex m_controlMutex;
    zem::Semaphore m_work{0, 16};
    zem::Semaphore m_ack{0, 1};
    int32_t m_signalBalance = 0;      // guarded by m_lock
    int m_workerPriority = 0;         // guarded by m_lock
    std::vector<BgWorker*> m_workers; // owned; guarded by m_lock
    wchar_t m_name[NAME_CAPACITY];
    std::vector<BgJob*> m_pending;                               // served from the back; guarded by m_lock
    std::map<std::pair<BgWorker*, BgClient*>, void*> m_contexts; // guarded by m_lock
    TickSource m_tick = &defaultTick;
};

} // namespace corvel
