#include "zem/base/Clock.h"
#include "zem/base/Exception.h"
#include "zem/base/Random.h"
#include "zem/base/UniqueNameGenerator.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

TEST(ClockTest, FileTimeToUnixTime) {
    EXPECT_EQ(0u, zem::fileTimeToUnixMs(zem::FILETIME_UNIX_EPOCH));
    EXPECT_EQ(1000u, zem::fileTimeToUnixMs(zem::FILETIME_UNIX_EPOCH + 10000000));
    EXPECT_EQ(1u, zem::fileTimeToUnixUs(zem::FILETIME_UNIX_EPOCH + 19));
    // Sometime after 2020 and before 2100.
    EXPECT_GT(zem::currentTimeMs(), 1577836800000ull);
    EXPECT_LT(zem::currentTimeMs(), 4102444800000ull);
}

TEST(ClockTest, StopwatchAccumulatesOnlyWhileRunning) {
    zem::Stopwatch watch;
    EXPECT_EQ(0, watch.elapsed());
    // The system clock moves in steps; run until it has moved at least once.
    auto runUntilTicked = [&] {
        int64_t before = watch.elapsed();
        watch.start();
        int64_t deadline = zem::currentTimeUs() + 5000000;
        while (watch.elapsed() == before && zem::currentTimeUs() < deadline) {
        }
        watch.stop();
    };
    runUntilTicked();
    int64_t first = watch.elapsed();
    EXPECT_GT(first, 0);
    EXPECT_EQ(first, watch.elapsed()); // stopped: nothing more accumulates
    runUntilTicked();
    EXPECT_GT(watch.elapsed(), first); // a second run adds to the first
    watch.reset();
    EXPECT_EQ(0, watch.elapsed());
}

TEST(RandomTest, MatchesTheBsdSequence) {
    // The first values of random() after srandom(1) with the default 128-byte state.
    int32_t state[32];
    zem::Random random(state, sizeof(state), 1);
    EXPECT_EQ(3, random.type());
    EXPECT_EQ(31, random.degree());
    EXPECT_EQ(3, random.separation());
    EXPECT_EQ(1804289383, random.next());
    EXPECT_EQ(846930886, random.next());
    EXPECT_EQ(1681692777, random.next());
}

TEST(RandomTest, TypeFollowsStateSizeAndZeroSeedStillWorks) {
    const struct {
        size_t bytes;
        int type;
    } rows[] = {{8, 0}, {31, 0}, {32, 1}, {63, 1}, {64, 2}, {128, 3}, {255, 3}, {256, 4}};
    for (const auto& row : rows) {
        int32_t state[64] = {};
        zem::Random random(state, row.bytes, 0);
        EXPECT_EQ(row.type, random.type()) << row.bytes << " bytes";
        int32_t v = random.next();
        EXPECT_GE(v, 0);
        if (row.type > 0) {
            EXPECT_NE(0, state[2]) << "zero seed must still fill the state";
        }
    }
    int32_t tiny[1];
    EXPECT_THROW(zem::Random(tiny, 4, 1), zem::AssertionViolationException);
}

TEST(RandomTest, SameSeedSameSequence) {
    int32_t s1[16], s2[16];
    zem::Random a(s1, sizeof(s1), 77), b(s2, sizeof(s2), 77);
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(a.next(), b.next());
}

TEST(UniqueNameTest, NamesDifferOnlyInTheCounter) {
    zem::UniqueNameGenerator names;
    std::wstring pid = std::to_wstring(GetCurrentProcessId());
    EXPECT_EQ(L"tmp-" + pid + L"-1", names.make(L"tmp"));
    EXPECT_EQ(L"tmp-" + pid + L"-2", names.make(L"tmp"));
}

} // namespace
