#include "corvel/widgets/ToolStrip.h"

#include "WidgetHost.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/widgets/ToolStripStatus.h"
#include "corvel/widgets/ViewVirtualButton.h"
#include "corvel/widgets/WidgetPalette.h"
#include "corvel/widgets/afSpinner.h"

#include <gtest/gtest.h>

#include <memory>

using namespace corvel;
using widgetstest::HostWindow;
using widgetstest::pumpUntil;

namespace {

constexpr uint32_t FAST_STEP = 20; // milliseconds: the queue's timing without its waiting

class ToolStripTest : public ::testing::Test {
protected:
    void SetUp() override {
        palette = std::make_unique<WidgetPalette>();
        strip = ToolStrip::create(&host);
        status = strip->getStatus();
        status->setStepInterval(FAST_STEP);
        status->setDefaultText(L"Ready");
    }

    const std::wstring& shown() const { return status->getMessageButton()->getText(); }
    bool busy() const { return status->getBusyIndicator()->isVisible(); }

    // Idle again: the default text back, the indicator hidden, the timer stopped.
    ::testing::AssertionResult settlesIdle() {
        if (!pumpUntil([&] { return status->isIdle(); }))
            return ::testing::AssertionFailure() << "still showing \"" << ::testing::PrintToString(shown()) << "\"";
        if (shown() != L"Ready" || busy() || status->isStepping() || status->getQueueSize() != 0)
            return ::testing::AssertionFailure()
                   << "idle but showing " << ::testing::PrintToString(shown()) << " busy " << busy() << " stepping "
                   << status->isStepping() << " queued " << status->getQueueSize();
        return ::testing::AssertionSuccess();
    }

    HostWindow host;
    std::unique_ptr<WidgetPalette> palette;
    ToolStrip* strip;
    ToolStripStatus* status;
};

int g_defaultClicks = 0;
void countClick(void*, ToolStripStatus*) {
    ++g_defaultClicks;
}

} // namespace

TEST_F(ToolStripTest, AnEmptyTextIsNotQueued) {
    EXPECT_EQ(nullptr, status->pushStatus(L""));
    EXPECT_TRUE(status->isIdle());
    EXPECT_FALSE(status->isStepping());
    EXPECT_EQ(L"Ready", shown());
    EXPECT_FALSE(busy());
}

TEST_F(ToolStripTest, AStatusPoppedAtOnceIsShownForOneStep) {
    ToolStripStatus::Entry* entry = status->pushStatus(L"Compiling grammars...");
    ASSERT_NE(nullptr, entry);
    EXPECT_FALSE(status->isIdle());
    EXPECT_EQ(L"Compiling grammars...", shown());
    EXPECT_TRUE(busy());
    EXPECT_EQ(0, status->getMessageButton()->isClickable());
    status->popStatus(entry);
    EXPECT_EQ(L"Compiling grammars...", shown()); // stays until the step
    EXPECT_TRUE(settlesIdle());
}

TEST_F(ToolStripTest, PendingStatusesTakeTurnsUntilPopped) {
    ToolStripStatus::Entry* first = status->pushStatus(L"first");
    ToolStripStatus::Entry* second = status->pushStatus(L"second");
    EXPECT_EQ(L"first", shown());
    EXPECT_TRUE(pumpUntil([&] { return shown() == L"second"; }));
    EXPECT_TRUE(pumpUntil([&] { return shown() == L"first"; }));
    EXPECT_TRUE(pumpUntil([&] { return shown() == L"second"; }));
    EXPECT_TRUE(busy());
    status->popStatus(first);
    status->popStatus(second);
    EXPECT_TRUE(settlesIdle());
}

TEST_F(ToolStripTest, PoppingAnEntryNotQueuedDoesNothing) {
    HostWindow otherHost;
    ToolStrip* other = ToolStrip::create(&otherHost);
    ToolStripStatus::Entry* foreign = other->getStatus()->pushStatus(L"elsewhere");
    ToolStripStatus::Entry* shownEntry = status->pushStatus(L"shown");
    ToolStripStatus::Entry* waiting = status->pushStatus(L"waiting");
    status->popStatus(waiting); // not on display: freed at once
    EXPECT_EQ(1u, status->getQueueSize());
    status->popStatus(waiting); // a second pop used to free it twice
    status->popStatus(foreign);
    status->popStatus(nullptr);
    EXPECT_EQ(1u, status->getQueueSize());
    EXPECT_EQ(1u, other->getStatus()->getQueueSize());
    status->popStatus(shownEntry);
    EXPECT_TRUE(settlesIdle());
    other->getStatus()->popStatus(foreign);
}

TEST_F(ToolStripTest, TheDefaultClickRunsOnlyWhileIdle) {
    g_defaultClicks = 0;
    status->setDefaultClick(nullptr, &countClick);
    ViewVirtualButton* message = status->getMessageButton();
    EXPECT_EQ(ViewVirtualButton::TEXT_LINK, message->getTextFlags());
    ASSERT_TRUE(message->isClickable());
    afEvent event = widgetstest::makeEvent(host.getHandle(), WM_LBUTTONUP, 1);
    message->onMouseUp(&event);
    EXPECT_EQ(1, g_defaultClicks);

    ToolStripStatus::Entry* entry = status->pushStatus(L"Checking for update...");
    EXPECT_FALSE(message->isClickable());
    EXPECT_EQ(1, message->getTextFlags());
    message->onMouseUp(&event);
    EXPECT_EQ(1, g_defaultClicks);
    status->popStatus(entry);
    EXPECT_TRUE(settlesIdle());
    EXPECT_TRUE(message->isClickable());
}

TEST_F(ToolStripTest, ToolsJoinBeforeTheStatusAndClearKeepsIt) {
    strip->setEdges(ViewVirtualButton::EDGE_TOP);
    EXPECT_EQ(1, strip->getContent()->getPadding().top);
    EXPECT_EQ(0, strip->getContent()->getPadding().bottom);
    auto* first = new ViewVirtualButton(strip);
    first->setEdges(ViewVirtualButton::EDGE_RIGHT);
    strip->addButton(first);
    auto* second = new ViewVirtualButton(strip);
    strip->addButton(second);
    EXPECT_EQ(ViewVirtualButton::EDGE_RIGHT | ViewVirtualButton::EDGE_TOP, first->getEdges());
    EXPECT_EQ(0, first->getStyle()); // the tool strip's background style
    afLayoutLinear* row = strip->getContent();
    ASSERT_EQ(3, row->getChildCount());
    EXPECT_EQ(first, row->getChildAt(0));
    EXPECT_EQ(second, row->getChildAt(1));
    EXPECT_EQ(status, row->getChildAt(2));
    EXPECT_EQ(2, strip->getToolCount());
    strip->clear();
    ASSERT_EQ(1, row->getChildCount());
    EXPECT_EQ(status, row->getChildAt(0));
    EXPECT_EQ(0, strip->getToolCount());

    ToolBar* bar = ToolBar::create(&host);
    bar->setEdges(ViewVirtualButton::EDGE_BOTTOM);
    EXPECT_EQ(1, bar->getContent()->getPadding().bottom);
    auto* tool = new ViewVirtualButton(bar);
    bar->addButton(tool);
    EXPECT_EQ(1, tool->getStyle());
    EXPECT_EQ(ViewVirtualButton::EDGE_BOTTOM, tool->getEdges());
    bar->clear();
    EXPECT_EQ(0, bar->getContent()->getChildCount());
    EXPECT_EQ(nullptr, ToolBar::create(nullptr));
    EXPECT_EQ(nullptr, ToolStrip::create(nullptr));
}
