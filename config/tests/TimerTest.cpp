#include "corvel/config/Timer.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

TEST(TimerTest, FactorComesFromTheCounterFrequency) {
    corvel::initTimer();
    LARGE_INTEGER frequency;
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    EXPECT_TRUE(corvel::timerAvailable());
    EXPECT_DOUBLE_EQ(1000000.0 / static_cast<double>(frequency.QuadPart), corvel::timerMicrosecondsPerTick());
    // A second call changes nothing.
    corvel::initTimer();
    EXPECT_DOUBLE_EQ(1000000.0 / static_cast<double>(frequency.QuadPart), corvel::timerMicrosecondsPerTick());
}

TEST(TimerTest, NowNeverRunsBackwards) {
    corvel::initTimer();
    int64_t previous = corvel::timerNowMicroseconds();
    for (int i = 0; i < 1000; ++i) {
        int64_t now = corvel::timerNowMicroseconds();
        ASSERT_GE(now, previous);
        previous = now;
    }
}

} // namespace
