#include "corvel/ui/afApp.h"
#include "corvel/ui/afUnicodeFontManager.h"
#include "corvel/ui/afWidgetKit.h"
#include "support/LogCapture.h"
#include "support/TestWidgets.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace corvel;

namespace {

std::vector<std::string> g_journal;

struct Clipboard : afIClipboard {
    ~Clipboard() override { g_journal.push_back("~clipboard"); }
};
struct Registry : afIActionRegistry {
    ~Registry() override { g_journal.push_back("~registry"); }
    void addInvoker(afIKeyInvoker*, uint32_t type) override {
        g_journal.push_back(type == EVENT_KEY ? "add key" : type == EVENT_CHAR ? "add char" : "add ?");
    }
    void removeInvoker(afIKeyInvoker*) override { g_journal.push_back("remove invoker"); }
};
struct Invoker : afIKeyInvoker {
    ~Invoker() override { g_journal.push_back("~invoker"); }
    bool preTranslateMessage(afView*, const MSG& message) override {
        return message.message == WM_KEYDOWN && message.wParam == VK_F9;
    }
};
struct Kit : afIWidgetKit {
    std::unique_ptr<afIClipboard> createClipboard() override {
        g_journal.push_back("clipboard");
        return std::unique_ptr<afIClipboard>(new Clipboard());
    }
    std::unique_ptr<afIActionRegistry> createActionRegistry() override {
        g_journal.push_back("registry");
        return std::unique_ptr<afIActionRegistry>(new Registry());
    }
    std::unique_ptr<afIKeyInvoker> createKeyInvoker(afIActionRegistry&) override {
        g_journal.push_back("invoker");
        return std::unique_ptr<afIKeyInvoker>(new Invoker());
    }
    afILabel* createLabel(afView*) override { return nullptr; }
};

struct TestApp : afApp {
    bool accept = true;
    bool onInit() override {
        g_journal.push_back("onInit");
        return accept;
    }
    void onExit() override { g_journal.push_back("onExit"); }
    ~TestApp() override { g_journal.push_back("~app"); }
};

struct AppTest : ::testing::Test {
    Kit kit;
    void SetUp() override {
        g_journal.clear();
        afApp::setWidgetKit(&kit);
    }
    void TearDown() override { afApp::setWidgetKit(nullptr); }
};

TEST_F(AppTest, StartsAndShutsDownInOrder) {
    auto* app = new TestApp();
    ASSERT_TRUE(afApp::initialize(app, GetModuleHandleW(nullptr)));
    EXPECT_EQ(app, afApp::getInstance());
    EXPECT_NE(nullptr, afApp::getKeyInvoker());
    EXPECT_NE(nullptr, afApp::getClipboard());
    EXPECT_EQ(afUnicodeFontManager::instance(), afApp::getFontManager());
    TestApp second;
    EXPECT_FALSE(afApp::initialize(&second, GetModuleHandleW(nullptr))); // one application at a time
    afApp::shutdown();
    EXPECT_EQ(nullptr, afApp::getInstance());
    // The second application never reached onInit; the first is deleted last.
    std::vector<std::string> expected{"clipboard", "registry",       "invoker",  "add key",   "add char",   "onInit",
                                      "onExit",    "remove invoker", "~invoker", "~registry", "~clipboard", "~app"};
    EXPECT_EQ(expected, g_journal);
}

TEST_F(AppTest, ARefusedStartUpUndoesWhatItMade) {
    TestApp app;
    app.accept = false;
    EXPECT_FALSE(afApp::initialize(&app, GetModuleHandleW(nullptr)));
    EXPECT_EQ(nullptr, afApp::getInstance());
    std::vector<std::string> expected{"clipboard", "registry",       "invoker",  "add key",   "add char",
                                      "onInit",    "remove invoker", "~invoker", "~registry", "~clipboard"};
    EXPECT_EQ(expected, g_journal);
    // The process can start again.
    auto* again = new TestApp();
    ASSERT_TRUE(afApp::initialize(again, GetModuleHandleW(nullptr)));
    afApp::shutdown();
}

struct QuitApp : afApp {
    bool onInit() override {
        PostQuitMessage(5);
        return true;
    }
    void onExit() override {}
};

TEST_F(AppTest, RunReturnsTheQuitCode) {
    afApp::setWidgetKit(nullptr);
    auto* app = new QuitApp();
    ASSERT_TRUE(afApp::initialize(app, GetModuleHandleW(nullptr)));
    EXPECT_EQ(5, afApp::run(app));
    afApp::shutdown();
}

TEST_F(AppTest, ProcessMessagesCountsAndKeepsTheQuit) {
    zemtest::LogCapture log(0x891542dau);
    afApp::processMessages(nullptr);
    PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
    PostQuitMessage(3); // taken after the posted messages, whatever the order of posting
    PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
    afApp::processMessages(nullptr);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(3u, msg.wParam);
    uitest::drainMessages();
    auto lines = log.lines();
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(L"afApp::processMessages: Processed 0 messages.", lines[0].text);
    EXPECT_EQ(L"afApp::processMessages: Processed 3 messages.", lines[1].text);
}

struct ClaimingWidget : uitest::TestWidget {
    using TestWidget::TestWidget;
    bool preTranslate(MSG* message) override { return message->message == WM_USER + 7; }
};

TEST_F(AppTest, PreTranslationAsksTheInvokerThenTheAncestors) {
    uitest::WithResources resources;
    auto* app = new TestApp();
    ASSERT_TRUE(afApp::initialize(app, GetModuleHandleW(nullptr)));
    ClaimingWidget host(nullptr, false);
    host.create();
    // A native child without a framework view: its ancestors still see its messages.
    HWND plain = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, host.getHandle(), nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    MSG claimed{plain, WM_USER + 7, 0, 0, 0, {0, 0}};
    MSG other{plain, WM_USER + 8, 0, 0, 0, {0, 0}};
    MSG bound{plain, WM_KEYDOWN, VK_F9, 0, 0, {0, 0}};
    EXPECT_TRUE(afApp::preTranslateMessage(&claimed, app));
    EXPECT_FALSE(afApp::preTranslateMessage(&other, app));
    EXPECT_TRUE(afApp::preTranslateMessage(&bound, app));
    DestroyWindow(plain);
    afApp::shutdown();
}

} // namespace

namespace {

TEST_F(AppTest, TheWheelGoesToTheWindowUnderThePoint) {
    uitest::WithResources resources;
    uitest::TestWidget under(nullptr, false);
    under.x = 300;
    under.y = 300;
    under.create();
    under.setVisible(true, false); // mapped: WindowFromPoint finds only shown windows
    uitest::TestWidget focused(nullptr, false);
    focused.create();
    uitest::pumpUntil([&] { return WindowFromPoint(POINT{350, 350}) == under.getHandle(); }, 3000);
    if (WindowFromPoint(POINT{350, 350}) != under.getHandle())
        GTEST_SKIP() << "the display shows no window at the point";
    MSG wheel{focused.getHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, 240), MAKELPARAM(350, 350), 0, {350, 350}};
    EXPECT_TRUE(afApp::preTranslateMessage(&wheel, nullptr));
    EXPECT_EQ(std::vector<int>{2}, under.wheelNotches);
    EXPECT_TRUE(focused.wheelNotches.empty());
}

} // namespace
