#include "corvel/widgets/afControlTabs.h"
#include "WidgetHost.h"
#include "corvel/ui/afKey.h"
#include "corvel/widgets/afContainer.h"

#include <commctrl.h>
#include <gtest/gtest.h>

using namespace corvel;
using widgetstest::HostWindow;
using widgetstest::makeEvent;

namespace {

struct TabsTest : ::testing::Test {
    void SetUp() override {
        ShowWindow(host.getHandle(), SW_SHOWNOACTIVATE);
        tabs = afControlTabs::create(&host);
        tabs->setFrameRect(0, 0, 300, 200);
        for (int i = 0; i < 3; ++i) {
            pages[i] = afContainer::create(tabs);
            EXPECT_EQ(i, tabs->addTab(L"Page " + std::to_wstring(i), pages[i]));
        }
    }
    // Selects a tab as a click does: the native selection, then the control's notification.
    void click(int index) {
        SendMessageW(tabs->getHandle(), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
        NMHDR header{tabs->getHandle(), 0, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageW(host.getHandle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
    }
    bool key(int modifiers) {
        afEvent event = makeEvent(tabs->getHandle(), WM_KEYDOWN, VK_TAB, 0, 0, modifiers);
        return tabs->onKeyDown(&event);
    }
    ::testing::AssertionResult shows(int index) {
        std::string shown;
        for (int i = 0; i < 3; ++i) {
            if (pages[i]->isVisible())
                shown += std::to_string(i);
        }
        std::string expected = std::to_string(index);
        if (shown == expected && tabs->getCurrentTab() == index && tabs->getCurrentPage() == pages[index])
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "pages shown: '" << shown << "', selected tab " << tabs->getCurrentTab() << "; expected " << index;
    }

    HostWindow host;
    afControlTabs* tabs = nullptr;
    afView* pages[3] = {};
};

TEST_F(TabsTest, OnlyTheSelectedTabsPageShows) {
    EXPECT_EQ(3, tabs->getTabCount());
    EXPECT_EQ(pages[1], tabs->getPage(1));
    EXPECT_EQ(nullptr, tabs->getPage(3));
    EXPECT_FALSE(pages[0]->isVisible() || pages[1]->isVisible() || pages[2]->isVisible());
    EXPECT_EQ(nullptr, tabs->getCurrentPage());
    click(2);
    EXPECT_TRUE(shows(2));
    tabs->setCurrentTab(1);
    EXPECT_TRUE(shows(1));
    EXPECT_EQ(pages[1], tabs->getCurrentPage());
    tabs->setCurrentTab(3); // outside the tabs: nothing changes
    tabs->setCurrentTab(-1);
    EXPECT_TRUE(shows(1));
}

TEST_F(TabsTest, PagesKeepClearOfTheTabStrip) {
    tabs->setCurrentTab(0);
    RECT margins{0, 0, 0, 0};
    SendMessageW(tabs->getHandle(), TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&margins));
    const afRect& padding = tabs->getContentView()->getPadding();
    EXPECT_EQ(5 - margins.left, padding.left);
    EXPECT_EQ(5 - margins.top, padding.top);
    EXPECT_EQ(margins.right + 5, padding.right);
    EXPECT_EQ(margins.bottom + 5, padding.bottom);
    EXPECT_GT(padding.top, 5); // the strip's height is in it
}

TEST_F(TabsTest, CtrlTabStepsRoundOnlyWhenSwitchingIsOn) {
    tabs->setCurrentTab(2);
    EXPECT_FALSE(key(afKey::CTRL >> 8));
    tabs->enableKeyboardSwitching();
    EXPECT_TRUE(key(afKey::CTRL >> 8));
    EXPECT_TRUE(shows(0));
    EXPECT_TRUE(key((afKey::CTRL | afKey::SHIFT) >> 8));
    EXPECT_TRUE(shows(2));
    EXPECT_FALSE(key(0)); // Tab alone is not the tabs' key
    EXPECT_TRUE(shows(2));
}

TEST_F(TabsTest, AListenerThatRefusesKeepsThePreviousTab) {
    tabs->setCurrentTab(0);
    struct Asked {
        afView* from = nullptr;
        afView* to = nullptr;
        bool allow = false;
    } asked;
    tabs->canChangeListeners().add(
        [](void* data, afView* from, afView* to) {
            auto* record = static_cast<Asked*>(data);
            record->from = from;
            record->to = to;
            return record->allow;
        },
        &asked);
    click(1);
    EXPECT_EQ(pages[0], asked.from);
    EXPECT_EQ(pages[1], asked.to);
    EXPECT_TRUE(shows(0));
    asked.allow = true;
    click(1);
    EXPECT_TRUE(shows(1));
}

} // namespace
