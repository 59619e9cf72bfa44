// The server's socket header must come before the system's window header.
#include "support/LoopbackServer.h"

#include "../../ui_framework/core/tests/support/TestWidgets.h"
#include "corvel/app/UpdateChecker.h"
#include "corvel/app/UpdateCheckerDialog.h"
#include "corvel/app/UpdateCheckerTask.h"
#include "corvel/ui/afEvent.h"
#include "corvel/widgets/ToolStripStatus.h"
#include "corvel/widgets/ViewVirtualButton.h"
#include "support/LogCapture.h"
#include "zem/thread/MessageRegistry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <new>
#include <string>

using corvel::ToolStripStatus;
using corvel::UpdateChecker;
using corvel::UpdateCheckerDialog;
using zemtest::httpAnswer;
using zemtest::LoopbackServer;

namespace {

const char* const UPDATE = "{\"url_download\": \"http://127.0.0.1/get\", \"url_notes\": \"http://127.0.0.1/notes\", "
                           "\"version\": \"3.6.0\", \"build\": \"20130101-1\", \"branch\": \"stable\"}";

// A checker with the status strip and the owner window of the main window's place.
class UpdateCheckerTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const wchar_t* name : {L"http_proxy", L"HTTP_PROXY", L"https_proxy", L"HTTPS_PROXY", L"all_proxy"})
            SetEnvironmentVariableW(name, nullptr);
        uitest::WithResources resources;
        host.create();
        ASSERT_NE(nullptr, host.getHandle()) << "windows need a display (run under Xvfb)";
        registry = std::make_unique<zem::MessageRegistry>();
        registry->init(host.getHandle());
        status = new ToolStripStatus(&host);
        host.setContentView(status);
        status->setDefaultText(L"Ready");
        status->setStepInterval(20);
        checker = std::make_unique<UpdateChecker>(status, &host);
    }
    void TearDown() override {
        checker.reset();
        DestroyWindow(host.getHandle());
        uitest::drainMessages();
        registry->shutdown();
        registry.reset();
    }

    void point(LoopbackServer& server) { checker->setServer(L"127.0.0.1", server.port()); }
    bool awaitResult() {
        return uitest::pumpUntil([&] { return !checker->isRunning(); }, 15000);
    }
    std::wstring statusText() const { return status->getMessageButton()->getText(); }
    bool showsChecking() const {
        return status->getCurrent() && status->getCurrent()->text == L"Checking for update...";
    }

    uitest::TestWidget host{nullptr, false};
    std::unique_ptr<zem::MessageRegistry> registry;
    ToolStripStatus* status = nullptr; // the host's content
    std::unique_ptr<UpdateChecker> checker;
};

struct ResultCase {
    const char* name;
    std::string reply;
    int page;              // the window's page afterwards
    bool known;            // an update is kept
    const wchar_t* notice; // the status strip's default text afterwards
    size_t logLines;
};

::testing::AssertionResult endsAs(const ResultCase& c, UpdateChecker& checker, const std::wstring& notice,
                                  size_t logLines) {
    UpdateCheckerDialog* dialog = checker.getDialog();
    if (!dialog || dialog->getPage() != c.page)
        return ::testing::AssertionFailure() << c.name << ": page " << (dialog ? dialog->getPage() : -1);
    if ((checker.getKnownUpdate() != nullptr) != c.known)
        return ::testing::AssertionFailure() << c.name << ": update " << (c.known ? "not " : "") << "kept";
    if (notice != c.notice)
        return ::testing::AssertionFailure() << c.name << ": notice " << std::string(notice.begin(), notice.end());
    if (logLines != c.logLines)
        return ::testing::AssertionFailure() << c.name << ": " << logLines << " log lines";
    return ::testing::AssertionSuccess();
}

} // namespace

TEST_F(UpdateCheckerTest, ShowsEachResultOnItsPageAndAnUpdateInTheStatusStrip) {
    const std::string ok = "HTTP/1.0 200 OK";
    const ResultCase cases[] = {
        {"up to date", httpAnswer(ok, "{}"), UpdateCheckerDialog::PAGE_UP_TO_DATE, false, L"Ready", 0},
        {"not JSON", httpAnswer(ok, "nonsense"), UpdateCheckerDialog::PAGE_ERROR, false, L"Ready", 1},
        {"status 500", httpAnswer("HTTP/1.0 500 Oops", "{}"), UpdateCheckerDialog::PAGE_ERROR, false, L"Ready", 1},
        {"update", httpAnswer(ok, UPDATE), UpdateCheckerDialog::PAGE_AVAILABLE, true, L"New Corvel 3.6.0 available!",
         0},
    };
    uint32_t source = zem::LogManager_Impl::instance().registerSource(L"Corvel");
    for (const ResultCase& c : cases) {
        LoopbackServer server(LoopbackServer::ANSWER, c.reply);
        point(server);
        zemtest::LogCapture log(source);
        checker->run(true);
        ASSERT_TRUE(checker->getDialog());
        EXPECT_EQ(UpdateCheckerDialog::PAGE_CHECKING, checker->getDialog()->getPage()) << c.name;
        EXPECT_TRUE(showsChecking()) << c.name;
        ASSERT_TRUE(awaitResult()) << c.name;
        // The status entry is done: it goes at the strip's next step.
        ASSERT_TRUE(uitest::pumpUntil([&] { return status->getQueueSize() == 0; }, 5000)) << c.name;
        EXPECT_TRUE(endsAs(c, *checker, statusText(), log.lines().size()));
        checker->getDialog()->close(corvel::afWindow::RESULT_CANCEL);
        ASSERT_TRUE(uitest::pumpUntil([&] { return checker->getDialog() == nullptr; })) << c.name;
    }
}

TEST_F(UpdateCheckerTest, AWindowOpenedDuringACheckWaitsForThatCheck) {
    LoopbackServer server(LoopbackServer::ANSWER, httpAnswer("HTTP/1.0 200 OK", "{}"));
    point(server);
    checker->run(false);
    EXPECT_TRUE(checker->isRunning());
    checker->run(true);
    EXPECT_EQ(UpdateCheckerDialog::PAGE_CHECKING, checker->getDialog()->getPage());
    ASSERT_TRUE(awaitResult());
    // The one server serves one connection: a second check would have ended in an error.
    EXPECT_EQ(UpdateCheckerDialog::PAGE_UP_TO_DATE, checker->getDialog()->getPage());
    EXPECT_NE(std::string::npos, server.request().find("POST /corvel/version/check"));
}

TEST_F(UpdateCheckerTest, OnceAnUpdateIsKnownNoCheckStartsAndTheWindowOpensOnIt) {
    {
        LoopbackServer server(LoopbackServer::ANSWER, httpAnswer("HTTP/1.0 200 OK", UPDATE));
        point(server);
        checker->run(false);
        ASSERT_TRUE(awaitResult());
    }
    ASSERT_NE(nullptr, checker->getKnownUpdate());
    EXPECT_EQ(nullptr, checker->getDialog());
    checker->setServer(L"127.0.0.1", zemtest::deadLoopbackPort());
    checker->run(true);
    EXPECT_FALSE(checker->isRunning());
    ASSERT_NE(nullptr, checker->getDialog());
    EXPECT_EQ(UpdateCheckerDialog::PAGE_AVAILABLE, checker->getDialog()->getPage());
    EXPECT_EQ(L"http://127.0.0.1/get", checker->getDialog()->getDownloadUrl());
}

TEST_F(UpdateCheckerTest, AResultAfterTheWindowClosedOnlyReachesTheStatusStrip) {
    LoopbackServer server(LoopbackServer::ANSWER, httpAnswer("HTTP/1.0 200 OK", UPDATE));
    point(server);
    checker->run(true);
    checker->getDialog()->close(corvel::afWindow::RESULT_CANCEL);
    ASSERT_TRUE(uitest::pumpUntil([&] { return checker->getDialog() == nullptr; }));
    ASSERT_TRUE(awaitResult());
    EXPECT_EQ(nullptr, checker->getDialog());
    ASSERT_TRUE(uitest::pumpUntil([&] { return status->getQueueSize() == 0; }, 5000));
    EXPECT_EQ(L"New Corvel 3.6.0 available!", statusText());
}

TEST_F(UpdateCheckerTest, GoingAwayDuringACheckNeverWaitsForASilentServer) {
    LoopbackServer silent(LoopbackServer::SILENT, "");
    point(silent);
    checker->run(false);
    ASSERT_TRUE(silent.waitForRequest(10000));
    DWORD start = GetTickCount();
    checker.reset();
    // The session's own time-out is 20 s; the exit must not take it.
    EXPECT_LT(GetTickCount() - start, 5000u);
    // The status entry went with the checker.
    EXPECT_TRUE(uitest::pumpUntil([&] { return status->getQueueSize() == 0; }, 5000));
}

// Caught: the status strip kept the gone checker as its default click, and a click on the
// notice read freed memory. The checker lives in a buffer overwritten once it is destroyed,
// so a stale call reads the canary's pointers and faults.
TEST_F(UpdateCheckerTest, TheNoticeOutlivingTheCheckerNoLongerCallsIt) {
    checker.reset();
    LoopbackServer server(LoopbackServer::ANSWER, httpAnswer("HTTP/1.0 200 OK", UPDATE));
    alignas(UpdateChecker) unsigned char storage[sizeof(UpdateChecker)];
    auto* canary = new (storage) UpdateChecker(status, &host);
    canary->setServer(L"127.0.0.1", server.port());
    canary->run(false);
    ASSERT_TRUE(uitest::pumpUntil([&] { return !canary->isRunning(); }, 15000));
    ASSERT_TRUE(uitest::pumpUntil([&] { return status->getQueueSize() == 0; }, 5000));
    corvel::ViewVirtualButton* message = status->getMessageButton();
    ASSERT_TRUE(message->isClickable());
    canary->~UpdateChecker();
    std::memset(storage, 0xA5, sizeof(storage));
    EXPECT_FALSE(message->isClickable());
    MSG raw{};
    raw.hwnd = host.getHandle();
    raw.message = WM_LBUTTONUP;
    corvel::afEvent click(raw, 1);
    message->onMouseUp(&click);
}
