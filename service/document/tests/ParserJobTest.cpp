#include "corvel/document/ParserJob.h"
#include "corvel/config/BgScheduler.h"
#include "corvel/document/ParserClient.h"
#include "support/TestGrammar.h"
#include "support/TestWindow.h"
#include "support/WaitUntil.h"
#include "zem/thread/MessageRegistry.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using corvel::Document;
using corvel::ParserJob;
using documenttest::describeRuns;

TEST(ParserJobReportTest, GapsDoubleFrom20UpTo1000) {
    ParserJob job(nullptr, nullptr);
    job.noteProgress(0, 1000);
    std::vector<uint32_t> gaps;
    uint32_t last = 1000;
    for (uint32_t tick = 1000; tick < 6000; ++tick) {
        if (job.takeReportTurn(false, tick)) {
            gaps.push_back(tick - last);
            last = tick;
        }
    }
    // A report comes in the first millisecond past its time.
    EXPECT_EQ((std::vector<uint32_t>{21, 21, 41, 81, 161, 321, 641, 1001, 1001, 1001}), gaps);
    EXPECT_TRUE(job.takeReportTurn(true, last)) << "a finished step always reports";
}

struct WidenCase {
    int32_t current, rangeEnd, first, last;
    int32_t expectedCurrent, expectedEnd;
};

TEST(ParserJobReportTest, RequestsWidenTheRange) {
    const WidenCase cases[] = {
        {1000, 0, 10, 12, 10, 12},  // a finished job
        {5, 50, 10, 12, 5, 50},     // inside what is pending
        {20, 30, 10, 40, 10, 40},   // around it
        {-1, 30, 10, 12, 10, 12},   // nothing pending
        {20, -1, 30, 31, 30, 31},
    };
    for (const WidenCase& c : cases) {
        ParserJob job(nullptr, nullptr);
        job.currentLine = c.current;
        job.rangeEnd = c.rangeEnd;
        job.firstUnreported = 3;
        job.reportInterval = 640;
        job.idle = true;
        job.widen(c.first, c.last);
        EXPECT_EQ(c.expectedCurrent, job.currentLine) << c.current << " " << c.rangeEnd;
        EXPECT_EQ(c.expectedEnd, job.rangeEnd) << c.current << " " << c.rangeEnd;
        EXPECT_EQ(-1, job.firstUnreported);
        EXPECT_EQ(20u, job.reportInterval);
        EXPECT_FALSE(job.idle);
    }
}

class ParsedLines : public corvel::DocumentListener {
public:
    void onLinesParsed(Document*, int32_t first, int32_t last) override { reports.push_back({first, last}); }
    std::vector<std::pair<int32_t, int32_t>> reports;

    // The lines the reports cover, as one range.
    std::pair<int32_t, int32_t> covered() const {
        std::pair<int32_t, int32_t> all{INT32_MAX, -1};
        for (const auto& r : reports) {
            all.first = std::min(all.first, r.first);
            all.second = std::max(all.second, r.second);
        }
        return all;
    }
};

// A 1000-line document parsed by one worker of a "parser" scheduler.
class ParserJobTest : public ::testing::Test {
protected:
    static constexpr int32_t LINES = 1000;

    void SetUp() override {
        ASSERT_NE(nullptr, window.handle()) << "windows need a display (run under Xvfb)";
        registry = std::make_unique<zem::MessageRegistry>();
        registry->init(window.handle());
        scheduler = std::make_unique<corvel::BgScheduler>(L"parser");
        client = std::make_unique<corvel::ParserClient>(scheduler.get());
        grammar.match(grammar.root(), L"\\bif\\b", L"keyword");
        grammar.block(grammar.root(), L"/\\*", L"\\*/", L"comment");
        document = std::make_unique<Document>(nullptr);
        std::wstring text;
        for (int32_t line = 0; line < LINES; ++line)
            text += L"line " + std::to_wstring(line) + (line + 1 < LINES ? L" if x\n" : L" if x");
        document->lockEdit();
        document->setGrammar(grammar.root(), grammar.root()->getId(), L"source.test", true);
        document->insertText(0, static_cast<int32_t>(text.size()), text.data(), 0);
        document->unlockEdit();
        document->addListener(&parsed);
        job = client->createJob(document.get());
        scheduler->setWorkerCount(1);
        client->requestLines(document.get(), 0, LINES - 1);
        ASSERT_TRUE(waitForReportOf(LINES - 1)) << "the first parse did not finish";
        ASSERT_TRUE(waitForFinish());
        parsed.reports.clear();
    }

    void TearDown() override {
        if (job) {
            client->releaseJob(job);
            window.pumpUntil([&] { return client->outstandingRecords() == 0; }, 10000);
        }
        scheduler.reset();
        window.drain();
        EXPECT_EQ(0, client->outstandingRecords()) << "range records not returned";
        client.reset();
        registry->shutdown();
        registry.reset();
    }

    bool waitForReportOf(int32_t line) {
        return window.pumpUntil([&] {
            for (const auto& r : parsed.reports)
                if (r.second == line)
                    return true;
            return false;
        });
    }
    // Until the job has nothing to do and every message it posted has been delivered.
    // Requests queue the job at once, so right after one this waits for its whole parse.
    bool waitForFinish() {
        return window.pumpUntil([&] {
            zem::CriticalSectionLock guard(scheduler->getLock());
            return job->state() == corvel::BgJob::STATE_IDLE && !job->currentWorker() && job->messageCount() == 0;
        });
    }

    void edit(int32_t line, int32_t column, const std::wstring& insert, int32_t removeCount = 0) {
        document->lockEdit();
        document->beginEdit(nullptr, true);
        int32_t at = document->getLineStart(line) + column;
        if (removeCount)
            document->removeText(removeCount, at, 0);
        if (!insert.empty())
            document->insertText(at, static_cast<int32_t>(insert.size()), insert.data(), 0);
        document->endEdit();
        document->unlockEdit();
    }

    zemtest::TestWindow window;
    std::unique_ptr<zem::MessageRegistry> registry;
    documenttest::TestGrammar grammar{L"source.test"};
    std::unique_ptr<Document> document;
    ParsedLines parsed;
    std::unique_ptr<corvel::ParserClient> client;
    std::unique_ptr<corvel::BgScheduler> scheduler;
    ParserJob* job = nullptr;
};

TEST_F(ParserJobTest, TheFirstParseCoversEveryLine) {
    for (int32_t line : {0, 1, 500, LINES - 1})
        EXPECT_EQ("0:source.test " + std::to_string(5 + std::to_string(line).size() + 1) + ":keyword " +
                      std::to_string(5 + std::to_string(line).size() + 3) + ":source.test",
                  describeRuns(*document, line))
            << line;
}

TEST_F(ParserJobTest, AnEditInsideALineReparsesThatLineAlone) {
    edit(10, 0, L"x");
    ASSERT_TRUE(waitForFinish());
    EXPECT_EQ((std::vector<std::pair<int32_t, int32_t>>{{10, 10}}), parsed.reports);
}

TEST_F(ParserJobTest, ParsingGoesOnUntilAStartStateHolds) {
    edit(10, 0, L"/*");
    ASSERT_TRUE(waitForFinish());
    EXPECT_EQ(std::make_pair(10, LINES - 1), parsed.covered()) << "everything below is a comment now";
    EXPECT_EQ("0:comment", describeRuns(*document, 500));

    parsed.reports.clear();
    edit(20, 0, L"*/");
    ASSERT_TRUE(waitForFinish());
    EXPECT_EQ(std::make_pair(20, LINES - 1), parsed.covered());
    EXPECT_EQ("0:comment 2:source.test", describeRuns(*document, 20).substr(0, 23));

    parsed.reports.clear();
    edit(15, 0, L"y");
    ASSERT_TRUE(waitForFinish());
    EXPECT_EQ(std::make_pair(15, 15), parsed.covered()) << "inside the comment, one line";

    parsed.reports.clear();
    edit(12, 0, L"*/");
    ASSERT_TRUE(waitForFinish());
    EXPECT_EQ(std::make_pair(12, 20), parsed.covered()) << "until line 21, whose start state holds";
    EXPECT_NE("0:comment", describeRuns(*document, 16));
}

TEST_F(ParserJobTest, EditsWhileTheLockIsHeldWidenOneRangeAndReportNothing) {
    document->lockEdit();
    edit(5, 0, L"a");
    edit(50, 0, L"b");
    int misses = client->lockMisses();
    bool missed = zemtest::waitUntil([&] { return client->lockMisses() >= misses + 3; }, 10000,
                                     [](DWORD) { Sleep(1); });
    window.drain();
    EXPECT_TRUE(missed) << "the worker never tried the lock";
    EXPECT_TRUE(parsed.reports.empty()) << "a step reported while the main thread held the lock";
    document->unlockEdit();
    ASSERT_TRUE(waitForFinish());
    EXPECT_EQ(std::make_pair(5, 50), parsed.covered());
}

TEST_F(ParserJobTest, ARequestPastTheEndReportsNothing) {
    client->requestLines(document.get(), LINES + 10, LINES + 20);
    ASSERT_TRUE(waitForFinish());
    EXPECT_TRUE(parsed.reports.empty());
}

TEST_F(ParserJobTest, AClosingJobIsDoneWithoutParsing) {
    job->setClosing(true);
    document->lockEdit();
    document->insertText(document->getLineStart(3), 1, L"z", 0); // line 3 is dirty now
    document->unlockEdit();
    client->requestLines(document.get(), 3, 3);
    EXPECT_EQ(0, client->outstandingRecords()) << "a closing job takes no request";
    scheduler->queueJob(job, false);
    ASSERT_TRUE(waitForFinish());
    EXPECT_TRUE(parsed.reports.empty());
    EXPECT_NE(0, document->getLineHeader(3)->flags & corvel::LINE_DIRTY);
}

TEST_F(ParserJobTest, AGrammarChangeStartsTheJobAfresh) {
    edit(10, 0, L"/*");
    ASSERT_TRUE(waitForFinish());
    document->lockEdit();
    document->setGrammar(grammar.root(), grammar.root()->getId(), L"source.test", true);
    EXPECT_EQ(0u, job->endPatterns.size());
    EXPECT_EQ(0, job->currentLine);
    EXPECT_EQ(nullptr, document->getLineHeader(500)->parserBlock);
    document->unlockEdit();
    parsed.reports.clear();
    client->requestLines(document.get(), 0, LINES - 1);
    ASSERT_TRUE(waitForReportOf(LINES - 1));
    EXPECT_EQ("0:comment", describeRuns(*document, 500));
}

TEST_F(ParserJobTest, AWorkerTakesTheRulesOfTheGrammarItFindsAtEachStep) {
    // A recompiled grammar is a new repository; the old one is gone once it is replaced.
    documenttest::TestGrammar recompiled(L"source.other");
    recompiled.match(recompiled.root(), L"\\bline\\b", L"word");
    document->lockEdit();
    document->setGrammar(recompiled.root(), recompiled.root()->getId(), L"source.other", true);
    document->unlockEdit();
    grammar.release().reset();
    client->requestLines(document.get(), 0, LINES - 1);
    ASSERT_TRUE(waitForFinish());
    EXPECT_EQ("0:word 4:source.other", describeRuns(*document, 500));
}

} // namespace
