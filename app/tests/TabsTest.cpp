#include "corvel/app/Tabs.h"

#include "../../ui_framework/core/tests/support/DibTarget.h"
#include "../../ui_framework/core/tests/support/TestWidgets.h"
#include "../../ui_framework/widgets/tests/support/SlotDropScript.h"
#include "corvel/app/DropMarker.h"
#include "corvel/app/TabManager.h"
#include "corvel/app/TabsSidebar.h"
#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afEvent.h"
#include "corvel/ui/afIcon.h"
#include "corvel/ui/afResources.h"
#include "corvel/widgets/ViewVirtualButton.h"
#include "corvel/widgets/WidgetPalette.h"
#include "corvel/widgets/afDataObject.h"
#include "corvel/widgets/afDataObjectFiles.h"
#include "corvel/widgets/afDropTarget.h"
#include "support/FakeSlotController.h"

#include <gtest/gtest.h>

#include <memory>

using namespace corvel;
using apptest::FakeSlotController;
using apptest::intern;
using apptest::nameOf;

namespace {

constexpr int BUTTON_WIDTH = 100;
constexpr int BUTTON_HEIGHT = 16;

void layoutView(afViewPlatform& view, int width, int height) {
    // Measured first: placing the frame lays out and would clear the request to measure.
    view.measure(afMeasureSpec::make(afMeasureSpec::EXACTLY, width),
                 afMeasureSpec::make(afMeasureSpec::EXACTLY, height));
    view.setFrameRect(0, 0, width, height);
    view.layout();
}

// Makes a mouse event at a point of a dock's client area, in screen coordinates.
afEvent eventAt(afViewPlatform& view, int x, int y, unsigned detail) {
    MSG msg{};
    msg.hwnd = view.getHandle();
    afEvent event(msg, detail);
    POINT point{x, y};
    ClientToScreen(view.getHandle(), &point);
    event.x = point.x;
    event.y = point.y;
    event.code = detail;
    return event;
}

// Drives a slot drag by hand onto dropOnto at (dropX, dropY), and chooses from the tab
// menu by title without its modal loop.
template <class Base> class Scripted : public Base {
public:
    explicit Scripted(afView* parent) : Base(parent) { afViewPlatform::create(); }

    using Base::hitTestDrop;

    afMenuNode* runSlotMenu(afMenu* menu, int, int) override {
        for (afMenuNode* node : menu->children()) {
            menuTitles.push_back(node->getTitle());
            if (node->getTitle() == choose)
                return node;
        }
        return nullptr;
    }
    int runSlotDrag(afDataObject* data, int allowed) override {
        if (!dropOnto)
            return 0;
        widgetstest::SlotDropScript script;
        script.at = POINT{dropX, dropY};
        script.leave = leaveInstead;
        script.afterOver = [&] {
            pendingDuringDrag = dropOnto->getPendingDropPosition();
            markerShown = dropOnto->getDropMarker() && dropOnto->getDropMarker()->isVisible();
        };
        DWORD effect = script.run(*dropOnto, data, allowed);
        overEffect = script.overEffect;
        return static_cast<int>(effect);
    }

    std::wstring choose;
    std::vector<std::wstring> menuTitles;
    DockSimple* dropOnto = nullptr;
    int dropX = 0;
    int dropY = 0;
    bool leaveInstead = false;
    DWORD overEffect = 0;
    int pendingDuringDrag = -2;
    bool markerShown = false;
};

typedef Scripted<Tabs> TestTabs;
typedef Scripted<TabsSidebar> TestSidebar;

class TabsTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.width = 420;
        host.height = 320;
        host.create();
        palette = std::make_unique<WidgetPalette>();
        palette->setGradientMode(false);
    }

    afDockSlot* add(DockSimple* dock, const char* name, int position = -1) {
        afDockSlot* slot =
            dock->addSlot(&files, const_cast<char*>(intern(name)), afDockSlot::DEFAULT_ID, position).second;
        DockSimple::getButton(slot)->setMinimumSize(BUTTON_WIDTH, BUTTON_HEIGHT);
        return slot;
    }
    static std::string names(afDock* dock) {
        std::string out;
        for (int i = 0; i < dock->getSlotCount(); ++i)
            out += nameOf(dock->getSlot(i));
        return out;
    }

    uitest::WithResources resources;
    uitest::TestWidget host{nullptr, false};
    std::unique_ptr<WidgetPalette> palette;
    FakeSlotController files{L"files"};
};

struct TabsHitCase {
    int x, y;
    bool hit;
    int position;
    int markerX;
};

::testing::AssertionResult hitsAs(TestTabs& tabs, const TabsHitCase& c) {
    DockSimple::DropHit hit;
    bool found = tabs.hitTestDrop(c.x, c.y, hit);
    if (found != c.hit)
        return ::testing::AssertionFailure() << "(" << c.x << ", " << c.y << "): hit " << found;
    if (found && (hit.position != c.position || hit.marker.x != c.markerX || hit.marker.y != 0))
        return ::testing::AssertionFailure()
               << "(" << c.x << ", " << c.y << "): position " << hit.position << " marker " << hit.marker.x << ","
               << hit.marker.y << ", expected " << c.position << " at " << c.markerX;
    return ::testing::AssertionSuccess();
}

} // namespace

TEST_F(TabsTest, DropsLandBesideTheTabUnderThePointer) {
    auto* tabs = new TestTabs(&host);
    add(tabs, "a");
    add(tabs, "b");
    add(tabs, "c");
    layoutView(*tabs, 400, 150);
    const TabsHitCase cases[] = {
        {10, 5, true, 0, 0},     {60, 5, true, 1, 100},   {140, 5, true, 1, 100}, {250, 5, true, 3, 300},
        {299, 15, true, 3, 300}, {350, 5, true, -1, 300}, {50, 40, false, 0, 0},
    };
    for (const TabsHitCase& c : cases)
        EXPECT_TRUE(hitsAs(*tabs, c));
    // The dock's own answer for a drop at a point: beside the tab under it.
    EXPECT_EQ(0, tabs->dropPosition(10, 5, nullptr));
    EXPECT_EQ(1, tabs->dropPosition(60, 5, nullptr)); // the right half of the first tab
    POINT marker{};
    EXPECT_EQ(1, tabs->dropPosition(140, 5, &marker));
    EXPECT_EQ(100, marker.x);
    EXPECT_EQ(-1, tabs->dropPosition(50, 40, nullptr)); // below the strip
}

TEST_F(TabsTest, DraggingATabToTheRightHalfOfTheLastPutsItAtTheEnd) {
    auto* tabs = new TestTabs(&host);
    afDockSlot* a = add(tabs, "a");
    add(tabs, "b");
    add(tabs, "c");
    layoutView(*tabs, 400, 150);
    tabs->dropOnto = tabs;
    tabs->dropX = 250;
    tabs->dropY = 5;
    ASSERT_TRUE(tabs->dragSlot(a));
    EXPECT_EQ(3, tabs->pendingDuringDrag);
    EXPECT_TRUE(tabs->markerShown);
    EXPECT_EQ("bca", names(tabs));
    EXPECT_EQ(ViewVirtualButton::STATE_NORMAL, DockSimple::getButton(a)->getState()); // put back after the drag

    layoutView(*tabs, 400, 150); // the window's deferred layout pass
    tabs->dropX = 10;
    ASSERT_TRUE(tabs->dragSlot(a));
    EXPECT_EQ("abc", names(tabs));

    // Leaving the dock takes the marker away and forgets the position.
    tabs->leaveInstead = true;
    ASSERT_TRUE(tabs->dragSlot(a));
    EXPECT_EQ(-1, tabs->getPendingDropPosition());
    EXPECT_EQ(nullptr, tabs->getDropMarker());
    // Below the strip the drop is refused and nothing moves.
    tabs->leaveInstead = false;
    tabs->dropY = 100;
    ASSERT_TRUE(tabs->dragSlot(a));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), tabs->overEffect);
    EXPECT_EQ("abc", names(tabs));
}

TEST_F(TabsTest, ADragOverWithoutATabBeingDraggedIsRefusedUnlessAHandlerTakesIt) {
    auto* tabs = new TestTabs(&host);
    add(tabs, "a");
    add(tabs, "b");
    layoutView(*tabs, 400, 150);
    afEvent event = eventAt(*tabs, 60, 5, 0);
    EXPECT_EQ(1, tabs->onSlotDragOver(tabs->getDropTarget(), &event, 1 | 8 | 16, 8));
    EXPECT_EQ(-1, tabs->getPendingDropPosition());

    // With a handler of files (the document tabs) they are copied in beside the tab.
    tabs->addDropHandler(new afDataObjectFiles(), nullptr,
                         [](void*, afDock*, afDataObject*, int, afEvent*, int, int last) { return last; });
    EXPECT_EQ(1, tabs->onSlotDragOver(tabs->getDropTarget(), &event, 1 | 8 | 16, 8)); // copy not offered
    EXPECT_EQ(4, tabs->onSlotDragOver(tabs->getDropTarget(), &event, 1 | 4 | 8, 8));
    EXPECT_EQ(1, tabs->getPendingDropPosition());
    afEvent below = eventAt(*tabs, 60, 100, 0);
    EXPECT_EQ(1, tabs->onSlotDragOver(tabs->getDropTarget(), &below, 1 | 4 | 8, 4));
}

TEST_F(TabsTest, ButtonsActivateCloseAndOfferTheirMenu) {
    auto* tabs = new TestTabs(&host);
    afDockSlot* a = add(tabs, "a");
    afDockSlot* b = add(tabs, "b");
    afDockSlot* c = add(tabs, "c");
    afDockSlot* d = add(tabs, "d");
    layoutView(*tabs, 400, 150);
    ViewVirtualButton* buttonB = DockSimple::getButton(b);
    afEvent left = eventAt(*tabs, 150, 5, 1);
    buttonB->onMouseUp(&left);
    EXPECT_EQ(b, tabs->getActiveSlot());
    EXPECT_EQ(ViewVirtualButton::STATE_HIGHLIGHTED, buttonB->getState());
    EXPECT_TRUE(b->getView()->isVisible());
    EXPECT_FALSE(a->getView()->isVisible());

    afEvent middle = eventAt(*tabs, 10, 5, 4);
    DockSimple::getButton(a)->onMouseUp(&middle);
    EXPECT_EQ("bcd", names(tabs));
    EXPECT_EQ((std::vector<std::string>{"a"}), files.closing);

    tabs->choose = L"Own item";
    afEvent right = eventAt(*tabs, 10, 5, 2);
    DockSimple::getButton(c)->onMouseUp(&right);
    EXPECT_EQ((std::vector<std::wstring>{L"&Close", L"&Close All", L"&Close All Other", L"Own item"}),
              tabs->menuTitles);
    EXPECT_EQ(1, files.ownItemRuns);
    tabs->choose = L"&Close All Other";
    DockSimple::getButton(c)->onMouseUp(&right);
    EXPECT_EQ("c", names(tabs));
    tabs->choose = L"&Close";
    DockSimple::getButton(c)->onMouseUp(&right);
    EXPECT_EQ("", names(tabs));
    (void)d;
}

TEST_F(TabsTest, SlotsOfOneDataWordShareAViewUntilTheLastLeaves) {
    auto* tabs = new TestTabs(&host);
    afDockSlot* first = add(tabs, "shared");
    afDockSlot* second = add(tabs, "shared");
    EXPECT_EQ(1, files.viewsMade);
    EXPECT_EQ(first->getView(), second->getView());
    tabs->removeSlot(first);
    EXPECT_NE(nullptr, tabs->getCachedView(const_cast<char*>(intern("shared"))));
    tabs->removeSlot(second);
    // The controller may have freed the view: a new slot of the same word gets a new one.
    EXPECT_EQ(nullptr, tabs->getCachedView(const_cast<char*>(intern("shared"))));
    add(tabs, "shared");
    EXPECT_EQ(2, files.viewsMade);
}

TEST_F(TabsTest, SlotAlertsSetTheButtonState) {
    auto* tabs = new TestTabs(&host);
    afDockSlot* a = add(tabs, "a");
    afDockSlot* b = add(tabs, "b");
    tabs->setActiveSlot(a);
    const struct {
        afDockSlot* slot;
        uint32_t alert;
        int state;
    } cases[] = {
        {b, DockSimple::STATE_WARNING, ViewVirtualButton::STATE_WARNING},
        {b, DockSimple::STATE_HIGHLIGHT, ViewVirtualButton::STATE_HIGHLIGHTED},
        {b, DockSimple::STATE_DEFAULT, ViewVirtualButton::STATE_NORMAL},
        {a, DockSimple::STATE_WARNING, ViewVirtualButton::STATE_WARNING},
        {a, DockSimple::STATE_DEFAULT, ViewVirtualButton::STATE_HIGHLIGHTED},
    };
    for (const auto& c : cases) {
        tabs->onSlotStateChanged(c.slot, static_cast<int>(c.alert));
        EXPECT_EQ(c.state, DockSimple::getButton(c.slot)->getState()) << nameOf(c.slot) << " alert " << c.alert;
    }
    tabs->onSlotStateChanged(b, static_cast<int>(DockSimple::STATE_WARNING));
    tabs->setActiveSlot(b); // a warning outlasts activation
    EXPECT_EQ(ViewVirtualButton::STATE_WARNING, DockSimple::getButton(b)->getState());
    EXPECT_EQ(ViewVirtualButton::STATE_NORMAL, DockSimple::getButton(a)->getState());
}

TEST_F(TabsTest, AnEmptyDocumentDockShowsItsPictureCentred) {
    if (!afResources::find(TabManager::EMPTY_PICTURE))
        afResources::add(TabManager::EMPTY_PICTURE, std::make_unique<afIcon>(126, 128));
    TabManager manager;
    Tabs* tabs = manager.getDock(&host);
    ASSERT_NE(nullptr, tabs);
    EXPECT_EQ(tabs, manager.getDock(&host));
    EXPECT_EQ(tabs, TabManager::instance()->getDock());
    EXPECT_EQ(afResources::find(TabManager::EMPTY_PICTURE), tabs->getEmptyPicture());
    layoutView(*tabs, 400, 300);
    afRect body = tabs->getBodyRect();
    COLORREF empty = afResources::getColor(4);
    {
        corveltest::DibTarget dib(400, 300, RGB(1, 2, 3));
        auto canvas = afCanvas::create(dib.dc());
        ASSERT_TRUE(tabs->onDraw(canvas.get(), nullptr));
        canvas.reset();
        EXPECT_EQ(empty, dib.pixel(2, body.bottom - 2));
        // The picture's pixels lie in the 128-pixel square at the centre of the body.
        int left = (400 - 128) / 2, top = body.top + (body.height() - 128) / 2;
        RECT square{left, top, left + 128, top + 128};
        RECT wholeBody{0, body.top, 400, body.bottom};
        int outside = (400 * body.height() - dib.count(empty, wholeBody)) - (128 * 128 - dib.count(empty, square));
        EXPECT_EQ(0, outside);
        EXPECT_LT(dib.count(empty, square), 128 * 128);
    }
    FakeSlotController controller{L"files"};
    tabs->setActiveSlot(tabs->addSlot(&controller, const_cast<char*>(intern("doc"))).second);
    corveltest::DibTarget dib(400, 300, RGB(1, 2, 3));
    auto canvas = afCanvas::create(dib.dc());
    EXPECT_FALSE(tabs->onDraw(canvas.get(), nullptr)); // the picture is gone with a tab
    EXPECT_EQ(nullptr, TabManager().getDock(nullptr));
}

TEST_F(TabsTest, TheSidebarOpensTheActiveViewUnderItsOwnButton) {
    auto* sidebar = new TestSidebar(&host);
    afDockSlot* a = add(sidebar, "a");
    afDockSlot* b = add(sidebar, "b");
    afDockSlot* c = add(sidebar, "c");
    sidebar->setActiveSlot(b);
    auto followsItsButton = [&](afDockSlot* slot) {
        afLayoutLinear* content = sidebar->getContent();
        int at = content->indexOfChild(DockSimple::getButton(slot));
        return at >= 0 && content->getChildAt(at + 1) == slot->getView();
    };
    EXPECT_TRUE(followsItsButton(b));
    EXPECT_EQ(ViewVirtualButton::EDGE_BOTTOM, DockSimple::getButton(a)->getEdges());
    EXPECT_EQ(ViewVirtualButton::EDGE_TOP, DockSimple::getButton(b)->getEdges());
    EXPECT_EQ(ViewVirtualButton::EDGE_TOP, DockSimple::getButton(c)->getEdges());
    sidebar->insertSlot(c, 0);
    EXPECT_EQ("cab", names(sidebar));
    EXPECT_TRUE(followsItsButton(b));
    EXPECT_EQ(sidebar->getContent()->getChildAt(0), DockSimple::getButton(c));
    sidebar->setActiveSlot(c);
    EXPECT_TRUE(followsItsButton(c));
    EXPECT_EQ(ViewVirtualButton::EDGE_TOP, DockSimple::getButton(a)->getEdges()); // below the active one

    // Stacked 16-pixel buttons with b's view open under it: halves of each block.
    sidebar->setActiveSlot(b);
    sidebar->insertSlot(c, -1);
    EXPECT_EQ("abc", names(sidebar));
    layoutView(*sidebar, 200, 300);
    const struct {
        int y;
        int position;
        int markerY;
    } cases[] = {{5, 0, 0}, {20, 1, 16}, {200, 2, 284}, {290, 2, 284}, {295, 3, 300}};
    for (const auto& c : cases) {
        DockSimple::DropHit hit;
        ASSERT_TRUE(sidebar->hitTestDrop(50, c.y, hit)) << c.y;
        EXPECT_EQ(c.position, hit.position) << c.y;
        EXPECT_EQ(c.markerY, hit.marker.y) << c.y;
    }
}

TEST_F(TabsTest, ADoubleClickOnTheRowOrTheContentRunsTheHandler) {
    auto* tabs = new TestTabs(&host);
    int runs = 0;
    tabs->setDoubleClick(&runs, [](void* count, Tabs*) { ++*static_cast<int*>(count); });
    afEvent once = eventAt(*tabs, 10, 5, 1);
    once.setClickCount(1);
    afEvent twice = eventAt(*tabs, 10, 5, 1);
    twice.setClickCount(2);
    EXPECT_FALSE(tabs->getButtonRow()->dispatchMouseDown(&once));
    EXPECT_TRUE(tabs->getButtonRow()->dispatchMouseDown(&twice));
    EXPECT_TRUE(tabs->getContent()->dispatchMouseDown(&twice));
    EXPECT_EQ(2, runs);
}

TEST_F(TabsTest, TabTitlesShowTheirAmpersandsAndLeadingViewsGoBeforeTheTrailingOnes) {
    auto* tabs = new TestTabs(&host);
    afDockSlot* slot = add(tabs, "R&D.txt");
    EXPECT_EQ(ViewVirtualButton::TEXT_NO_PREFIX, DockSimple::getButton(slot)->getLabelFlags());
    EXPECT_EQ(ViewVirtualButton::TEXT_NO_PREFIX, DockSimple::getButton(slot)->getTextFlags());
    auto* first = new ViewVirtualButton(tabs);
    auto* second = new ViewVirtualButton(tabs);
    tabs->addLeadingView(first);
    tabs->addLeadingView(second);
    afView* trailing = tabs->getHeader()->getChildAt(2);
    ASSERT_EQ(2, trailing->getChildCount());
    EXPECT_EQ(second, trailing->getChildAt(0));
    EXPECT_EQ(first, trailing->getChildAt(1));
}
