#include "corvel/widgets/afControlSplitter.h"
#include "WidgetHost.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/ui/afLayoutParams.h"
#include "corvel/widgets/afContainer.h"
#include "support/LogCapture.h"
#include "zem/base/Exception.h"

#include <gtest/gtest.h>

using namespace corvel;
using widgetstest::HostWindow;
using widgetstest::makeEvent;

namespace {

// A row of [sidebar 100 | splitter 6 | rest] in a 400-pixel window; the splitter resizes
// the sidebar.
struct SplitterTest : ::testing::Test {
    void SetUp() override {
        ShowWindow(host.getHandle(), SW_SHOWNOACTIVATE);
        row = new afLayoutLinear(&host, afLayoutLinear::HORIZONTAL);
        host.setContentView(row);
        sidebar = afContainer::create(&host);
        sidebar->setMinimumSize(30, 0);
        row->addChild(sidebar, new afLayoutParamsLinear(100, afLayoutParams::FILL_PARENT));
        splitter = afControlSplitter::create(&host, sidebar, afControlSplitter::HORIZONTAL);
        row->addChild(splitter, new afLayoutParamsLinear(6, afLayoutParams::FILL_PARENT));
        rest = afContainer::create(&host);
        row->addChild(rest, new afLayoutParamsLinear(0, afLayoutParams::FILL_PARENT, 1.0));
        relayout();
    }
    void relayout() {
        host.markLayoutNeeded();
        host.measure(afMeasureSpec::make(afMeasureSpec::EXACTLY, 400),
                     afMeasureSpec::make(afMeasureSpec::EXACTLY, 300));
        host.layout();
    }
    // An event of the splitter at x in the window's client area.
    afEvent at(UINT message, int x, unsigned clicks = 1) {
        afEvent event = makeEvent(splitter->getHandle(), message, 1, 0, 0, 0, clicks);
        POINT point{x, 10};
        ClientToScreen(host.getHandle(), &point);
        event.x = point.x;
        event.y = point.y;
        return event;
    }
    void drag(int from, int to) {
        afEvent down = at(WM_LBUTTONDOWN, from);
        ASSERT_TRUE(splitter->onMouseDown(&down));
        afEvent move = at(WM_MOUSEMOVE, to);
        splitter->onMouseMove(&move);
        afEvent up = at(WM_LBUTTONUP, to);
        splitter->onMouseUp(&up);
        relayout();
    }
    void doubleClick() {
        afEvent down = at(WM_LBUTTONDOWN, splitter->getFrame().left + 3, 2);
        splitter->onMouseDown(&down);
        relayout();
    }

    HostWindow host;
    afLayoutLinear* row = nullptr;
    afContainer* sidebar = nullptr;
    afControlSplitter* splitter = nullptr;
    afContainer* rest = nullptr;
};

TEST_F(SplitterTest, DraggingResizesTheTargetWithinTheLimits) {
    ASSERT_EQ(100, sidebar->getFrame().width());
    bool started = false;
    splitter->dragStartCallback = Callback<void(afControlSplitter*)>(
        &started, [](void* flag, afControlSplitter*) { *static_cast<bool*>(flag) = true; });
    drag(103, 163);
    EXPECT_TRUE(started);
    EXPECT_EQ(160, sidebar->getFrame().width());
    EXPECT_EQ(160, splitter->getSize());
    EXPECT_FALSE(splitter->isDragging());
    EXPECT_FALSE(splitter->hasCapture());
    drag(163, 5000); // past the neighbour's far edge: the bar stops at the window's edge
    EXPECT_EQ(400 - 6, sidebar->getFrame().width());
    EXPECT_EQ(400 - 6, splitter->getSize());
}

// The size kept for a collapsed target was the pointer's position, not the target's size.
TEST_F(SplitterTest, CollapsingKeepsTheSizeForTheDoubleClick) {
    drag(103, 123);
    EXPECT_EQ(120, splitter->getSize());
    drag(123, 20); // below the minimum: collapses
    EXPECT_TRUE(splitter->isCollapsed());
    EXPECT_EQ(120, splitter->getSize());
    doubleClick();
    EXPECT_FALSE(splitter->isCollapsed());
    EXPECT_EQ(120, sidebar->getFrame().width());
    doubleClick();
    EXPECT_TRUE(splitter->isCollapsed());
    doubleClick();
    EXPECT_EQ(120, sidebar->getFrame().width());
}

TEST_F(SplitterTest, SetSizeAppliesTheTargetsMinimum) {
    splitter->setSize(10);
    relayout();
    EXPECT_EQ(10, splitter->getSize());
    EXPECT_EQ(30, sidebar->getFrame().width());
    splitter->setSize(-5);
    EXPECT_EQ(0, splitter->getSize());
}

TEST_F(SplitterTest, HotAndDraggedStatesReachThePainter) {
    struct Seen {
        int calls = 0;
        bool active = false;
    } seen;
    splitter->setPainter(&seen, [](void* data, afControlSplitter*, afCanvas*, const RECT&, bool active) {
        auto* record = static_cast<Seen*>(data);
        ++record->calls;
        record->active = active;
    });
    UpdateWindow(splitter->getHandle());
    EXPECT_GE(seen.calls, 1);
    EXPECT_FALSE(seen.active);
    afEvent move = at(WM_MOUSEMOVE, 103);
    splitter->onMouseMove(&move);
    EXPECT_TRUE(splitter->isHot());
    UpdateWindow(splitter->getHandle());
    EXPECT_TRUE(seen.active);
    splitter->onMouseLeave(&move);
    UpdateWindow(splitter->getHandle());
    EXPECT_FALSE(seen.active);
}

TEST_F(SplitterTest, PressesOutsideALinearLayoutOrWithoutNeighbours) {
    afControlSplitter* loose = afControlSplitter::create(&host, sidebar, afControlSplitter::HORIZONTAL);
    afEvent down = makeEvent(loose->getHandle(), WM_LBUTTONDOWN, 1);
    try {
        loose->onMouseDown(&down);
        ADD_FAILURE() << "no exception";
    } catch (const zem::IllegalStateException& e) {
        EXPECT_EQ(L"afControlSplitter can only be used with linear layouts.", e.message());
    }
    rest->setVisible(false);
    relayout();
    zemtest::LogCapture log;
    afEvent press = at(WM_LBUTTONDOWN, 103);
    EXPECT_FALSE(splitter->onMouseDown(&press));
    EXPECT_FALSE(splitter->hasCapture());
    bool logged = false;
    for (const auto& line : log.lines())
        logged |= line.level == 3 && line.text.find(L"Invalid splitter siblings") != std::wstring::npos;
    EXPECT_TRUE(logged);
}

} // namespace
