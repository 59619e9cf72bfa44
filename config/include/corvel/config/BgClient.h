// What a background job's owner does for the scheduler: the work itself in small steps on
// a worker thread, and the notices the scheduler hands back. Only processJob is required.
//
// Worker-thread slots run under the scheduler lock, except processJob, which runs without
// it. Main-thread slots arrive through the message registry. An exception out of a
// worker-thread slot is reported to the thread error handler; the step then counts as done.
#pragma once

namespace corvel {

class BgJob;
class BgScheduler;
class BgWorker;

class BgClient {
public:
    virtual ~BgClient() = default;

    // Worker thread, once per (worker, client) pair: an opaque context, null for none.
    virtual void* createWorkerContext(BgWorker* worker) {
        (void)worker;
        return nullptr;
    }
    // Worker thread, when the worker ends, for each context that is not null.
    virtual void destroyWorkerContext(BgWorker* worker, void* context) {
        (void)worker;
        (void)context;
    }
    // Worker thread, without the lock: one bounded step. Calls job->setDone() when the
    // job has no more work.
    virtual void processJob(BgWorker* worker, BgJob* job) = 0;
    virtual void onJobAttached(BgWorker* worker, BgJob* job) { ignore(worker, job); }
    virtual void onJobDetached(BgWorker* worker, BgJob* job) { ignore(worker, job); }
    virtual bool shouldYield(BgWorker* worker, BgJob* job) {
        ignore(worker, job);
        return false;
    }
    // Command-list notices. The worker is null when the list is processed on the thread
    // that cancelled or removed the job.
    virtual void onJobDequeued(BgWorker* worker, BgJob* job) { ignore(worker, job); }
    virtual void onJobQueued(BgWorker* worker, BgJob* job) { ignore(worker, job); }

    // Main thread.
    virtual void onJobFinished(BgScheduler* scheduler, BgJob* job) { ignore(scheduler, job); }
    virtual void onJobMessage(BgScheduler* scheduler, BgJob* job, void* data) { ignore(scheduler, job, data); }
    // For a dead job: the data is the client's to free.
    virtual void onJobMessageDropped(BgScheduler* scheduler, BgJob* job, void* data) { ignore(scheduler, job, data); }

    // Data items handed over by BgScheduler::scheduleJob, on whichever thread processes
    // the job's command list; after a discard marker they go to onJobDataDiscarded.
    virtual void onJobData(BgScheduler* scheduler, BgJob* job, void* data) { ignore(scheduler, job, data); }
    virtual void onJobDataDiscarded(BgScheduler* scheduler, BgJob* job, void* data) { ignore(scheduler, job, data); }

private:
    static void ignore(const void*, const void*, const void* = nullptr) {}
};

} // namespace corvel
