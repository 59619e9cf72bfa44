#include "corvel/config/BgWorker.h"

#include "RunReported.h"
#include "corvel/config/BgClient.h"
#include "corvel/config/BgJob.h"
#include "corvel/config/BgScheduler.h"

namespace corvel {

BgWorker::BgWorker(BgScheduler* scheduler, int32_t group, const std::wstring& name)
    : zem::LegacyThread(name), m_scheduler(scheduler), m_group(group), m_exit(nullptr, &CloseHandle) {}

// The scheduler stops and joins its workers before deleting them; this only joins.
BgWorker::~BgWorker() {
    stopAndJoin();
}

void BgWorker::launch() {
    start();
    // Whoever waits for this worker's answer also watches for its end. Without the
    // handle, requests wait for the answer alone.
    m_exit.reset(OpenThread(SYNCHRONIZE, FALSE, id()));
}

int BgWorker::run() {
    loop();
    m_scheduler->workerEnding(this, !stopRequested());
    return 0;
}

void BgWorker::loop() {
    for (;;) {
        bool requested = false;
        if (m_current) {
            int polled = m_own.tryWait();
            if (polled == zem::WAIT_ABANDONED_RESULT)
                return;
            requested = polled == zem::WAIT_OK;
        } else {
            {
                zem::CriticalSectionLock guard(m_scheduler->m_lock);
                --m_scheduler->m_signalBalance;
            }
            HANDLE handles[2] = {m_own.handle(), m_scheduler->m_work.handle()};
            int index = -1;
            if (zem::waitForAny(handles, 2, index) != zem::WAIT_OK)
                return;
            requested = index == 0;
        }
        if (requested) {
            m_requestTaken = true;
            if (m_request.load() == REQUEST_STOP)
                return;
        }
        BgJob* job = nullptr;
        {
            zem::CriticalSectionLock guard(m_scheduler->m_lock);
            m_scheduler->pickNext(this);
            if (m_requestTaken) {
                m_request.store(REQUEST_NONE);
                m_requestTaken = false;
                ReleaseSemaphore(m_scheduler->m_ack.handle(), 1, nullptr);
            }
            job = m_current;
            if (job) {
                job->m_flags.fetch_and(~BgJob::FLAG_DONE);
                m_stepStart = m_scheduler->m_tick();
            }
        }
        if (job && !runReported([&] { job->client()->processJob(this, job); }))
            job->setDone(); // a step that threw counts as done: the job is not run again blindly
    }
}

} // namespace corvel
