#include "corvel/widgets/ViewVirtualButton.h"

#include "../../core/tests/support/DibTarget.h"
#include "WidgetHost.h"
#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afIcon.h"
#include "corvel/ui/afResources.h"
#include "corvel/widgets/WidgetPalette.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace corvel;
using widgetstest::HostWindow;

namespace {

struct Recorder {
    std::vector<unsigned> clicks; // event details
    int sideClicks = 0;
    int drags = 0;
    static void onClick(void* self, ViewVirtualButton*, afEvent* event) {
        static_cast<Recorder*>(self)->clicks.push_back(event->getDetail());
    }
    static void onSide(void* self, ViewVirtualButton*, afEvent*) { ++static_cast<Recorder*>(self)->sideClicks; }
    static void onDrag(void* self, ViewVirtualButton*, afEvent*) { ++static_cast<Recorder*>(self)->drags; }
};

struct CountingButton : ViewVirtualButton {
    using ViewVirtualButton::ViewVirtualButton;
    void requestLayout(const char* reason) override {
        reasons.push_back(reason);
        ViewVirtualButton::requestLayout(reason);
    }
    std::vector<std::string> reasons;
};

class ViewVirtualButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        palette = std::make_unique<WidgetPalette>();
        button = new ViewVirtualButton(&host);
        host.appendChild(button);
        button->setFrame(afRect(0, 0, 120, 20));
    }

    // A mouse event at (x, y) of the button, in screen coordinates as the framework gives them.
    afEvent mouse(UINT message, unsigned detail, int x, int y, WPARAM keys = 0) {
        afEvent event = widgetstest::makeEvent(host.getHandle(), message, detail);
        POINT point{x, y};
        ClientToScreen(host.getHandle(), &point);
        event.x = point.x;
        event.y = point.y;
        event.wParam = keys;
        return event;
    }

    void click(unsigned detail, int x) {
        afEvent down = mouse(WM_LBUTTONDOWN, detail, x, 5);
        button->onMouseDown(&down);
        afEvent up = mouse(WM_LBUTTONUP, detail, x, 5);
        button->onMouseUp(&up);
    }

    HostWindow host;
    std::unique_ptr<WidgetPalette> palette;
    ViewVirtualButton* button;
    Recorder recorder;
};

struct FillCase {
    uint8_t style;
    bool clickable;
    int state;
    int hover;
    int fill;
};

::testing::AssertionResult takesFill(ViewVirtualButton& button, const FillCase& c) {
    button.setStyle(c.style);
    button.setState(c.state);
    button.setHover(c.hover);
    ViewVirtualButton::EventCallback::Function noop = [](void*, ViewVirtualButton*, afEvent*) {};
    button.setClick(c.clickable ? &button : nullptr, c.clickable ? noop : nullptr);
    int fill = button.backgroundFill();
    if (fill == c.fill)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "style " << int(c.style) << " clickable " << c.clickable << " state "
                                         << c.state << " hover " << c.hover << ": fill " << fill << ", expected "
                                         << c.fill;
}

} // namespace

TEST_F(ViewVirtualButtonTest, BackgroundFillFollowsStateHoverAndStyle) {
    const FillCase cases[] = {
        {0, false, 2, 1, 1}, {1, false, 3, 0, 17}, {0, true, 1, 0, 2},  {1, true, 1, 0, 18}, {0, true, 2, 0, 6},
        {1, true, 2, 1, 22}, {0, true, 3, 0, 4},   {0, true, 3, 1, 20}, {1, true, 3, 0, 4},  {0, true, 0, 1, 6},
        {0, true, 0, 0, 1},  {1, true, 0, 1, 22},  {1, true, 0, 0, 17},
    };
    for (const FillCase& c : cases)
        EXPECT_TRUE(takesFill(*button, c));
}

TEST_F(ViewVirtualButtonTest, MeasuresEachPartWithTheGapsBetween) {
    const afIcon* icon = &afResources::getIcon(0);
    button->setPadding(3, 2, 5, 1);
    std::unique_ptr<afCanvas> canvas = host.getCanvas();
    canvas->selectObject(afResources::getFont(1).getHandle());
    SIZE label = canvas->measureText(L"Label", 0);
    canvas->selectObject(afResources::getFont(0).getHandle());
    SIZE text = canvas->measureText(L"text", 0);
    canvas.reset();

    button->measure(0, 0);
    EXPECT_EQ(8, button->getMeasuredWidth());
    EXPECT_EQ(16 + 3, button->getMeasuredHeight());
    button->setIcon(icon);
    button->setLabel(L"Label");
    button->setLabelFlags(ViewVirtualButton::TEXT_BOLD);
    button->setText(L"text");
    button->setSideIcon(icon, icon, nullptr, nullptr);
    button->measure(0, 0);
    int gap = ViewVirtualButton::GAP;
    EXPECT_EQ(3 + 16 + gap + label.cx + gap + text.cx + gap + 16 + 5, button->getMeasuredWidth());
    EXPECT_EQ(std::max<int>(16, std::max(label.cy, text.cy)) + 3, button->getMeasuredHeight());
    button->setMinimumSize(500, 40);
    button->measure(0, 0);
    EXPECT_EQ(500, button->getMeasuredWidth());
    EXPECT_EQ(40, button->getMeasuredHeight());
}

TEST_F(ViewVirtualButtonTest, SettersRelayoutOnlyOnChange) {
    auto* counting = new CountingButton(&host);
    host.appendChild(counting);
    counting->reasons.clear();
    counting->setLabel(L"a");
    counting->setLabel(L"a");
    counting->setText(L"b");
    counting->setText(L"b");
    counting->setLabelFlags(2);
    counting->setTextFlags(4);
    counting->setTextFlags(4);
    counting->setState(1); // repaints only
    std::vector<std::string> expected = {"ViewVirtualButton::setLabel", "ViewVirtualButton::setText",
                                         "ViewVirtualButton::setLabelFlags", "ViewVirtualButton::setTextFlags"};
    EXPECT_EQ(expected, counting->reasons);
}

TEST_F(ViewVirtualButtonTest, ClicksGoToTheClickOrTheSideIconCallback) {
    const afIcon* close = &afResources::getIcon(0);
    const afIcon* hot = &afResources::getIcon(1);
    button->setPadding(4, 0, 4, 0);
    button->setClick(&recorder, &Recorder::onClick);
    button->setSideIcon(close, hot, &recorder, &Recorder::onSide);
    click(1, 10);
    click(2, 10);
    click(4, 110); // the middle button over the side icon still clicks
    click(1, 110); // right of 120 - 4 - GAP - 16 = 96
    click(1, 96);
    click(1, 95);
    EXPECT_EQ((std::vector<unsigned>{1, 2, 4, 1}), recorder.clicks);
    EXPECT_EQ(2, recorder.sideClicks);

    button->setEnabled(false);
    click(1, 10);
    EXPECT_EQ(4u, recorder.clicks.size());
}

TEST_F(ViewVirtualButtonTest, HoverLightsTheSideIconUnderThePointer) {
    const afIcon* close = &afResources::getIcon(0);
    const afIcon* hot = &afResources::getIcon(1);
    button->setSideIcon(close, hot, &recorder, &Recorder::onSide);
    afEvent overText = mouse(WM_MOUSEMOVE, 0, 10, 5);
    button->onMouseMove(&overText);
    EXPECT_EQ(1, button->getHover());
    EXPECT_EQ(close, button->getShownSideIcon());
    afEvent overSide = mouse(WM_MOUSEMOVE, 0, 110, 5);
    button->onMouseMove(&overSide);
    EXPECT_EQ(hot, button->getShownSideIcon());
    button->onMouseLeave(&overSide);
    EXPECT_EQ(0, button->getHover());
    EXPECT_EQ(close, button->getShownSideIcon());
}

TEST_F(ViewVirtualButtonTest, PullingPastTheDragDistanceStartsOneDrag) {
    button->setDrag(&recorder, &Recorder::onDrag);
    int distance = GetSystemMetrics(SM_CXDRAG) + 2;
    afEvent down = mouse(WM_LBUTTONDOWN, 1, 10, 5);
    button->onMouseDown(&down);
    afEvent close = mouse(WM_MOUSEMOVE, 0, 11, 5, MK_LBUTTON);
    button->onMouseMove(&close);
    EXPECT_EQ(0, recorder.drags);
    afEvent away = mouse(WM_MOUSEMOVE, 0, 10 + distance, 5, MK_LBUTTON);
    button->onMouseMove(&away);
    button->onMouseMove(&away);
    EXPECT_EQ(1, recorder.drags);

    // A press whose release happened elsewhere: moving back without the button held drags nothing.
    button->onMouseDown(&down);
    afEvent released = mouse(WM_MOUSEMOVE, 0, 10 + distance, 5, 0);
    button->onMouseMove(&released);
    EXPECT_EQ(1, recorder.drags);
    // Right presses never drag.
    afEvent right = mouse(WM_RBUTTONDOWN, 2, 10, 5);
    button->onMouseDown(&right);
    button->onMouseMove(&away);
    EXPECT_EQ(1, recorder.drags);
}

TEST_F(ViewVirtualButtonTest, PaintsItsFillAndEdgeLines) {
    palette->setGradientMode(false);
    button->setClick(&recorder, &Recorder::onClick);
    button->setEdges(ViewVirtualButton::EDGE_RIGHT | ViewVirtualButton::EDGE_BOTTOM);
    button->setState(ViewVirtualButton::STATE_WARNING);
    corveltest::DibTarget dib(120, 20, RGB(1, 2, 3));
    {
        auto canvas = afCanvas::create(dib.dc());
        ASSERT_TRUE(button->onDraw(canvas.get(), nullptr));
    }
    EXPECT_EQ(palette->getFill(4).flat, dib.pixel(50, 2));
    EXPECT_EQ(palette->color(5), dib.pixel(119, 5));
    EXPECT_EQ(palette->color(5), dib.pixel(50, 19));
    EXPECT_EQ(palette->getFill(4).flat, dib.pixel(0, 5));
}
