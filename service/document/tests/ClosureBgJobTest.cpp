#include "corvel/document/ClosureBgJob.h"
#include "corvel/config/BgScheduler.h"
#include "support/TestWindow.h"
#include "zem/thread/MessageRegistry.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <windows.h>

namespace {

using corvel::ClosureBgJob;

struct Outcome {
    std::atomic<DWORD> workerThread{0};
    std::atomic<DWORD> resultThread{0};
    std::atomic<int> result{0};
};

// Runs on the worker: posts its answer back through the job.
void work(void* context, ClosureBgJob* job, int input) {
    Outcome* outcome = static_cast<Outcome*>(context);
    outcome->workerThread = GetCurrentThreadId();
    job->postToMainThread(new corvel::Closure_1<int>(
        [](void* c, int value) {
            Outcome* o = static_cast<Outcome*>(c);
            o->resultThread = GetCurrentThreadId();
            o->result = value;
        },
        outcome, input * 2));
}

TEST(ClosureBgJobTest, RunsOnAWorkerAndAnswersOnTheMainThread) {
    zemtest::TestWindow window;
    ASSERT_NE(nullptr, window.handle()) << "windows need a display (run under Xvfb)";
    zem::MessageRegistry registry;
    registry.init(window.handle());
    Outcome outcome;
    corvel::ClosureBgClient client;
    std::unique_ptr<ClosureBgJob> job;
    {
        corvel::BgScheduler scheduler(L"Closures");
        job.reset(new ClosureBgJob(&client, nullptr));
        job->setClosure(new corvel::Closure_2<ClosureBgJob*, int>(&work, &outcome, job.get(), 21));
        scheduler.attachJob(job.get());
        scheduler.setWorkerCount(1);
        scheduler.queueJob(job.get(), false);
        EXPECT_TRUE(window.pumpUntil([&] { return outcome.result.load() == 42; }));
        EXPECT_NE(0u, outcome.workerThread.load());
        EXPECT_NE(GetCurrentThreadId(), outcome.workerThread.load());
        EXPECT_EQ(GetCurrentThreadId(), outcome.resultThread.load());
        window.pumpUntil([&] {
            zem::CriticalSectionLock guard(scheduler.getLock());
            return job->state() == corvel::BgJob::STATE_IDLE && job->messageCount() == 0;
        });
    }
    window.drain();
    registry.shutdown();
}

TEST(ClosureBgJobTest, ADroppedAnswerIsDeletedUnrun) {
    struct Flagged : corvel::Closure {
        bool* ran;
        bool* deleted;
        Flagged(bool* r, bool* d) : ran(r), deleted(d) {}
        ~Flagged() override { *deleted = true; }
        void invoke() override { *ran = true; }
    };
    bool ran = false, deleted = false;
    corvel::ClosureBgClient client;
    client.onJobMessageDropped(nullptr, nullptr, new Flagged(&ran, &deleted));
    EXPECT_FALSE(ran);
    EXPECT_TRUE(deleted);
}

} // namespace
