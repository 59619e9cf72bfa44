#include "corvel/config/BgScheduler.h"

#include "corvel/config/BgClient.h"
#include "support/TestWindow.h"
#include "zem/base/Exception.h"
#include "zem/thread/CriticalSection.h"
#include "zem/thread/MessageRegistry.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

std::atomic<uint32_t> g_tick{1000};
uint32_t testTick() {
    return g_tick.load();
}

// How a test job behaves in each step.
struct TestJob : corvel::BgJob {
    TestJob(corvel::BgClient* client, const wchar_t* name, int doneAfter = 1)
        : corvel::BgJob(client), name(name), doneAfter(doneAfter) {}
    ~TestJob() override {
        if (deleted)
            *deleted = true;
    }
    std::wstring name;
    int doneAfter; // steps until done; 0 never
    bool throwOnFirst = false;
    bool exitOnFirst = false;        // the worker thread dies in the step, as if killed
    int messagesOnFirst = 0;         // postJobMessage calls in the first step
    HANDLE firstStepBegun = nullptr; // set when the first step starts, which then waits
    HANDLE holdFirstStep = nullptr;  // (at most 10 s) for this one
    std::atomic<bool> firstStepEnded{false};
    std::atomic<int> steps{0};
    bool* deleted = nullptr;
};

// Records the calls it gets as "slot:job[:data]" lines.
class RecordingClient : public corvel::BgClient {
public:
    std::vector<std::wstring> events() {
        zem::CriticalSectionLock guard(m_lock);
        return m_events;
    }
    bool has(const std::wstring& event) {
        for (const std::wstring& e : events())
            if (e == event)
                return true;
        return false;
    }
    std::vector<std::wstring> eventsStartingWith(const std::wstring& prefix) {
        std::vector<std::wstring> out;
        for (const std::wstring& e : events())
            if (e.compare(0, prefix.size(), prefix) == 0)
                out.push_back(e);
        return out;
    }

    std::atomic<int> contextsMade{0};
    std::atomic<int> contextsDestroyed{0};
    std::atomic<int> lastPriority{99};

    void* createWorkerContext(corvel::BgWorker*) override {
        ++contextsMade;
        return &m_context;
    }
    void destroyWorkerContext(corvel::BgWorker*, void* context) override {
        if (context == &m_context)
            ++contextsDestroyed;
    }
    void processJob(corvel::BgWorker* worker, corvel::BgJob* job) override {
        TestJob* t = static_cast<TestJob*>(job);
        int step = ++t->steps;
        lastPriority = worker->priority();
        if (step == 1) {
            record(L"step", job);
            if (t->holdFirstStep) {
                SetEvent(t->firstStepBegun);
                WaitForSingleObject(t->holdFirstStep, 10000);
                t->firstStepEnded = true;
            }
            for (int i = 0; i < t->messagesOnFirst; ++i)
                worker->scheduler()->postJobMessage(job, worker,
                                                    reinterpret_cast<void*>(static_cast<uintptr_t>(i + 1)));
            if (t->throwOnFirst)
                throw zem::RuntimeException(L"step failed");
            if (t->exitOnFirst)
                ExitThread(0);
        }
        if (t->doneAfter != 0 && step >= t->doneAfter)
            job->setDone();
    }
    void onJobAttached(corvel::BgWorker*, corvel::BgJob* job) override { record(L"attached", job); }
    void onJobDequeued(corvel::BgWorker*, corvel::BgJob* job) override { record(L"dequeued", job); }
    void onJobQueued(corvel::BgWorker*, corvel::BgJob* job) override { record(L"queued", job); }
    void onJobFinished(corvel::BgScheduler*, corvel::BgJob* job) override { record(L"finished", job); }
    void onJobMessage(corvel::BgScheduler*, corvel::BgJob* job, void* data) override { record(L"message", job, data); }
    void onJobMessageDropped(corvel::BgScheduler*, corvel::BgJob* job, void* data) override {
        record(L"dropped", job, data);
    }
    void onJobData(corvel::BgScheduler*, corvel::BgJob* job, void* data) override { record(L"data", job, data); }
    void onJobDataDiscarded(corvel::BgScheduler*, corvel::BgJob* job, void* data) override {
        record(L"discarded", job, data);
    }

private:
    void record(const wchar_t* slot, corvel::BgJob* job, void* data = nullptr) {
        std::wstring line = std::wstring(slot) + L":" + static_cast<TestJob*>(job)->name;
        if (data)
            line += L":" + std::to_wstring(reinterpret_cast<uintptr_t>(data));
        zem::CriticalSectionLock guard(m_lock);
        m_events.push_back(line);
    }

    int m_context = 0;
    zem::CriticalSection m_lock;
    std::vector<std::wstring> m_events; // guarded by m_lock
};

class CountingHandler : public zem::ThreadErrorHandler {
public:
    std::atomic<int> reports{0};
    void reportException(zem::Exception&) override { ++reports; }
};

class BgSchedulerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, window.handle()) << "windows need a display (run under Xvfb)";
        registry = std::make_unique<zem::MessageRegistry>();
        registry->init(window.handle());
        g_tick = 1000;
        scheduler = std::make_unique<corvel::BgScheduler>(L"test");
        scheduler->setTickSource(&testTick);
    }
    void TearDown() override {
        scheduler.reset();
        window.drain();
        registry->shutdown();
        registry.reset();
    }

    TestJob* make(const wchar_t* name, int doneAfter = 1, int32_t priority = 2) {
        jobs.push_back(std::make_unique<TestJob>(&client, name, doneAfter));
        scheduler->attachJob(jobs.back().get());
        scheduler->setJobPriority(jobs.back().get(), priority);
        return jobs.back().get();
    }
    bool pumpUntil(const std::function<bool()>& done) { return window.pumpUntil(done, 10000); }
    // Waits for worker-side progress without dispatching messages.
    static bool waitFor(const std::function<bool()>& done) {
        return zemtest::waitUntil(done, 10000, [](DWORD) { Sleep(1); });
    }

    zemtest::TestWindow window;
    std::unique_ptr<zem::MessageRegistry> registry;
    RecordingClient client;
    std::vector<std::unique_ptr<TestJob>> jobs;
    std::unique_ptr<corvel::BgScheduler> scheduler; // declared last: stopped before the jobs go
};

TEST_F(BgSchedulerTest, LowerPriorityValuesRunFirstAndEqualOnesInQueueOrder) {
    TestJob* a = make(L"a", 1, 3);
    TestJob* b = make(L"b", 1, 3);
    TestJob* c = make(L"c", 1, 2);
    // Priorities set after attaching take effect when queueing repositions the jobs.
    scheduler->queueJob(a, true);
    scheduler->queueJob(b, true);
    scheduler->queueJob(c, true);
    scheduler->setWorkerCount(1);
    ASSERT_TRUE(pumpUntil([&] { return client.eventsStartingWith(L"finished").size() == 3; }));
    EXPECT_EQ((std::vector<std::wstring>{L"step:c", L"step:a", L"step:b"}), client.eventsStartingWith(L"step"));
    EXPECT_EQ((std::vector<std::wstring>{L"finished:c", L"finished:a", L"finished:b"}),
              client.eventsStartingWith(L"finished"));
    EXPECT_EQ(corvel::BgJob::STATE_IDLE, a->state());
    EXPECT_EQ(nullptr, a->currentWorker());
    EXPECT_EQ(0, a->messageCount());
}

// Also caught: across the wrap of the tick counter an unsigned comparison read the fresh
// deadline as long past, and the job was rotated at once.
TEST_F(BgSchedulerTest, AJobKeepsItsWorkerUntilItsSliceEndsWhileOthersWait) {
    g_tick = 0xFFFFFFC0u;
    scheduler->setWorkerCount(1);
    TestJob* x = make(L"x", 0);
    scheduler->queueJob(x, false);
    ASSERT_TRUE(waitFor([&] { return x->steps > 5; }));
    {
        zem::CriticalSectionLock guard(scheduler->getLock());
        EXPECT_EQ(0xFFFFFFC0u + 100u, x->deadline());
    }
    TestJob* y = make(L"y", 1);
    scheduler->queueJob(y, false);
    int before = x->steps;
    ASSERT_TRUE(waitFor([&] { return x->steps > before + 200; }));
    EXPECT_EQ(0, y->steps) << "rotated before the slice ended";
    g_tick = 0xFFFFFFC0u + 101u;
    ASSERT_TRUE(pumpUntil([&] { return client.has(L"finished:y"); }));
    // x gets the worker back once y is done.
    before = x->steps;
    ASSERT_TRUE(waitFor([&] { return x->steps > before; }));
    scheduler->cancelJob(x);
}

TEST_F(BgSchedulerTest, SliceTimeLeftIsCarriedIntoTheNextSlice) {
    scheduler->setWorkerCount(1);
    TestJob* x = make(L"x", 0);
    g_tick = 5000;
    scheduler->queueJob(x, false);
    ASSERT_TRUE(waitFor([&] { return x->steps > 0; }));
    g_tick = 5040;
    int before = x->steps;
    ASSERT_TRUE(waitFor([&] { return x->steps > before + 1; }));
    scheduler->dequeueJob(x); // returns once the worker has let go
    {
        zem::CriticalSectionLock guard(scheduler->getLock());
        EXPECT_EQ(nullptr, x->currentWorker());
        EXPECT_EQ(60u, x->carriedTime());
    }
    g_tick = 9000;
    scheduler->queueJob(x, false);
    before = x->steps;
    ASSERT_TRUE(waitFor([&] { return x->steps > before; }));
    {
        zem::CriticalSectionLock guard(scheduler->getLock());
        EXPECT_EQ(9000u + 100u + 60u, x->deadline());
        EXPECT_EQ(0u, x->carriedTime());
    }
    scheduler->cancelJob(x);
    EXPECT_TRUE(client.has(L"dequeued:x"));
}

TEST_F(BgSchedulerTest, PriorityZeroGetsALongerSlice) {
    scheduler->setWorkerCount(1);
    TestJob* x = make(L"x", 0, 0);
    scheduler->queueJob(x, false);
    ASSERT_TRUE(waitFor([&] { return x->steps > 0; }));
    {
        zem::CriticalSectionLock guard(scheduler->getLock());
        EXPECT_EQ(1000u + 300u, x->deadline());
    }
    scheduler->cancelJob(x);
}

TEST_F(BgSchedulerTest, CancelReturnsAfterTheWorkerLetGo) {
    scheduler->setWorkerCount(1);
    TestJob* x = make(L"x", 0);
    scheduler->queueJob(x, false);
    ASSERT_TRUE(waitFor([&] { return x->steps > 3; }));
    scheduler->cancelJob(x);
    EXPECT_EQ(nullptr, x->currentWorker());
    EXPECT_EQ(nullptr, x->scheduler());
    EXPECT_TRUE(x->isCancelRequested());
    int stopped = x->steps;
    // Requests for a job that left the scheduler are ignored.
    scheduler->queueJob(x, false);
    TestJob* y = make(L"y", 1);
    scheduler->queueJob(y, false);
    ASSERT_TRUE(pumpUntil([&] { return client.has(L"finished:y"); }));
    EXPECT_EQ(stopped, x->steps);
}

TEST_F(BgSchedulerTest, DataItemsReachTheClientAndRemoveDiscardsThem) {
    // Without workers the command lists wait, so what each call queues can be seen.
    TestJob* x = make(L"x", 1);
    scheduler->scheduleJob(x, reinterpret_cast<void*>(1));
    scheduler->scheduleJob(x, reinterpret_cast<void*>(2));
    EXPECT_EQ(corvel::BgJob::STATE_QUEUED, x->state());
    scheduler->removeJob(x);
    EXPECT_EQ((std::vector<std::wstring>{L"discarded:x:1", L"dequeued:x", L"discarded:x:2"}), client.events());
    scheduler->cancelJob(x);

    TestJob* y = make(L"y", 1);
    scheduler->scheduleJob(y, reinterpret_cast<void*>(3));
    scheduler->setWorkerCount(1);
    ASSERT_TRUE(pumpUntil([&] { return client.has(L"finished:y"); }));
    std::vector<std::wstring> all = client.events();
    ASSERT_EQ(7u, all.size());
    EXPECT_EQ((std::vector<std::wstring>{L"attached:y", L"data:y:3", L"step:y", L"finished:y"}),
              std::vector<std::wstring>(all.begin() + 3, all.end()));
}

// Caught: data for a job in the middle of a step waited for the step to end, and the
// editor, ending an edit with the document locked, waited for a parse step that waited
// for that lock.
TEST_F(BgSchedulerTest, DataForARunningJobIsTakenAfterItsStepWithoutWaitingForIt) {
    TestJob* x = make(L"x", 2);
    x->firstStepBegun = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    x->holdFirstStep = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    scheduler->setWorkerCount(1);
    scheduler->queueJob(x, false);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(x->firstStepBegun, 10000));
    scheduler->scheduleJob(x, reinterpret_cast<void*>(7));
    EXPECT_FALSE(x->firstStepEnded) << "the call waited for the step";
    SetEvent(x->holdFirstStep);
    ASSERT_TRUE(pumpUntil([&] { return client.has(L"finished:x"); }));
    EXPECT_EQ(
        (std::vector<std::wstring>{L"attached:x", L"queued:x", L"step:x", L"dequeued:x", L"data:x:7", L"finished:x"}),
        client.events());
    EXPECT_EQ(2, x->steps.load());
    CloseHandle(x->firstStepBegun);
    CloseHandle(x->holdFirstStep);
}

TEST_F(BgSchedulerTest, MessagesReachTheMainThreadAndADeadJobIsDeletedWithTheLast) {
    bool deleted = false;
    TestJob* x = new TestJob(&client, L"x", 1);
    x->deleted = &deleted;
    x->messagesOnFirst = 1;
    scheduler->attachJob(x);
    scheduler->setWorkerCount(1);
    scheduler->queueJob(x, false);
    // The step's message and the finished notice: two undelivered messages.
    ASSERT_TRUE(waitFor([&] { return x->messageCount() == 2; }));
    scheduler->cancelJob(x);
    {
        zem::CriticalSectionLock guard(scheduler->getLock());
        x->setState(corvel::BgJob::STATE_DEAD);
    }
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, window.handle(), 0, 0, PM_REMOVE));
    DispatchMessageW(&msg);
    EXPECT_FALSE(deleted);
    EXPECT_EQ((std::vector<std::wstring>{L"dropped:x:1"}), client.eventsStartingWith(L"dropped"));
    ASSERT_TRUE(PeekMessageW(&msg, window.handle(), 0, 0, PM_REMOVE));
    DispatchMessageW(&msg);
    EXPECT_TRUE(deleted);
    EXPECT_FALSE(client.has(L"finished:x"));

    TestJob* y = make(L"y", 1);
    y->messagesOnFirst = 2;
    scheduler->queueJob(y, false);
    ASSERT_TRUE(pumpUntil([&] { return client.has(L"finished:y"); }));
    EXPECT_EQ((std::vector<std::wstring>{L"message:y:1", L"message:y:2"}), client.eventsStartingWith(L"message"));
}

TEST_F(BgSchedulerTest, AFailingStepIsReportedCountsAsDoneAndTheWorkerLives) {
    CountingHandler handler;
    zem::setThreadErrorHandler(&handler);
    scheduler->setWorkerCount(1);
    TestJob* x = make(L"x", 0);
    x->throwOnFirst = true;
    scheduler->queueJob(x, false);
    bool finished = pumpUntil([&] { return client.has(L"finished:x"); });
    zem::setThreadErrorHandler(nullptr);
    ASSERT_TRUE(finished);
    EXPECT_EQ(1, handler.reports.load());
    EXPECT_EQ(1, x->steps.load());
    TestJob* y = make(L"y", 1);
    scheduler->queueJob(y, false);
    ASSERT_TRUE(pumpUntil([&] { return client.has(L"finished:y"); }));
    EXPECT_EQ(1u, scheduler->workerCount());
}

// Caught: a request to a worker whose thread had died waited for an answer for ever.
TEST_F(BgSchedulerTest, ADeadWorkerCountsAsHavingLetGo) {
    scheduler->setWorkerCount(1);
    TestJob* x = make(L"x", 0);
    x->exitOnFirst = true;
    scheduler->queueJob(x, false);
    ASSERT_TRUE(waitFor([&] { return x->steps > 0; }));
    scheduler->cancelJob(x);
    EXPECT_EQ(nullptr, x->scheduler());
    EXPECT_EQ(nullptr, x->currentWorker());
    scheduler->setWorkerCount(0);
    EXPECT_EQ(0u, scheduler->workerCount());
}

TEST_F(BgSchedulerTest, OneContextPerWorkerAndClientReleasedWithTheWorker) {
    scheduler->setWorkerCount(1);
    TestJob* a = make(L"a", 1);
    TestJob* b = make(L"b", 1);
    scheduler->queueJob(a, false);
    ASSERT_TRUE(pumpUntil([&] { return client.has(L"finished:a"); }));
    scheduler->queueJob(b, false);
    ASSERT_TRUE(pumpUntil([&] { return client.has(L"finished:b"); }));
    EXPECT_EQ(1, client.contextsMade.load());
    EXPECT_EQ(0, client.contextsDestroyed.load());
    scheduler->setWorkerCount(0);
    EXPECT_EQ(0u, scheduler->workerCount());
    EXPECT_EQ(1, client.contextsDestroyed.load());
}

TEST_F(BgSchedulerTest, WorkersCanBeAddedRemovedAndLowered) {
    scheduler->setWorkerCount(3);
    EXPECT_EQ(3u, scheduler->workerCount());
    scheduler->lowerWorkerPriority();
    scheduler->setWorkerCount(1);
    EXPECT_EQ(1u, scheduler->workerCount());
    TestJob* a = make(L"a", 1);
    scheduler->queueJob(a, false);
    ASSERT_TRUE(pumpUntil([&] { return client.has(L"finished:a"); }));
    EXPECT_EQ(THREAD_PRIORITY_BELOW_NORMAL, client.lastPriority.load());
}

TEST(BgSchedulerWorkerCountTest, FollowsTheProcessorsOfTheMask) {
    const struct {
        int32_t requested;
        uintptr_t mask;
        int32_t expected;
    } cases[] = {
        {0, 0x0, 1},  {3, 0x0, 1},  {0, 0x1, 1},   {0, 0x3, 1},  {0, 0x4, 2},
        {0, 0xF, 3},  {0, 0x1F, 4}, {0, 0x3F, 4},  {0, 0xFF, 4}, {6, 0xFF, 6},
        {8, 0xFF, 8}, {9, 0xFF, 4}, {-1, 0xFF, 4}, {2, 0x2, 2},  {0x7FFFFFFF, 0xFFFFFFFFu, 4},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, corvel::BgScheduler::defaultWorkerCount(c.requested, c.mask))
            << "requested " << c.requested << ", mask 0x" << std::hex << c.mask;
}

TEST(BgSchedulerNameTest, KeepsAtMost23Characters) {
    zem::MessageRegistry registry;
    corvel::BgScheduler scheduler(L"abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(std::wstring(L"abcdefghijklmnopqrstuvw"), scheduler.name());
    registry.shutdown();
}

} // namespace
