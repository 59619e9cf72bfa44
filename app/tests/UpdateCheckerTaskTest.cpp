// The server's socket header must come before the system's window header.
#include "support/LoopbackServer.h"

#include "corvel/app/UpdateCheckerTask.h"
#include "corvel/base/VersionInfo.h"
#include "support/LogCapture.h"
#include "support/TestWindow.h"
#include "zem/thread/MessageRegistry.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using corvel::UpdateCheckerTask;
using corvel::UpdateInfo;
using zemtest::httpAnswer;
using zemtest::LoopbackServer;

namespace {

corvel::VersionInfo testVersion() {
    corvel::VersionInfo version{};
    wcscpy(version.versionText, L"3.5.0");
    wcscpy(version.buildText, L"20120814-4");
    wcscpy(version.channel, L"unstable");
    return version;
}

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

// A task (its thread not started unless a test starts it) pointed at loopback servers.
class UpdateCheckerTaskTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const wchar_t* name : {L"http_proxy", L"HTTP_PROXY", L"https_proxy", L"HTTPS_PROXY", L"all_proxy"})
            SetEnvironmentVariableW(name, nullptr);
        ASSERT_NE(nullptr, window.handle()) << "windows need a display (run under Xvfb)";
        registry = std::make_unique<zem::MessageRegistry>();
        registry->init(window.handle());
        task = std::make_unique<UpdateCheckerTask>(testVersion());
    }
    void TearDown() override {
        task.reset();
        window.drain();
        registry->shutdown();
        registry.reset();
    }

    std::unique_ptr<UpdateInfo> checkAgainst(LoopbackServer& server) {
        task->setServer(L"127.0.0.1", server.port());
        return task->check();
    }

    zemtest::TestWindow window;
    std::unique_ptr<zem::MessageRegistry> registry;
    std::unique_ptr<UpdateCheckerTask> task;
};

struct ReplyCase {
    const char* name;
    std::string reply;       // the whole HTTP answer
    bool upToDate;           // a null result
    const wchar_t* error;    // null: no error; "" any error text
    const wchar_t* download; // the download URL kept, when no error
};

::testing::AssertionResult answersAs(const ReplyCase& c, const UpdateInfo* info,
                                     const std::vector<zemtest::LogCapture::Line>& log) {
    if (c.upToDate) {
        if (info || !log.empty())
            return ::testing::AssertionFailure() << c.name << ": not up to date";
        return ::testing::AssertionSuccess();
    }
    if (!info)
        return ::testing::AssertionFailure() << c.name << ": no record";
    if (!c.error) {
        if (!info->error.empty() || !log.empty())
            return ::testing::AssertionFailure() << c.name << ": failed with " << narrow(info->error);
        if (info->downloadUrl != c.download)
            return ::testing::AssertionFailure() << c.name << ": download " << narrow(info->downloadUrl);
        return ::testing::AssertionSuccess();
    }
    if (info->error.empty() || (*c.error && info->error != c.error))
        return ::testing::AssertionFailure() << c.name << ": error \"" << narrow(info->error) << "\"";
    if (log.size() != 1 || log[0].level != 3 || log[0].text != L"UpdateChecker: " + info->error)
        return ::testing::AssertionFailure() << c.name << ": " << log.size() << " log lines";
    return ::testing::AssertionSuccess();
}

} // namespace

TEST_F(UpdateCheckerTaskTest, ReadsEveryKindOfReply) {
    const std::string ok = "HTTP/1.0 200 OK";
    const std::string update = "{\"url_download\": \"HTTP://127.0.0.1/get/corvel.exe\", \"url_notes\": "
                               "\"https://127.0.0.1/notes\", \"version\": \"3.6.0\", \"build\": \"20130101-1\", "
                               "\"branch\": \"stable\"}";
    const ReplyCase cases[] = {
        {"empty dictionary", httpAnswer(ok, "{}"), true, nullptr, nullptr},
        {"update", httpAnswer(ok, update), false, nullptr, L"http://127.0.0.1/get/corvel.exe"},
        {"list", httpAnswer(ok, "[]"), false, L"Error in JSON response.", nullptr},
        {"empty body", httpAnswer(ok, ""), false, L"", nullptr},
        {"not JSON", httpAnswer(ok, "<html>hello</html>"), false, L"", nullptr},
        {"1 MB", httpAnswer(ok, std::string(1 << 20, 'x')), false, L"", nullptr},
        {"other host",
         httpAnswer(ok, "{\"url_download\": \"http://elsewhere.example/x\", \"url_notes\": \"http://127.0.0.1/n\"}"),
         false, L"URL does not point to valid update server.", nullptr},
        {"notes on other host",
         httpAnswer(ok, "{\"url_download\": \"http://127.0.0.1/x\", \"url_notes\": \"http://elsewhere.example/n\"}"),
         false, L"URL does not point to valid update server.", nullptr},
        {"ftp", httpAnswer(ok, "{\"url_download\": \"ftp://127.0.0.1/x\", \"url_notes\": \"http://127.0.0.1/n\"}"),
         false, L"URL does not have a propper scheme.", nullptr},
        {"no notes", httpAnswer(ok, "{\"url_download\": \"http://127.0.0.1/x\", \"version\": \"4\"}"), false,
         L"URL does not point to valid update server.", nullptr},
        {"wrongly typed", httpAnswer(ok, "{\"url_download\": 5, \"url_notes\": \"http://127.0.0.1/n\"}"), false,
         L"URL does not point to valid update server.", nullptr},
        // An error page that happens to hold "{}" is no "up to date".
        {"status 503", httpAnswer("HTTP/1.0 503 Service Unavailable", "{}"), false,
         L"Update server answered with status 503.", nullptr},
    };
    uint32_t source = zem::LogManager_Impl::instance().registerSource(L"Corvel");
    for (const ReplyCase& c : cases) {
        LoopbackServer server(LoopbackServer::ANSWER, c.reply);
        zemtest::LogCapture log(source);
        std::unique_ptr<UpdateInfo> info = checkAgainst(server);
        EXPECT_TRUE(answersAs(c, info.get(), log.lines()));
    }
}

TEST_F(UpdateCheckerTaskTest, KeepsTheFieldsOfAnUpdate) {
    LoopbackServer server(LoopbackServer::ANSWER,
                          httpAnswer("HTTP/1.0 200 OK", "{\"url_download\": \"http://127.0.0.1/d\", \"url_notes\": "
                                                        "\"http://127.0.0.1/n\", \"version\": \"3.6.0\", \"build\": "
                                                        "\"20130101-1\", \"branch\": \"stable\", \"extra\": 1}"));
    std::unique_ptr<UpdateInfo> info = checkAgainst(server);
    ASSERT_NE(nullptr, info);
    EXPECT_EQ(L"http://127.0.0.1/n", info->notesUrl);
    EXPECT_EQ(L"3.6.0", info->version);
    EXPECT_EQ(L"20130101-1", info->build);
    EXPECT_EQ(L"stable", info->branch);
    EXPECT_EQ(L"", info->error);
}

TEST_F(UpdateCheckerTaskTest, PostsTheThreeTextsOfTheVersionAsAForm) {
    LoopbackServer server(LoopbackServer::ANSWER, httpAnswer("HTTP/1.0 200 OK", "{}"));
    checkAgainst(server);
    std::string wire = server.request();
    EXPECT_EQ(0u, wire.find("POST /corvel/version/check HTTP/1.0\r\n")) << wire;
    EXPECT_NE(std::string::npos, wire.find("Content-Type: application/x-www-form-urlencoded\r\n")) << wire;
    const std::string body = "build[branch]=unstable&build[number]=20120814-4&build[version]=3.5.0";
    EXPECT_EQ(body, wire.substr(wire.size() - body.size())) << wire;
}

TEST_F(UpdateCheckerTaskTest, ADeadPortIsAnErrorWithItsMessage) {
    task->setServer(L"127.0.0.1", zemtest::deadLoopbackPort());
    std::unique_ptr<UpdateInfo> info = task->check();
    ASSERT_NE(nullptr, info);
    EXPECT_EQ(L"Connection to the server failed.", info->error);
}

TEST_F(UpdateCheckerTaskTest, AnAbortedTaskChecksNoMore) {
    task->setServer(L"127.0.0.1", zemtest::deadLoopbackPort());
    task->abort();
    std::unique_ptr<UpdateInfo> info = task->check();
    ASSERT_NE(nullptr, info);
    EXPECT_EQ(L"Update check was aborted.", info->error);
}

namespace {

struct Receiver {
    int calls = 0;
    bool upToDate = false;
    bool onMainThread = false;
    static void onResult(void* self, UpdateInfo* info) {
        auto* receiver = static_cast<Receiver*>(self);
        ++receiver->calls;
        receiver->upToDate = info == nullptr;
        receiver->onMainThread = zem::is_main_thread();
    }
};

} // namespace

TEST_F(UpdateCheckerTaskTest, HandsTheResultToTheMainThread) {
    LoopbackServer server(LoopbackServer::ANSWER, httpAnswer("HTTP/1.0 200 OK", "{}"));
    task->setServer(L"127.0.0.1", server.port());
    Receiver receiver;
    task->setReceiver(&Receiver::onResult, &receiver);
    task->start();
    ASSERT_TRUE(task->queueCheck());
    ASSERT_TRUE(window.pumpUntil([&] { return receiver.calls > 0; }));
    EXPECT_EQ(1, receiver.calls);
    EXPECT_TRUE(receiver.upToDate);
    EXPECT_TRUE(receiver.onMainThread);
}

TEST_F(UpdateCheckerTaskTest, TheServerComesFromTheEnvironmentWithPort80ByDefault) {
    const struct {
        const wchar_t* value;
        const wchar_t* host;
        uint16_t port;
    } cases[] = {{L"127.0.0.1:8123", L"127.0.0.1", 8123},
                 {L"updates.example", L"updates.example", 80},
                 {L"updates.example:http", L"updates.example", 80}};
    for (const auto& c : cases) {
        SetEnvironmentVariableW(L"CORVEL_UPDATE_SERVER", c.value);
        std::wstring host;
        uint16_t port = 0;
        UpdateCheckerTask::getDefaultServer(host, port);
        EXPECT_EQ(c.host, host);
        EXPECT_EQ(c.port, port);
    }
    SetEnvironmentVariableW(L"CORVEL_UPDATE_SERVER", nullptr);
}
