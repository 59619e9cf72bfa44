#include "corvel/config/AsyncTask.h"

#include "corvel/config/Closure.h"
#include "support/TestWindow.h"
#include "zem/thread/MessageRegistry.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

bool waitFor(const std::function<bool()>& done) {
    return zemtest::waitUntil(done, 10000, [](DWORD) { Sleep(1); });
}

// Counts how closures end: invoked, and deleted.
struct Tally {
    std::atomic<int> invoked{0};
    std::atomic<int> deleted{0};
    std::vector<std::wstring> order; // main thread only
    std::atomic<bool> onMainThread{true};
};

class CountedClosure : public corvel::Closure {
public:
    CountedClosure(Tally& tally, std::wstring name) : m_tally(tally), m_name(std::move(name)) {}
    ~CountedClosure() override { ++m_tally.deleted; }
    void invoke() override {
        ++m_tally.invoked;
        if (!zem::is_main_thread())
            m_tally.onMainThread = false;
        else
            m_tally.order.push_back(m_name);
    }

private:
    Tally& m_tally;
    std::wstring m_name;
};

class AsyncTaskTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, window.handle()) << "windows need a display (run under Xvfb)";
        registry = std::make_unique<zem::MessageRegistry>();
        registry->init(window.handle());
        task = std::make_unique<corvel::AsyncTask>();
    }
    void TearDown() override {
        task.reset();
        window.drain();
        registry->shutdown();
        registry.reset();
    }

    // Runs body on the task thread (hand-off returns once it was taken).
    template <class Body> void onTaskThread(Body& body) {
        ASSERT_TRUE(task->postToTaskThread(new corvel::Closure_0([](void* p) { (*static_cast<Body*>(p))(); }, &body)));
    }

    zemtest::TestWindow window;
    std::unique_ptr<zem::MessageRegistry> registry;
    std::unique_ptr<corvel::AsyncTask> task;
};

TEST_F(AsyncTaskTest, StopWithoutStartDoesNothing) {
    task->stop();
    EXPECT_FALSE(task->isRunning());
    Tally tally;
    CountedClosure closure(tally, L"x");
    EXPECT_FALSE(task->postToTaskThread(&closure));
}

TEST_F(AsyncTaskTest, HandOffReturnsOnceTakenBeforeItRuns) {
    task->start();
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> result{-1};
    auto body = [&] { result = WaitForSingleObject(release, 10000) == WAIT_OBJECT_0 ? 1 : 0; };
    onTaskThread(body);
    // Had the hand-off waited for the closure to run, the closure would have timed out.
    SetEvent(release);
    ASSERT_TRUE(waitFor([&] { return result != -1; }));
    EXPECT_EQ(1, result.load());
    task->stop();
    EXPECT_FALSE(task->isRunning());
    CloseHandle(release);
}

TEST_F(AsyncTaskTest, ClosuresPostedBackRunOnTheMainThreadInOrder) {
    task->start();
    Tally tally;
    std::atomic<int> posted{0};
    auto body = [&] {
        for (const wchar_t* name : {L"first", L"second", L"third"})
            if (task->postToUiThread(new CountedClosure(tally, name)))
                ++posted;
    };
    onTaskThread(body);
    // One slot: the second post waits until the main thread has taken the first.
    ASSERT_TRUE(waitFor([&] { return posted >= 1; }));
    ASSERT_TRUE(window.pumpUntil([&] { return tally.invoked == 3 && posted == 3; }));
    EXPECT_TRUE(tally.onMainThread);
    EXPECT_EQ((std::vector<std::wstring>{L"first", L"second", L"third"}), tally.order);
    EXPECT_EQ(3, tally.deleted.load());
}

TEST_F(AsyncTaskTest, StopReleasesATaskBlockedOnAFullOutbox) {
    task->start();
    Tally tally;
    std::atomic<int> second{-1};
    auto body = [&] {
        task->postToUiThread(new CountedClosure(tally, L"queued"));
        CountedClosure* blocked = new CountedClosure(tally, L"blocked");
        bool queued = task->postToUiThread(blocked);
        if (!queued)
            delete blocked; // it stays with the caller
        second = queued ? 1 : 0;
    };
    onTaskThread(body);
    task->stop(); // no messages are pumped: the outbox stays full
    EXPECT_FALSE(task->isRunning());
    EXPECT_EQ(0, second.load());
    EXPECT_EQ(0, tally.invoked.load());
    EXPECT_EQ(1, tally.deleted.load());
    // The closure left in the outbox goes with the task, uninvoked.
    task.reset();
    EXPECT_EQ(0, tally.invoked.load());
    EXPECT_EQ(2, tally.deleted.load());
}

TEST_F(AsyncTaskTest, AClosureTakenWhileStoppingIsDeletedUninvoked) {
    task->start();
    Tally tally;
    // The task thread is kept busy until the task is stopping; meanwhile a second thread
    // hands over a closure that the task thread takes only once it is stopping.
    auto busy = [&] { waitFor([&] { return task->isStopping(); }); };
    onTaskThread(busy);
    struct Late {
        corvel::AsyncTask* task;
        Tally* tally;
        std::atomic<int> result{-1};
    } late{task.get(), &tally};
    zem::Thread helper(L"late");
    helper.start(
        [](void* p) {
            Late* l = static_cast<Late*>(p);
            l->result = l->task->postToTaskThread(new CountedClosure(*l->tally, L"late")) ? 1 : 0;
        },
        &late);
    ASSERT_TRUE(waitFor([&] { return task->isHandOffPending(); }));
    task->stop();
    helper.join();
    EXPECT_EQ(1, late.result.load()); // taken: the task owned it
    EXPECT_EQ(0, tally.invoked.load());
    EXPECT_EQ(1, tally.deleted.load());
    EXPECT_FALSE(task->isRunning());
}

// The registry cannot deliver before it is bound to a window: the task keeps trying to
// wake the main thread until it can, and the queued closure then runs.
TEST(AsyncTaskUnboundTest, AWakeUpThatFailedIsRetried) {
    zemtest::TestWindow window;
    ASSERT_NE(nullptr, window.handle());
    zem::MessageRegistry registry;
    {
        corvel::AsyncTask task;
        task.start();
        Tally tally;
        std::atomic<int> posted{-1};
        auto body = [&] { posted = task.postToUiThread(new CountedClosure(tally, L"late")) ? 1 : 0; };
        ASSERT_TRUE(
            task.postToTaskThread(new corvel::Closure_0([](void* p) { (*static_cast<decltype(body)*>(p))(); }, &body)));
        ASSERT_TRUE(waitFor([&] { return task.isResultPending(); }));
        window.drain();
        EXPECT_EQ(0, tally.invoked.load());
        registry.init(window.handle());
        ASSERT_TRUE(window.pumpUntil([&] { return tally.invoked == 1 && posted != -1; }));
        EXPECT_EQ(1, posted.load());
        task.stop();
    }
    registry.shutdown();
}

TEST_F(AsyncTaskTest, CanBeStartedAgain) {
    task->start();
    task->start();
    Tally tally;
    auto body = [&] { task->postToUiThread(new CountedClosure(tally, L"again")); };
    onTaskThread(body);
    ASSERT_TRUE(window.pumpUntil([&] { return tally.invoked == 1; }));
    task->stop();
    task->start();
    onTaskThread(body);
    ASSERT_TRUE(window.pumpUntil([&] { return tally.invoked == 2; }));
}

TEST(ClosureTest, StoredArgumentsReachTheFunction) {
    int sum = 0;
    corvel::Closure_1<int> one([](void* c, int a) { *static_cast<int*>(c) += a; }, &sum, 5);
    corvel::Closure_2<int, long> two([](void* c, int a, long b) { *static_cast<int*>(c) += a * static_cast<int>(b); },
                                     &sum, 3, 7);
    one.invoke();
    two.invoke();
    EXPECT_EQ(26, sum);
}

TEST(ClosureQueueTest, HoldsOneClosureAndRefusesWhenClosing) {
    Tally tally;
    corvel::ClosureQueue queue;
    CountedClosure* a = new CountedClosure(tally, L"a");
    CountedClosure b(tally, L"b");
    corvel::Closure* out = nullptr;
    EXPECT_FALSE(queue.tryTake(out));
    EXPECT_EQ(corvel::ClosureQueue::PUSHED, queue.push(a, false));
    EXPECT_EQ(corvel::ClosureQueue::FULL, queue.push(&b, false));
    EXPECT_TRUE(queue.tryTake(out));
    EXPECT_EQ(a, out);
    EXPECT_TRUE(queue.isEmpty());
    EXPECT_EQ(corvel::ClosureQueue::PUSHED, queue.push(a, true));
    queue.close();
    EXPECT_EQ(corvel::ClosureQueue::CLOSING, queue.push(&b, false));
    EXPECT_FALSE(queue.tryTake(out));
    EXPECT_EQ(0, tally.deleted.load());
    // Left in the slot: deleted with the queue, uninvoked.
}

} // namespace
