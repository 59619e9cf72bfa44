#include "support/LogCapture.h"
#include "zem/base/Crc.h"
#include "zem/base/Exception.h"
#include "zem/log/LogManager.h"
#include "zem/thread/Thread.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

using zem::LogManager_Impl;

// Records what reaches the debugger output while it lives.
class DebugCapture {
public:
    DebugCapture() { LogManager_Impl::instance().setDebugSink(&DebugCapture::sink, this); }
    ~DebugCapture() { LogManager_Impl::instance().setDebugSink(nullptr, nullptr); }
    std::vector<std::wstring> lines; // read only after the logging threads are done

private:
    static void sink(const wchar_t* line, void* self) {
        DebugCapture* capture = static_cast<DebugCapture*>(self);
        zem::CriticalSectionLock guard(capture->m_lock);
        capture->lines.push_back(line);
    }
    zem::CriticalSection m_lock;
};

TEST(LogManagerTest, SourceIdsOfTheManagersOwnSources) {
    LogManager_Impl& log = LogManager_Impl::instance();
    EXPECT_EQ(0xadbf3357u, log.registerSource(L"ALL"));
    EXPECT_EQ(0x960dabd4u, log.registerSource(L"LogManager"));
    EXPECT_EQ(0x629b9e5bu, log.registerSource(L"Unknown"));
    EXPECT_EQ(zem::symbolId(L"Corvel"), log.registerSource(L"Corvel"));
}

TEST(LogManagerTest, LineReachesDebuggerWithLineFeedAndListenersWithout) {
    uint32_t source = LogManager_Impl::instance().registerSource(L"LogTestBasic");
    zemtest::LogCapture capture(source);
    DebugCapture debug;
    zem::logMessage(zem::LOG_INFO, source, L"abc");
    zem::logMessage(zem::LOG_WARNING, source, L"%s=%d\n", L"wide", 5);
    zem::logMessage(zem::LOG_ERROR, source, L"");
    auto lines = capture.lines();
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ(L"abc", lines[0].text);
    EXPECT_EQ(L"LogTestBasic", lines[0].source);
    EXPECT_EQ(zem::LOG_INFO, lines[0].level);
    EXPECT_EQ(L"wide=5", lines[1].text);
    EXPECT_EQ(L"", lines[2].text);
    ASSERT_GE(debug.lines.size(), 3u);
    EXPECT_EQ(L"abc\n", debug.lines[debug.lines.size() - 3]);
    EXPECT_EQ(L"wide=5\n", debug.lines[debug.lines.size() - 2]);
    EXPECT_EQ(L"\n", debug.lines.back());
}

TEST(LogManagerTest, LongLinesAreCutAt4093Units) {
    uint32_t source = LogManager_Impl::instance().registerSource(L"LogTestLong");
    zemtest::LogCapture capture(source);
    const size_t sizes[] = {4092, 4093, 4094, 9000};
    for (size_t n : sizes) {
        std::wstring text(n, L'y');
        zem::logMessage(zem::LOG_DEBUG, source, L"%s", text.c_str());
    }
    auto lines = capture.lines();
    ASSERT_EQ(4u, lines.size());
    EXPECT_EQ(4092u, lines[0].text.size());
    EXPECT_EQ(4093u, lines[1].text.size());
    EXPECT_EQ(4093u, lines[2].text.size());
    EXPECT_EQ(4093u, lines[3].text.size());
}

TEST(LogManagerTest, UnregisteredSourceIsNamedUnknown) {
    zemtest::LogCapture capture(0x12345678);
    zem::logMessage(zem::LOG_INFO, 0x12345678, L"who");
    auto lines = capture.lines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(L"Unknown", lines[0].source);
}

// Logs from inside its own onLog: such lines must wait until the current dispatch ends.
class EchoListener : public zem::LogListener {
public:
    EchoListener(uint32_t source, int echoes) : m_source(source), m_echoes(echoes) {}
    bool accept(zem::LogMessage* r) override { return r->sourceId() == m_source; }
    void onLog(zem::LogMessage* r) override {
        seen.push_back(r->text());
        if (m_echoes < 0 || m_echoes-- > 0)
            zem::logMessage(zem::LOG_DEBUG, m_source, L"echo of %s", r->text());
        seen.push_back(L"/" + std::wstring(r->text()));
    }
    std::vector<std::wstring> seen;

private:
    uint32_t m_source;
    int m_echoes;
};

TEST(LogManagerTest, LinesLoggedByAListenerFollowTheCurrentRecord) {
    uint32_t source = LogManager_Impl::instance().registerSource(L"LogTestEcho");
    EchoListener echo(source, 1);
    LogManager_Impl::instance().addListener(&echo, false);
    zem::logMessage(zem::LOG_INFO, source, L"first");
    LogManager_Impl::instance().removeListener(&echo);
    std::vector<std::wstring> expected = {L"first", L"/first", L"echo of first", L"/echo of first"};
    EXPECT_EQ(expected, echo.seen);
}

TEST(LogManagerTest, EndlessRecursionStopsAfterFourPasses) {
    uint32_t source = LogManager_Impl::instance().registerSource(L"LogTestRecursive");
    EchoListener echo(source, -1);
    DebugCapture debug;
    LogManager_Impl::instance().addListener(&echo, false);
    zem::logMessage(zem::LOG_INFO, source, L"r");
    LogManager_Impl::instance().removeListener(&echo);
    EXPECT_EQ(10u, echo.seen.size()); // the record and four passes of one echo each
    bool warned = false;
    for (const auto& line : debug.lines)
        warned = warned || line == L"---- Recursive LOG in LogListener's handler detected ----\n";
    EXPECT_TRUE(warned);
}

class ThrowingListener : public zem::LogListener {
public:
    explicit ThrowingListener(uint32_t source) : m_source(source) {}
    bool accept(zem::LogMessage* r) override { return r->sourceId() == m_source; }
    void onLog(zem::LogMessage*) override { throw std::runtime_error("listener failed"); }

private:
    uint32_t m_source;
};

// Caught: a throwing listener left the dispatch depth raised, parking every later line.
TEST(LogManagerTest, ThrowingListenerDoesNotParkLaterLines) {
    uint32_t bad = LogManager_Impl::instance().registerSource(L"LogTestThrow");
    uint32_t good = LogManager_Impl::instance().registerSource(L"LogTestAfterThrow");
    ThrowingListener thrower(bad);
    zemtest::LogCapture capture(good);
    LogManager_Impl::instance().addListener(&thrower, false);
    EXPECT_THROW(zem::logMessage(zem::LOG_INFO, bad, L"boom"), std::runtime_error);
    LogManager_Impl::instance().removeListener(&thrower);
    zem::logMessage(zem::LOG_INFO, good, L"still delivered");
    ASSERT_EQ(1u, capture.lines().size());
    EXPECT_EQ(L"still delivered", capture.lines()[0].text);
}

class ReplayListener : public zem::LogListener {
public:
    explicit ReplayListener(uint32_t source = 0) : m_source(source) {}
    std::vector<std::wstring> texts; // of the source
    size_t others = 0;               // records of other sources
    void onLog(zem::LogMessage* r) override {
        if (m_source == 0 || r->sourceId() == m_source)
            texts.push_back(r->text());
        else
            ++others;
    }

private:
    uint32_t m_source;
};

TEST(LogManagerTest, HistoryKeepsTheNewest511ForReplay) {
    uint32_t source = LogManager_Impl::instance().registerSource(L"LogTestHistory");
    for (int i = 0; i < 600; ++i)
        zem::logMessage(zem::LOG_DEBUG, source, L"h%d", i);
    EXPECT_EQ(511u, LogManager_Impl::instance().historySize());
    ReplayListener replay(source);
    LogManager_Impl::instance().addListener(&replay, true);
    LogManager_Impl::instance().removeListener(&replay);
    // Threads left by other tests may log meanwhile; ours must be the newest, oldest first, without gaps.
    ASSERT_EQ(511u, replay.texts.size() + replay.others);
    ASSERT_FALSE(replay.texts.empty());
    size_t first = 600 - replay.texts.size();
    for (size_t i = 0; i < replay.texts.size(); ++i)
        ASSERT_EQ(L"h" + std::to_wstring(first + i), replay.texts[i]);
    EXPECT_LE(first, 100u);
}

TEST(LogManagerTest, ListenerSubscriptionErrors) {
    LogManager_Impl& log = LogManager_Impl::instance();
    ReplayListener listener;
    EXPECT_THROW(log.addListener(nullptr, false), zem::AssertionViolationException);
    EXPECT_TRUE(log.addListener(&listener, false));
    EXPECT_THROW(log.addListener(&listener, false), zem::AssertionViolationException);
    EXPECT_TRUE(log.removeListener(&listener));
    EXPECT_FALSE(log.removeListener(&listener));
}

TEST(LogManagerTest, LinesFromManyThreadsAllArrive) {
    uint32_t source = LogManager_Impl::instance().registerSource(L"LogTestThreads");
    zemtest::LogCapture capture(source);
    struct Job {
        uint32_t source;
    } job{source};
    std::vector<std::unique_ptr<zem::Thread>> threads;
    for (int t = 0; t < 4; ++t) {
        threads.push_back(std::make_unique<zem::Thread>());
        threads.back()->start(
            [](void* p) {
                for (int i = 0; i < 250; ++i)
                    zem::logMessage(zem::LOG_DEBUG, static_cast<Job*>(p)->source, L"line %d", i);
            },
            &job);
    }
    for (auto& t : threads)
        t->join();
    EXPECT_EQ(1000u, capture.lines().size());
}

} // namespace
