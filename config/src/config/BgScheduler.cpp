#include "corvel/config/BgScheduler.h"

#include "RunReported.h"
#include "corvel/config/BgClient.h"
#include "zem/log/LogManager.h"

#include <algorithm>
#include <cwchar>

namespace corvel {

namespace {

// A tick difference that survives the 49.7-day wrap of the millisecond counter.
int32_t ticksUntil(uint32_t deadline, uint32_t now) {
    return static_cast<int32_t>(deadline - now);
}

} // namespace

BgScheduler::BgScheduler(const wchar_t* name) {
    std::wcsncpy(m_name, name ? name : L"", NAME_CAPACITY - 1);
    m_name[NAME_CAPACITY - 1] = 0;
    m_pending.reserve(16);
}

BgScheduler::~BgScheduler() {
    zem::CriticalSectionLock guard(m_lock);
    while (!m_workers.empty())
        removeWorker(m_workers.front());
}

uint32_t BgScheduler::defaultTick() {
    return GetTickCount();
}

bool BgScheduler::owns(const BgJob* job) const {
    return job && job->m_scheduler == this && job->m_state != BgJob::STATE_DEAD;
}

// Lower priority values sit nearer the back (served first); among equal values the
// older entries sit nearer the back.
void BgScheduler::insertPending(BgJob* job, bool appendIfZero) {
    if (job->m_priority == 0 && appendIfZero) {
        m_pending.push_back(job);
        return;
    }
    size_t at = m_pending.size();
    while (at > 0 && m_pending[at - 1]->m_priority <= job->m_priority)
        --at;
    m_pending.insert(m_pending.begin() + static_cast<ptrdiff_t>(at), job);
}

bool BgScheduler::removePending(BgJob* job) {
    auto it = std::find(m_pending.begin(), m_pending.end(), job);
    if (it == m_pending.end())
        return false;
    m_pending.erase(it);
    return true;
}

void BgScheduler::wakeOne() {
    if (m_signalBalance >= static_cast<int32_t>(m_workers.size()))
        return;
    ++m_signalBalance;
    // At its maximum the semaphore already holds more wake-ups than there are sleepers.
    ReleaseSemaphore(m_work.handle(), 1, nullptr);
}

void BgScheduler::signalWorker(BgWorker* worker, int32_t request) {
    m_lock.leave();
    {
        struct Hold {
            zem::LegacyMutex& mutex;
            explicit Hold(zem::LegacyMutex& m) : mutex(m) { mutex.lock(); }
            ~Hold() { mutex.unlock(); }
        } hold(m_controlMutex);
        worker->m_request.store(request);
        ReleaseSemaphore(worker->m_own.handle(), 1, nullptr);
        // A worker that has ended never answers: it no longer holds anything.
        HANDLE handles[2] = {m_ack.handle(), worker->exitHandle()};
        int index = -1;
        if (!handles[1])
            m_ack.wait(-1);
        else if (zem::waitForAny(handles, 2, index) != zem::WAIT_OK || index != 0)
            m_ack.tryWait(); // an answer released on its way out must not serve the next request
    }
    m_lock.enter();
}

void BgScheduler::processCommands(BgJob* job, BgWorker* worker) {
    bool discarding = false;
    BgClient* client = job->m_client;
    while (!job->m_commands.empty()) {
        BgJob::Command command = job->m_commands.front();
        job->m_commands.pop_front();
        switch (command.type) {
        case BgJob::Command::DATA:
            if (discarding)
                runReported([&] { client->onJobDataDiscarded(this, job, command.data); });
            else
                runReported([&] { client->onJobData(this, job, command.data); });
            break;
        case BgJob::Command::DISCARD:
            discarding = true;
            break;
        case BgJob::Command::DEQUEUED:
            runReported([&] { client->onJobDequeued(worker, job); });
            break;
        case BgJob::Command::QUEUED:
            runReported([&] { client->onJobQueued(worker, job); });
            break;
        }
    }
}

bool BgScheduler::post(uint32_t kind, const void* object, const void* data) {
    zem::MessagePayload payload{{kind, reinterpret_cast<uintptr_t>(object), reinterpret_cast<uintptr_t>(data)}};
    return zem::MessageListener::post(&payload);
}

void BgScheduler::attachJob(BgJob* job) {
    zem::CriticalSectionLock guard(m_lock);
    if (!job || job->m_state == BgJob::STATE_DEAD || job->m_scheduler)
        return;
    job->m_scheduler = this;
    job->m_state = BgJob::STATE_IDLE;
    job->m_flags.fetch_and(~BgJob::FLAG_CANCEL);
    insertPending(job, false);
}

void BgScheduler::queueJob(BgJob* job, bool reposition) {
    zem::CriticalSectionLock guard(m_lock);
    if (!owns(job))
        return;
    if (job->m_state == BgJob::STATE_IDLE) {
        job->m_state = BgJob::STATE_QUEUED;
        job->m_flags.fetch_and(~BgJob::FLAG_CANCEL);
        job->m_commands.push_back({BgJob::Command::QUEUED, nullptr});
        if (reposition && !job->m_currentWorker && !m_pending.empty() && m_pending.front() != job && removePending(job))
            insertPending(job, false);
    }
    wakeOne();
}

void BgScheduler::scheduleJob(BgJob* job, void* data) {
    zem::CriticalSectionLock guard(m_lock);
    if (!owns(job))
        return;
    if (job->m_state == BgJob::STATE_QUEUED) {
        job->m_state = BgJob::STATE_IDLE;
        job->m_commands.push_back({BgJob::Command::DEQUEUED, nullptr});
        job->m_commands.push_back({BgJob::Command::DATA, data});
        // A worker running the job takes the commands before its next step, and the job
        // stays alive, so nothing waits for it here: the caller is typically the editor
        // ending an edit, whose document lock the running step may be waiting for.
    } else {
        job->m_commands.push_back({BgJob::Command::DATA, data});
    }
    if (!job->m_currentWorker && removePending(job))
        insertPending(job, false);
    if (job->m_state == BgJob::STATE_IDLE) {
        job->m_state = BgJob::STATE_QUEUED;
        job->m_flags.fetch_and(~BgJob::FLAG_CANCEL);
    }
    wakeOne();
}

void BgScheduler::dequeueJob(BgJob* job) {
    zem::CriticalSectionLock guard(m_lock);
    if (!owns(job) || job->m_state != BgJob::STATE_QUEUED)
        return;
    job->m_state = BgJob::STATE_IDLE;
    job->m_commands.push_back({BgJob::Command::DEQUEUED, nullptr});
    if (job->m_currentWorker)
        signalWorker(job->m_currentWorker, BgWorker::REQUEST_REEXAMINE);
}

void BgScheduler::cancelJob(BgJob* job) {
    zem::CriticalSectionLock guard(m_lock);
    if (!owns(job))
        return;
    job->m_flags.fetch_or(BgJob::FLAG_CANCEL);
    job->m_state = BgJob::STATE_IDLE;
    if (job->m_currentWorker) {
        job->m_commands.push_front({BgJob::Command::DISCARD, nullptr});
        signalWorker(job->m_currentWorker, BgWorker::REQUEST_REEXAMINE);
    }
    removePending(job);
    processCommands(job, nullptr);
    job->m_scheduler = nullptr;
    job->m_currentWorker = nullptr;
    job->m_lastWorker = nullptr;
}

void BgScheduler::removeJob(BgJob* job) {
    zem::CriticalSectionLock guard(m_lock);
    if (!owns(job))
        return;
    job->m_commands.push_front({BgJob::Command::DISCARD, nullptr});
    if (job->m_currentWorker)
        signalWorker(job->m_currentWorker, BgWorker::REQUEST_REEXAMINE);
    processCommands(job, nullptr);
}

void BgScheduler::setJobPriority(BgJob* job, int32_t priority) {
    zem::CriticalSectionLock guard(m_lock);
    if (owns(job))
        job->m_priority = priority;
}

bool BgScheduler::postJobMessage(BgJob* job, BgWorker* worker, void* data) {
    (void)worker;
    if (!job || job->m_scheduler != this)
        return false;
    job->m_messages.increment();
    if (post(MESSAGE_JOB, job, data))
        return true;
    job->m_messages.decrement();
    return false;
}

void BgScheduler::pickNext(BgWorker* worker) {
    if (BgJob* job = worker->m_current) {
        processCommands(job, worker);
        if (job->m_state != BgJob::STATE_QUEUED) {
            detach(worker);
        } else if (job->isDone()) {
            job->m_flags.fetch_and(~BgJob::FLAG_DONE);
            job->m_state = BgJob::STATE_IDLE;
            detach(worker);
            job->m_messages.increment();
            if (!post(MESSAGE_FINISHED, job, nullptr))
                job->m_messages.decrement();
        } else if (!m_pending.empty()) {
            bool yield = false;
            runReported([&] { yield = job->m_client->shouldYield(worker, job); });
            if (yield || ticksUntil(job->m_deadline, worker->m_stepStart) < 0)
                detach(worker);
        }
    }
    if (worker->m_current)
        return;
    for (size_t i = m_pending.size(); i-- > 0;) {
        BgJob* job = m_pending[i];
        if (job->m_state != BgJob::STATE_QUEUED)
            continue;
        m_pending.erase(m_pending.begin() + static_cast<ptrdiff_t>(i));
        attach(worker, job);
        return;
    }
}

void BgScheduler::attach(BgWorker* worker, BgJob* job) {
    worker->m_current = job;
    job->m_currentWorker = worker;
    // The slice is measured from now, not from the start of the worker's previous step.
    uint32_t now = m_tick();
    worker->m_stepStart = now;
    uint32_t slice = SLICE_MS + (job->m_priority == 0 ? uint32_t(PRIORITY_ZERO_EXTRA_MS) : 0u);
    job->m_deadline = now + slice + job->m_carried;
    job->m_carried = 0;
    BgClient* client = job->m_client;
    if (client != worker->m_lastClient) {
        worker->m_lastClient = client;
        auto key = std::make_pair(worker, client);
        auto it = m_contexts.find(key);
        if (it == m_contexts.end()) {
            void* context = nullptr;
            runReported([&] { context = client->createWorkerContext(worker); });
            it = m_contexts.emplace(key, context).first;
        }
        worker->m_lastContext = it->second;
    }
    runReported([&] { client->onJobAttached(worker, job); });
    processCommands(job, worker);
}

void BgScheduler::detach(BgWorker* worker) {
    BgJob* job = worker->m_current;
    int32_t left = ticksUntil(job->m_deadline, worker->m_stepStart);
    job->m_carried = left > 0 ? static_cast<uint32_t>(left) : 0;
    runReported([&] { job->m_client->onJobDetached(worker, job); });
    job->m_lastWorker = worker;
    job->m_currentWorker = nullptr;
    worker->m_current = nullptr;
    // A dead job is on its way out: it must not be picked again.
    if (job->m_state != BgJob::STATE_DEAD)
        insertPending(job, false);
}

void BgScheduler::workerEnding(BgWorker* worker, bool onItsOwn) {
    if (onItsOwn)
        post(MESSAGE_WORKER_ENDED, worker, nullptr);
    {
        zem::CriticalSectionLock guard(m_lock);
        // A job held by a leaving worker goes back to the list for the others.
        if (worker->m_current) {
            detach(worker);
            wakeOne();
        }
        for (auto it = m_contexts.begin(); it != m_contexts.end();) {
            if (it->first.first != worker) {
                ++it;
                continue;
            }
            BgClient* client = it->first.second;
            void* context = it->second;
            if (context)
                runReported([&] { client->destroyWorkerContext(worker, context); });
            it = m_contexts.erase(it);
        }
        worker->m_lastClient = nullptr;
        worker->m_lastContext = nullptr;
    }
    if (worker->m_requestTaken) {
        worker->m_requestTaken = false;
        ReleaseSemaphore(m_ack.handle(), 1, nullptr);
    }
}

int32_t BgScheduler::defaultWorkerCount(int32_t requested) {
    return defaultWorkerCount(requested, static_cast<uintptr_t>(MTL::GetProcessAffinityMask()));
}

int32_t BgScheduler::defaultWorkerCount(int32_t requested, uintptr_t affinityMask) {
    int32_t processors = 0;
    for (uintptr_t mask = affinityMask; mask; mask >>= 1)
        ++processors;
    if (requested > 0 && requested <= processors)
        return requested;
    if (processors <= 2)
        return 1;
    if (processors <= 5)
        return processors - 1;
    return 4;
}

void BgScheduler::setWorkerCount(int32_t count) {
    zem::checkMainThread();
    zem::CriticalSectionLock guard(m_lock);
    while (static_cast<int32_t>(m_workers.size()) < count)
        addWorker(0);
    while (static_cast<int32_t>(m_workers.size()) > count && !m_workers.empty())
        removeWorker(m_workers.front());
}

size_t BgScheduler::workerCount() {
    zem::CriticalSectionLock guard(m_lock);
    return m_workers.size();
}

void BgScheduler::lowerWorkerPriority() {
    zem::CriticalSectionLock guard(m_lock);
    m_workerPriority = THREAD_PRIORITY_BELOW_NORMAL;
    for (BgWorker* worker : m_workers)
        worker->setPriority(m_workerPriority);
}

void BgScheduler::addWorker(int32_t group) {
    BgWorker* worker = new BgWorker(this, group, m_name);
    worker->setPriority(m_workerPriority);
    m_workers.push_back(worker);
    try {
        worker->launch();
    } catch (...) {
        m_workers.pop_back();
        delete worker;
        throw;
    }
    wakeOne();
}

// Caller holds the lock once.
void BgScheduler::removeWorker(BgWorker* worker) {
    worker->requestStop();
    signalWorker(worker, BgWorker::REQUEST_STOP);
    // Past its answer the worker takes no lock any more, so joining under it is safe.
    worker->join();
    m_workers.erase(std::find(m_workers.begin(), m_workers.end(), worker));
    delete worker;
}

void BgScheduler::onMessage(const zem::MessagePayload* payload) {
    if (!payload)
        return;
    uint32_t kind = static_cast<uint32_t>(payload->words[0]);
    void* object = reinterpret_cast<void*>(payload->words[1]);
    void* data = reinterpret_cast<void*>(payload->words[2]);
    if (kind == MESSAGE_WORKER_ENDED) {
        BgWorker* worker = static_cast<BgWorker*>(object);
        zem::logMessage(zem::LOG_INFO, zem::LOG_UNKNOWN_SOURCE,
                        L"BgScheduler: The worker thread %p finished without a reason\n", object);
        int32_t group = 0;
        {
            zem::CriticalSectionLock guard(m_lock);
            auto it = std::find(m_workers.begin(), m_workers.end(), worker);
            if (it == m_workers.end())
                return; // already removed
            m_workers.erase(it);
            group = worker->group();
        }
        // Joined outside the lock: the worker still takes it on its way out.
        worker->join();
        delete worker;
        zem::CriticalSectionLock guard(m_lock);
        bool groupLeft = std::any_of(m_workers.begin(), m_workers.end(),
                                     [&](BgWorker* w) { return group != 0 ? w->group() == group : true; });
        if (!groupLeft)
            addWorker(group);
        return;
    }
    if (kind != MESSAGE_FINISHED && kind != MESSAGE_JOB)
        return;
    BgJob* job = static_cast<BgJob*>(object);
    LONG left = job->m_messages.decrement();
    int32_t state;
    {
        zem::CriticalSectionLock guard(m_lock);
        state = job->m_state;
    }
    if (state == BgJob::STATE_DEAD) {
        if (kind == MESSAGE_JOB)
            job->m_client->onJobMessageDropped(this, job, data);
        if (left == 0) {
            {
                zem::CriticalSectionLock guard(m_lock);
                removePending(job);
            }
            delete job;
        }
        return;
    }
    if (kind == MESSAGE_FINISHED)
        job->m_client->onJobFinished(this, job);
    else
        job->m_client->onJobMessage(this, job, data);
}

} // namespace corvel
