#include "support/LogCapture.h"
#include "zem/base/Exception.h"
#include "zem/thread/Semaphore.h"
#include "zem/thread/TLS.h"
#include "zem/thread/Thread.h"

#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

namespace {

struct Gate {
    zem::Semaphore entered{0, 1};
    zem::Semaphore proceed{0, 1};
};

void waitAtGate(void* p) {
    Gate* gate = static_cast<Gate*>(p);
    gate->entered.release();
    gate->proceed.wait(10000);
}

TEST(ThreadTest, RestartOnlyAfterTheRunEnded) {
    Gate gate;
    zem::Thread thread;
    thread.start(&waitAtGate, &gate);
    ASSERT_EQ(0, gate.entered.wait(10000));
    try {
        thread.start(&waitAtGate, &gate);
        ADD_FAILURE() << "second start while running";
    } catch (zem::SystemException& e) {
        EXPECT_EQ(L"thread already running", e.message());
    }
    gate.proceed.release();
    thread.join();
    thread.join(); // a second join is a no-op
    thread.start(&waitAtGate, &gate);
    ASSERT_EQ(0, gate.entered.wait(10000));
    gate.proceed.release();
    thread.join();
}

TEST(ThreadTest, NamesDefaultToTheSequenceNumber) {
    zem::Thread a;
    zem::Thread b(L"DocLoader");
    EXPECT_EQ(L"#" + std::to_wstring(a.sequence()), a.name());
    EXPECT_EQ(a.sequence() + 1, b.sequence());
    EXPECT_EQ(L"DocLoader", b.name());
    b.setName(L"Other");
    EXPECT_EQ(L"Other", b.name());
}

TEST(ThreadTest, MainThreadRule) {
    EXPECT_TRUE(zem::is_main_thread());
    EXPECT_NO_THROW(zem::checkMainThread());
    std::wstring message;
    zem::Thread worker;
    worker.start(
        [](void* out) {
            try {
                zem::checkMainThread();
            } catch (zem::IllegalStateException& e) {
                *static_cast<std::wstring*>(out) = e.message();
            }
        },
        &message);
    worker.join();
    EXPECT_EQ(L"Not a main thread.", message);
}

struct Thrower : zem::Runnable {
    int kind;
    explicit Thrower(int k) : kind(k) {}
    void run() override {
        if (kind == 0)
            throw std::runtime_error("x");
        if (kind == 1)
            throw zem::InvalidArgumentException(L"bad %s argument");
        throw 42;
    }
};

TEST(ThreadTest, EscapingExceptionsAreReportedAsOneInfoLine) {
    const struct {
        int kind;
        const wchar_t* line;
    } rows[] = {{0, L"x"}, {1, L"bad %s argument"}, {2, L"unknown exception"}};
    for (const auto& row : rows) {
        zemtest::LogCapture capture(zem::LOG_UNKNOWN_SOURCE);
        Thrower body(row.kind);
        zem::Thread thread;
        thread.start(&body);
        thread.join();
        auto lines = capture.lines();
        ASSERT_EQ(1u, lines.size()) << "kind " << row.kind;
        EXPECT_EQ(zem::LOG_INFO, lines[0].level);
        EXPECT_EQ(row.line, lines[0].text);
    }
}

struct Counter {
    int value = 0;
};

TEST(ThreadTest, SlotsArePerThread) {
    zem::TLSSlot<Counter>::get().value = 7;
    int seen = -1;
    zem::Thread worker;
    worker.start(
        [](void* out) {
            Counter& c = zem::TLSSlot<Counter>::get();
            *static_cast<int*>(out) = c.value;
            c.value = 99;
        },
        &seen);
    worker.join();
    EXPECT_EQ(0, seen);
    EXPECT_EQ(7, zem::TLSSlot<Counter>::get().value);
}

// Caught: destroying a Thread while its thread still ran left the thread using freed slots.
TEST(ThreadTest, ThreadObjectMayGoFirst) {
    Gate gate;
    zem::Semaphore done(0, 1);
    struct Work {
        Gate* gate;
        zem::Semaphore* done;
    } work{&gate, &done};
    auto thread = std::make_unique<zem::Thread>();
    thread->start(
        [](void* p) {
            Work* w = static_cast<Work*>(p);
            w->gate->entered.release();
            w->gate->proceed.wait(10000);
            zem::TLSSlot<Counter>::get().value = 5; // touches the thread's own slot map
            w->done->release();
        },
        &work);
    ASSERT_EQ(0, gate.entered.wait(10000));
    thread.reset();
    gate.proceed.release();
    EXPECT_EQ(0, done.wait(10000));
}

class StopLoop : public zem::LegacyThread {
public:
    zem::Semaphore wake{0, 10};
    zem::Semaphore ran{0, 100};
    ~StopLoop() override { stopAndJoin(); }
    bool requestStop() override {
        zem::LegacyThread::requestStop();
        wake.release();
        return true;
    }
    int run() override {
        int passes = 0;
        while (!stopRequested()) {
            ran.release();
            wake.wait(10000);
            ++passes;
        }
        return passes;
    }
};

TEST(ThreadTest, LegacyThreadStopsOnRequestAndRestarts) {
    StopLoop loop;
    loop.start();
    ASSERT_EQ(0, loop.ran.wait(10000));
    loop.requestStop();
    loop.join();
    EXPECT_FALSE(loop.isRunning());
    loop.start(); // the stop flag is cleared for a new run
    EXPECT_EQ(0, loop.ran.wait(10000));
}

TEST(ThreadTest, PriorityAppliesToARunningThread) {
    Gate gate;
    zem::Thread thread;
    thread.setPriority(THREAD_PRIORITY_BELOW_NORMAL);
    thread.start(&waitAtGate, &gate);
    ASSERT_EQ(0, gate.entered.wait(10000));
    thread.setPriority(THREAD_PRIORITY_LOWEST);
    EXPECT_EQ(THREAD_PRIORITY_LOWEST, thread.priority());
    gate.proceed.release();
    thread.join();
    EXPECT_NE(0u, MTL::GetProcessAffinityMask());
}

} // namespace
