// Background work given as a closure (grammar compilation): run once on a worker of the
// scheduler, handing its results back to the main thread as closures of their own.
#pragma once
#include "corvel/config/BgClient.h"
#include "corvel/config/BgJob.h"
#include "corvel/config/Closure.h"

#include <memory>

namespace corvel {

class ClosureBgJob : public BgJob {
public:
    // The closure is owned; it usually takes the job as an argument, to post back through it.
    ClosureBgJob(BgClient* client, Closure* closure) : BgJob(client), m_closure(closure) {}

    Closure* getClosure() const { return m_closure.get(); }
    // For a closure made after its job, to be handed the job.
    void setClosure(Closure* closure) { m_closure.reset(closure); }
    // From the closure, on the worker running it: result is invoked on the main thread
    // and deleted there (or deleted unrun when the job was given up). False when it
    // could not be posted; it is then deleted here.
    bool postToMainThread(Closure* result);

private:
    friend class ClosureBgClient;

    std::unique_ptr<Closure> m_closure;
    BgWorker* m_worker = nullptr; // while the closure runs
};

class ClosureBgClient : public BgClient {
public:
    // Runs the closure of a ClosureBgJob; the job is then done.
    void processJob(BgWorker* worker, BgJob* job) override;
    // A closure posted by a job: invoked, then deleted.
    void onJobMessage(BgScheduler* scheduler, BgJob* job, void* data) override;
    void onJobMessageDropped(BgScheduler* scheduler, BgJob* job, void* data) override;
};

} // namespace corvel
