#include "corvel/ui/afTimer.h"

#include "support/LogCapture.h"
#include "support/TestWindow.h"
#include "zem/base/Exception.h"

#include <gtest/gtest.h>

using corvel::afTimer;

namespace {

// Answers true until its stop-th call, then false; may throw on one call.
struct Handler {
    int calls = 0;
    int stopAt = 1000;
    int throwAt = 0;
    bool onTick(afTimer*) {
        ++calls;
        if (calls == throwAt)
            throw zem::IllegalStateException(L"handler failed on purpose");
        return calls < stopAt;
    }
};

class afTimerTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(0u, afTimer::runningCount()); }
    zemtest::TestWindow pump;
};

TEST_F(afTimerTest, IntervalStaysWithinTheSystemLimits) {
    afTimer timer;
    const struct {
        uint32_t given, stored;
    } cases[] = {{0, 10}, {5, 10}, {10, 10}, {11, 11}, {0x7FFFFFFF, 0x7FFFFFFF}, {0x80000000u, 0x7FFFFFFF}};
    for (const auto& c : cases) {
        timer.setInterval(c.given);
        EXPECT_EQ(c.stored, timer.getInterval()) << c.given;
    }
}

TEST_F(afTimerTest, AHandlerEndsItsTimerByAnsweringFalse) {
    Handler handler;
    handler.stopAt = 3;
    afTimer timer;
    timer.setInterval(10);
    timer.setHandler(&handler, &Handler::onTick);
    timer.start();
    EXPECT_TRUE(timer.isRunning());
    EXPECT_EQ(1u, afTimer::runningCount());
    ASSERT_TRUE(pump.pumpUntil([&] { return !timer.isRunning(); }));
    EXPECT_EQ(3, handler.calls);
    EXPECT_EQ(2, timer.getTicks());
    EXPECT_EQ(0u, afTimer::runningCount()); // the registry went with the last timer
}

TEST_F(afTimerTest, StoppingOneTimerKeepsTheOthers) {
    Handler first, second;
    afTimer a, b;
    a.setInterval(10);
    b.setInterval(10);
    a.setHandler(&first, &Handler::onTick);
    b.setHandler(&second, &Handler::onTick);
    a.start();
    b.start();
    EXPECT_EQ(2u, afTimer::runningCount());
    a.stop();
    a.stop(); // stopping a stopped timer does nothing
    EXPECT_FALSE(a.isRunning());
    EXPECT_EQ(1u, afTimer::runningCount());
    ASSERT_TRUE(pump.pumpUntil([&] { return second.calls >= 3; }));
    EXPECT_EQ(0, first.calls);
    EXPECT_LE(3, b.getTicks());
    b.start(); // a restart counts from 0
    EXPECT_EQ(0, b.getTicks());
    EXPECT_EQ(1u, afTimer::runningCount());
    {
        afTimer gone;
        gone.setInterval(10);
        gone.setHandler(&first, &Handler::onTick);
        gone.start();
        EXPECT_EQ(2u, afTimer::runningCount());
    }
    EXPECT_EQ(1u, afTimer::runningCount()); // destroying a timer stops it
    b.stop();
}

TEST_F(afTimerTest, NothingEscapesTheTimerProcedure) {
    zemtest::LogCapture log(0x629b9e5bu);
    Handler handler;
    handler.throwAt = 1;
    handler.stopAt = 3;
    afTimer timer;
    timer.setInterval(10);
    timer.setHandler(&handler, &Handler::onTick);
    timer.start();
    // A tick queued for a timer that was stopped since, while another timer runs.
    afTimer::onTimer(nullptr, WM_TIMER, 0xBAD0, 0);
    ASSERT_TRUE(pump.pumpUntil([&] { return !timer.isRunning(); }));
    EXPECT_EQ(3, handler.calls);
    EXPECT_EQ(1, timer.getTicks()); // the failed tick does not count
    auto lines = log.lines();
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(L"Timer called, but not registered.", lines[0].text);
    EXPECT_EQ(3, lines[0].level);
    EXPECT_EQ(L"handler failed on purpose", lines[1].text);
    // Without any timer there is no registry and a stray tick is ignored.
    afTimer::onTimer(nullptr, WM_TIMER, 0xBAD0, 0);
    EXPECT_EQ(2u, log.lines().size());
}

// Stops and destroys its own timer from inside the tick.
struct SelfDestroying {
    afTimer* timer = nullptr;
    bool onTick(afTimer*) {
        delete timer;
        timer = nullptr;
        return true;
    }
};

TEST_F(afTimerTest, AHandlerMayDestroyItsTimer) {
    SelfDestroying handler;
    handler.timer = new afTimer;
    handler.timer->setInterval(10);
    handler.timer->setHandler(&handler, &SelfDestroying::onTick);
    handler.timer->start();
    ASSERT_TRUE(pump.pumpUntil([&] { return handler.timer == nullptr; }));
}

} // namespace
