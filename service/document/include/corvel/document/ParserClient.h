// Runs every document's ParserJob on the "parser" scheduler: one line per step under a
// bounded try of the document's edit lock, reporting the parsed line ranges to the main
// thread, where the document tells its listeners. Each worker has its own LineParser.
#pragma once
#include "corvel/config/BgClient.h"
#include "zem/base/Allocator.h"

#include <atomic>
#include <cstdint>

namespace corvel {

class BgScheduler;
class Document;
class DocumentManager;
class LineParser;
class ParserJob;

class ParserClient : public BgClient {
public:
    // How long a step waits for the document's edit lock before giving up its turn.
    static constexpr int LOCK_WAIT_MS = 5;
    // A step parses lines until one of these is reached (or the job ends): taking the
    // document's lock and answering the scheduler cost more than a line, and a step holds
    // the lock that an editing main thread waits for.
    static constexpr int STEP_LINES = 256;
    static constexpr int STEP_MICROSECONDS = 500;

    // A range of lines, handed between threads in pooled records.
    struct LineRange {
        int32_t first;
        int32_t last;
    };

    ParserClient(BgScheduler* scheduler, DocumentManager* manager = nullptr);
    ~ParserClient() override;

    BgScheduler* getScheduler() const { return m_scheduler; }

    // A job for the document, attached to the scheduler and set on the document.
    ParserJob* createJob(Document* document);
    // Asks for lines first..last to be looked at again (the job widens its range);
    // nothing for a job that is closing or not on this scheduler.
    void requestLines(Document* document, int32_t first, int32_t last);
    // Gives up the document's job: it stops and leaves the scheduler, and is deleted now,
    // or by the scheduler when its last message on the way arrives.
    void releaseJob(ParserJob* job);
    // Priority 2 for a document shown in an editor, 3 for the others.
    void setJobActive(ParserJob* job, bool active);

    void* createWorkerContext(BgWorker* worker) override;
    void destroyWorkerContext(BgWorker* worker, void* context) override;
    void processJob(BgWorker* worker, BgJob* job) override;
    void onJobQueued(BgWorker* worker, BgJob* job) override;
    void onJobMessage(BgScheduler* scheduler, BgJob* job, void* data) override;
    void onJobMessageDropped(BgScheduler* scheduler, BgJob* job, void* data) override;
    void onJobData(BgScheduler* scheduler, BgJob* job, void* data) override;
    void onJobDataDiscarded(BgScheduler* scheduler, BgJob* job, void* data) override;

    // For tests: range records taken and not yet returned, and steps that found the edit
    // lock taken.
    int32_t outstandingRecords() const { return m_outstanding.load(); }
    int32_t lockMisses() const { return m_lockMisses.load(); }

private:
    // One line: true when the job has nothing more to look at.
    bool step(ParserJob* job, LineParser* parser);
    void report(ParserJob* job, BgWorker* worker, bool finished, uint32_t tick);
    LineRange* takeRecord(int32_t first, int32_t last);
    void giveBack(void* record);

    BgScheduler* m_scheduler;
    DocumentManager* m_manager;
    zem::TAllocator<sizeof(LineRange), 64, 2> m_records;
    std::atomic<int32_t> m_outstanding{0};
    std::atomic<int32_t> m_lockMisses{0};
};

} // namespace corvel
