// The main window on its own: the hand-over of a second start's line, the close protocol
// through the configuration's lists, the title and activation.
#include "corvel/app/MainWindow.h"
#include "corvel/app/MainWindowHost.h"
#include "corvel/app/MenuBar.h"
#include "corvel/config/ConfigManager.h"
#include "corvel/widgets/afMenu.h"
#include "support/ShellServices.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace corvel;

namespace {

class RecordingHost : public MainWindowHost {
public:
    void handleCommandLine(const wchar_t* text) override { lines.push_back(text ? text : L"<null>"); }
    void checkForUpdates(bool manual) override { updateChecks.push_back(manual); }
    void setDocumentsDistractionFree(bool on) override { distractionFree.push_back(on); }

    std::vector<std::wstring> lines;
    std::vector<bool> updateChecks;
    std::vector<bool> distractionFree;
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ConfigManager::setCurrent(&m_config);
        m_config.closeQuery.add(&MainWindowTest::answerClose, this);
        m_config.closing.add(&MainWindowTest::countClosing, this);
        m_config.activated.add(&MainWindowTest::recordActivated, this);
        m_window = new MainWindow(&m_host);
        m_window->create();
        m_services.bind(m_window->getHandle());
    }
    void TearDown() override {
        delete m_window;
        uitest::drainMessages();
        ConfigManager::setCurrent(nullptr);
    }

    static bool answerClose(void* self) {
        MainWindowTest* test = static_cast<MainWindowTest*>(self);
        ++test->m_queries;
        if (test->m_askAgain) {
            // The close box clicked again while a prompt is up.
            SendMessageW(test->m_window->getHandle(), WM_CLOSE, 0, 0);
        }
        return test->m_agree;
    }
    static void countClosing(void* self) { ++static_cast<MainWindowTest*>(self)->m_closings; }
    static void recordActivated(void* self, int value) { static_cast<MainWindowTest*>(self)->m_activated.push_back(value); }

    LRESULT sendCopyData(ULONG_PTR kind, const void* data, DWORD bytes) {
        COPYDATASTRUCT copy{kind, bytes, const_cast<void*>(data)};
        return SendMessageW(m_window->getHandle(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy));
    }

    apptest::ShellServices m_services;
    ConfigManager m_config;
    RecordingHost m_host;
    MainWindow* m_window = nullptr;
    int m_queries = 0;
    int m_closings = 0;
    bool m_agree = true;
    bool m_askAgain = false;
    std::vector<int> m_activated;
};

struct CopyDataCase {
    const char* what;
    ULONG_PTR kind;
    std::wstring units; // sent as they are, NULs included
    DWORD bytes;        // the count given, which may disagree with the units
    LRESULT answer;
    const wchar_t* line; // what reaches the host; null: nothing
};

} // namespace

TEST_F(MainWindowTest, CopyDataTakesOnlyTerminatedTextsAndRunsThemAfterAnswering) {
    const std::wstring text = L"corvel.exe C:\\a b\\c.txt";
    const DWORD whole = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    const CopyDataCase cases[] = {
        {"terminated text", 0, text + L'\0', whole, 1, L"corvel.exe C:\\a b\\c.txt"},
        {"text up to the first NUL", 0, std::wstring(L"ab\0cd\0", 6), 12, 1, L"ab"},
        {"only a NUL", 0, std::wstring(1, L'\0'), 2, 1, L""},
        {"another kind of data", 7, text + L'\0', whole, 0, nullptr},
        {"no NUL within the count", 0, text + L'\0', whole - 2, 0, nullptr},
        {"odd byte count", 0, text + L'\0', whole + 1, 0, nullptr},
        {"zero bytes", 0, text + L'\0', 0, 0, nullptr},
    };
    for (const CopyDataCase& c : cases) {
        SCOPED_TRACE(c.what);
        m_host.lines.clear();
        std::wstring units = c.units + std::wstring(4, L'\0'); // room for the odd count
        EXPECT_EQ(c.answer, sendCopyData(c.kind, units.data(), c.bytes));
        // The line is run from a posted message: the sender is never kept waiting.
        EXPECT_TRUE(m_host.lines.empty());
        uitest::drainMessages();
        if (c.line) {
            ASSERT_EQ(1u, m_host.lines.size());
            EXPECT_EQ(c.line, m_host.lines[0]);
        } else {
            EXPECT_TRUE(m_host.lines.empty());
        }
    }
}

TEST_F(MainWindowTest, RefusedCloseQueryKeepsTheWindowAndRaisesNoClosing) {
    m_agree = false;
    SendMessageW(m_window->getHandle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(1, m_queries);
    EXPECT_EQ(0, m_closings);
    EXPECT_TRUE(IsWindow(m_window->getHandle()));
}

TEST_F(MainWindowTest, AgreedCloseRaisesClosingOnceAndDestroysTheWindow) {
    HWND handle = m_window->getHandle();
    SendMessageW(handle, WM_CLOSE, 0, 0);
    EXPECT_EQ(1, m_queries);
    EXPECT_EQ(1, m_closings);
    EXPECT_FALSE(IsWindow(handle));
}

TEST_F(MainWindowTest, CloseRequestWhileOneIsAskingAsksNobodyAgain) {
    m_askAgain = true;
    m_agree = false;
    SendMessageW(m_window->getHandle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(1, m_queries);
    EXPECT_EQ(0, m_closings);
    EXPECT_TRUE(IsWindow(m_window->getHandle()));
}

TEST_F(MainWindowTest, TitleEndsWithTheProductAndVersion) {
    wchar_t caption[200];
    GetWindowTextW(m_window->getHandle(), caption, 200);
    EXPECT_STREQ(L"Corvel 0.9.4 RC unstable", caption);
    m_window->setTitle(L"b.txt - C:\\dir\\");
    GetWindowTextW(m_window->getHandle(), caption, 200);
    EXPECT_STREQ(L"b.txt - C:\\dir\\ - Corvel 0.9.4 RC unstable", caption);
    m_window->setTitle(L"");
    GetWindowTextW(m_window->getHandle(), caption, 200);
    EXPECT_STREQ(L"Corvel 0.9.4 RC unstable", caption);
}

TEST_F(MainWindowTest, BecomingActiveTellsTheSubscribersOnce) {
    uitest::drainMessages();
    m_activated.clear();
    m_window->onActivate(false);
    m_window->onActivate(true);
    ASSERT_EQ(1u, m_activated.size());
    EXPECT_EQ(1, m_activated[0]);
}

TEST_F(MainWindowTest, MenuBarHoldsTheEightMenus) {
    MenuBar* bar = m_window->getMenuBar();
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ(bar->getHandle(), GetMenu(m_window->getHandle()));
    std::vector<std::wstring> titles;
    for (afMenuNode* node : bar->children())
        titles.push_back(node->getTitle());
    EXPECT_EQ((std::vector<std::wstring>{L"&File", L"&Edit", L"&Search", L"&Project", L"&View", L"&Text", L"&Bundles",
                                         L"&Help"}),
              titles);
    ASSERT_NE(nullptr, m_window->getRecentFilesMenu());
    EXPECT_EQ(L"&Recent Files", m_window->getRecentFilesMenu()->getTitle());
    EXPECT_EQ(bar->children()[6], m_window->getBundlesMenu());
}
