#include "corvel/document/ParserClient.h"

#include "corvel/config/BgScheduler.h"
#include "corvel/config/BgWorker.h"
#include "corvel/document/Document.h"
#include "corvel/document/LineParser.h"
#include "corvel/document/ParserJob.h"

#include <windows.h>

namespace corvel {

namespace {

// Holds the document's edit lock for the step a worker takes, and lets it go however the
// step ends.
class StepLock {
public:
    explicit StepLock(ParserJob* job) : m_job(job) {}
    ~StepLock() {
        if (m_job->lockHeld) {
            m_job->lockHeld = false;
            m_job->getDocument()->unlockEdit();
        }
    }
    StepLock(const StepLock&) = delete;
    StepLock& operator=(const StepLock&) = delete;

private:
    ParserJob* m_job;
};

} // namespace

ParserClient::ParserClient(BgScheduler* scheduler, DocumentManager* manager)
    : m_scheduler(scheduler), m_manager(manager) {}

ParserClient::~ParserClient() = default;

ParserClient::LineRange* ParserClient::takeRecord(int32_t first, int32_t last) {
    LineRange* record = static_cast<LineRange*>(m_records.allocate());
    record->first = first;
    record->last = last;
    ++m_outstanding;
    return record;
}

void ParserClient::giveBack(void* record) {
    if (!record)
        return;
    m_records.free(record);
    --m_outstanding;
}

ParserJob* ParserClient::createJob(Document* document) {
    ParserJob* job = new ParserJob(this, document);
    m_scheduler->attachJob(job);
    document->setParseJob(job);
    return job;
}

void ParserClient::requestLines(Document* document, int32_t first, int32_t last) {
    ParserJob* job = document ? document->getParseJob() : nullptr;
    if (!job || job->isClosing())
        return;
    // The scheduler drops requests for jobs it does not run: the record would be lost.
    // Only the main thread attaches, cancels and gives up jobs, so the answer holds after
    // the lock is left; scheduleJob takes the lock itself.
    {
        zem::CriticalSectionLock guard(m_scheduler->getLock());
        if (job->scheduler() != m_scheduler || job->state() == BgJob::STATE_DEAD)
            return;
    }
    m_scheduler->scheduleJob(job, takeRecord(first, last));
}

void ParserClient::releaseJob(ParserJob* job) {
    if (!job)
        return;
    job->setClosing(true);
    if (job->getDocument() && job->getDocument()->getParseJob() == job)
        job->getDocument()->setParseJob(nullptr);
    m_scheduler->cancelJob(job);
    {
        zem::CriticalSectionLock guard(m_scheduler->getLock());
        // Messages on their way reach the scheduler, which deletes the job after the last.
        if (job->messageCount() > 0) {
            job->setState(BgJob::STATE_DEAD);
            return;
        }
    }
    delete job;
}

void ParserClient::setJobActive(ParserJob* job, bool active) {
    m_scheduler->setJobPriority(job, active ? ParserJob::PRIORITY_ACTIVE : ParserJob::PRIORITY_INACTIVE);
}

void* ParserClient::createWorkerContext(BgWorker*) {
    return new LineParser();
}

void ParserClient::destroyWorkerContext(BgWorker*, void* context) {
    delete static_cast<LineParser*>(context);
}

void ParserClient::processJob(BgWorker* worker, BgJob* bgJob) {
    ParserJob* job = static_cast<ParserJob*>(bgJob);
    if (job->isClosing()) {
        job->setDone();
        return;
    }
    Document* document = job->getDocument();
    if (!job->lockHeld) {
        // A worker never keeps an editing main thread waiting long: on a miss the job
        // runs again later.
        if (!document->tryLockEdit(LOCK_WAIT_MS)) {
            ++m_lockMisses;
            return;
        }
        job->lockHeld = true;
    }
    StepLock lock(job);
    LineParser* parser = static_cast<LineParser*>(worker->context());
    int32_t lines = document->getLineCount();
    bool lineExists = job->currentLine >= 0 && job->currentLine < lines;
    // Nothing to look at (a request past the end of a document that shrank reports no
    // lines that are not there).
    if (!parser || !lineExists || (job->idle && job->rangeEnd < 0)) {
        job->currentLine = lines;
        job->rangeEnd = 0;
        job->setDone();
        return;
    }
    parser->bind(document, &job->endPatterns);
    uint32_t tick = worker->stepStart();
    LARGE_INTEGER frequency;
    LARGE_INTEGER started;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&started);
    const LONGLONG budget = frequency.QuadPart * STEP_MICROSECONDS / 1000000;
    bool finished = false;
    for (int parsed = 1;; ++parsed) {
        job->noteProgress(job->currentLine, tick);
        finished = step(job, parser);
        if (finished || parsed >= STEP_LINES)
            break;
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        if (now.QuadPart - started.QuadPart >= budget)
            break;
    }
    report(job, worker, finished, tick);
    parser->unbind();
    if (finished)
        job->setDone();
}

bool ParserClient::step(ParserJob* job, LineParser* parser) {
    int32_t lines = job->getDocument()->getLineCount();
    int32_t line = job->currentLine;
    if (line < 0 || line >= lines)
        return true;
    if (!parser->isLineCurrent(line))
        parser->parseLine(line);
    ++line;
    job->currentLine = line;
    if (line < lines) {
        // Past the requested range, the first line whose start state still holds ends it.
        if (parser->isLineCurrent(line) && line >= job->rangeEnd) {
            job->rangeEnd = 0;
            job->currentLine = lines;
            return true;
        }
        if (job->rangeEnd < line)
            job->rangeEnd = line;
        return false;
    }
    job->rangeEnd = 0;
    job->currentLine = lines;
    return true;
}

void ParserClient::report(ParserJob* job, BgWorker* worker, bool finished, uint32_t tick) {
    if (!job->takeReportTurn(finished, tick))
        return;
    LineRange* record = takeRecord(job->firstUnreported, job->lastLookedAt);
    if (!m_scheduler->postJobMessage(job, worker, record))
        giveBack(record);
    job->firstUnreported = job->lastLookedAt;
}

void ParserClient::onJobQueued(BgWorker*, BgJob* job) {
    static_cast<ParserJob*>(job)->idle = true;
}

void ParserClient::onJobMessage(BgScheduler*, BgJob* bgJob, void* data) {
    ParserJob* job = static_cast<ParserJob*>(bgJob);
    LineRange* range = static_cast<LineRange*>(data);
    Document* document = job->getDocument();
    if (document && !job->isClosing()) {
        document->lockEdit();
        try {
            document->notifyLinesParsed(range->first, range->last);
        } catch (...) {
            document->unlockEdit();
            giveBack(range);
            throw;
        }
        document->unlockEdit();
    }
    giveBack(range);
}

void ParserClient::onJobMessageDropped(BgScheduler*, BgJob*, void* data) {
    giveBack(data);
}

void ParserClient::onJobData(BgScheduler*, BgJob* bgJob, void* data) {
    LineRange* range = static_cast<LineRange*>(data);
    static_cast<ParserJob*>(bgJob)->widen(range->first, range->last);
    giveBack(range);
}

void ParserClient::onJobDataDiscarded(BgScheduler*, BgJob*, void* data) {
    giveBack(data);
}

} // namespace corvel
