// The main window's panels: the slot-switching keys of the current dock, the sidebar and
// bottom bar settings, and distraction-free mode.
#include "corvel/app/MainWindow.h"
#include "corvel/app/MainWindowHost.h"
#include "corvel/app/Tabs.h"
#include "corvel/app/TabsSidebar.h"
#include "corvel/config/Config.h"
#include "corvel/config/ConfigManager.h"
#include "corvel/ui/afEvent.h"
#include "corvel/ui/afKey.h"
#include "corvel/ui/afViewVirtual.h"
#include "corvel/widgets/afControlSplitter.h"
#include "corvel/widgets/afDockSlot.h"
#include "support/ShellServices.h"

#include <gtest/gtest.h>

#include <vector>

using namespace corvel;

namespace {

class QuietHost : public MainWindowHost {
public:
    void handleCommandLine(const wchar_t*) override {}
    void checkForUpdates(bool) override {}
    void setDocumentsDistractionFree(bool on) override { distractionFree.push_back(on); }
    std::vector<bool> distractionFree;
};

// Document tabs of plain views, one per slot.
class PlainSlots : public afDockSlotController {
public:
    PlainSlots() : afDockSlotController(0x2b0d47e1u) {}
    afView* createSlotView(afDockSlot* slot) override { return new afViewVirtual(slot->getDock()); }
};

class MainWindowPanelsTest : public ::testing::Test {
public:
    void SetUp() override {
        ConfigManager::setCurrent(&m_config);
        Config& config = m_config.getConfig();
        config.declareValue(L"app.sidebar.left.visible", ConfigValue::TYPE_BOOL)->setBool(false);
        config.declareValue(L"app.sidebar.left.width", ConfigValue::TYPE_INT)->setInt(256);
        config.declareValue(L"app.sidebar.bottom.visible", ConfigValue::TYPE_BOOL)->setBool(false);
        config.declareValue(L"app.sidebar.bottom.width", ConfigValue::TYPE_INT)->setInt(256);
        m_window = new MainWindow(&m_host);
        m_window->create();
        m_services.bind(m_window->getHandle());
    }
    void TearDown() override {
        delete m_window;
        uitest::drainMessages();
        ConfigManager::setCurrent(nullptr);
    }

    std::vector<afDockSlot*> addDocuments(int count) {
        std::vector<afDockSlot*> slots;
        for (int i = 0; i < count; ++i)
            slots.push_back(m_window->getDocumentTabs()->addSlot(&m_documents, reinterpret_cast<void*>(i + 1)).second);
        return slots;
    }

    // The key as the window's key-down listeners get it.
    bool press(int keyCode) {
        afEvent event(MSG{m_window->getHandle(), WM_KEYDOWN, 0, 0, 0, {0, 0}}, 0);
        event.code = static_cast<uint32_t>(keyCode);
        return m_window->onSlotKey(&event);
    }

    apptest::ShellServices m_services;
    ConfigManager m_config;
    QuietHost m_host;
    PlainSlots m_documents;
    MainWindow* m_window = nullptr;
};

struct KeyCase {
    const char* what;
    int keyCode;
    int activeBefore; // position of the active slot before the key
    bool consumed;
    int activeAfter;
};

::testing::AssertionResult switchesTo(MainWindowPanelsTest& test, Tabs* dock, const std::vector<afDockSlot*>& slots,
                                      const KeyCase& c) {
    dock->setActiveSlot(slots[c.activeBefore]);
    bool consumed = test.press(c.keyCode);
    int after = dock->getSlotIndex(dock->getActiveSlot());
    if (consumed != c.consumed || after != c.activeAfter)
        return ::testing::AssertionFailure() << c.what << ": consumed " << consumed << ", active " << after;
    return ::testing::AssertionSuccess();
}

} // namespace

typedef MainWindowPanelsTest MainWindowKeysTest;

TEST_F(MainWindowKeysTest, SlotKeysSwitchTheCurrentDocksTabs) {
    std::vector<afDockSlot*> slots = addDocuments(3);
    const KeyCase cases[] = {
        {"Alt+1", afKey::ALT | '1', 2, true, 0},
        {"Alt+3", afKey::ALT | '3', 0, true, 2},
        {"Ctrl+Shift+Alt+2 counts as Alt+2", afKey::ALT | afKey::CTRL | afKey::SHIFT | '2', 0, true, 1},
        {"Alt+5 past the last tab", afKey::ALT | '5', 1, true, 1},
        {"Ctrl+Tab on the last tab", afKey::CTRL | VK_TAB, 2, true, 0},
        {"Shift+Ctrl+Tab on the first tab", afKey::CTRL | afKey::SHIFT | VK_TAB, 0, true, 2},
        {"Ctrl+Tab", afKey::CTRL | VK_TAB, 0, true, 1},
        {"Alt+A is not a switching key", afKey::ALT | 'A', 1, false, 1},
        {"plain Tab is not one", VK_TAB, 1, false, 1},
    };
    for (const KeyCase& c : cases)
        EXPECT_TRUE(switchesTo(*this, m_window->getDocumentTabs(), slots, c));
}

TEST_F(MainWindowKeysTest, AltThreeWithTwoTabsDoesNothing) {
    std::vector<afDockSlot*> slots = addDocuments(2);
    m_window->getDocumentTabs()->setActiveSlot(slots[1]);
    EXPECT_TRUE(press(afKey::ALT | '3'));
    EXPECT_EQ(slots[1], m_window->getDocumentTabs()->getActiveSlot());
}

TEST_F(MainWindowPanelsTest, WithoutSettingsBothPanelsStartHiddenAt256) {
    m_window->restorePlacement(m_config.getConfig());
    EXPECT_FALSE(m_window->getSidebar()->isVisible());
    EXPECT_FALSE(m_window->getBottomBar()->isVisible());
    EXPECT_EQ(256, m_window->getLeftSplitter()->getSize());
    EXPECT_EQ(256, m_window->getBottomSplitter()->getSize());
}

TEST_F(MainWindowPanelsTest, SavedSizesComeBackAndANegativeOneAsZero) {
    Config& config = m_config.getConfig();
    config.getValue(L"app.sidebar.left.visible")->setBool(true);
    config.getValue(L"app.sidebar.left.width")->setInt(-40);
    config.getValue(L"app.sidebar.bottom.visible")->setBool(true);
    config.getValue(L"app.sidebar.bottom.width")->setInt(120);
    m_window->restorePlacement(config);
    EXPECT_TRUE(m_window->getSidebar()->isVisible());
    EXPECT_EQ(0, m_window->getLeftSplitter()->getSize());
    EXPECT_TRUE(m_window->getBottomBar()->isVisible());
    EXPECT_EQ(120, m_window->getBottomSplitter()->getSize());

    m_window->setSidebarVisible(false);
    m_window->getBottomSplitter()->setSize(90);
    m_window->savePlacement(config);
    EXPECT_FALSE(config.getValue(L"app.sidebar.left.visible")->asBool());
    EXPECT_EQ(0, config.getValue(L"app.sidebar.left.width")->asInt());
    EXPECT_TRUE(config.getValue(L"app.sidebar.bottom.visible")->asBool());
    EXPECT_EQ(90, config.getValue(L"app.sidebar.bottom.width")->asInt());
}

TEST_F(MainWindowPanelsTest, DistractionFreeTwiceLeavesBothPanelsShown) {
    HWND handle = m_window->getHandle();
    m_window->setDistractionFree(true);
    EXPECT_TRUE(m_window->isDistractionFree());
    EXPECT_EQ(0, GetWindowLongW(handle, GWL_STYLE) & WS_CAPTION);
    EXPECT_EQ(nullptr, GetMenu(handle));
    EXPECT_FALSE(m_window->getSidebar()->isVisible());
    EXPECT_FALSE(m_window->getBottomBar()->isVisible());
    m_window->setDistractionFree(false);
    EXPECT_EQ(WS_CAPTION, GetWindowLongW(handle, GWL_STYLE) & WS_CAPTION);
    EXPECT_NE(nullptr, GetMenu(handle));
    EXPECT_TRUE(m_window->getSidebar()->isVisible());
    EXPECT_TRUE(m_window->getBottomBar()->isVisible());
    EXPECT_EQ((std::vector<bool>{true, false}), m_host.distractionFree);
}

TEST_F(MainWindowPanelsTest, CaptionComesBackOverTheFrameWithoutMovingTheWindow) {
    HWND handle = m_window->getHandle();
    m_window->setDistractionFree(true);
    RECT before;
    GetWindowRect(handle, &before);
    SendMessageW(handle, WM_NCMOUSEMOVE, HTBORDER, 0);
    EXPECT_EQ(WS_CAPTION, GetWindowLongW(handle, GWL_STYLE) & WS_CAPTION);
    RECT shown;
    GetWindowRect(handle, &shown);
    EXPECT_TRUE(EqualRect(&before, &shown));
    SendMessageW(handle, WM_NCMOUSELEAVE, 0, 0);
    EXPECT_EQ(0, GetWindowLongW(handle, GWL_STYLE) & WS_CAPTION);
    RECT hidden;
    GetWindowRect(handle, &hidden);
    EXPECT_TRUE(EqualRect(&before, &hidden));
}
