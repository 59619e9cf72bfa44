#include "corvel/ui/afEvent.h"
#include "corvel/ui/afLayout.h"
#include "support/LogCapture.h"
#include "support/TestWidgets.h"
#include "zem/base/Exception.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace corvel;
using uitest::TestWidget;

namespace {

struct WidgetTest : ::testing::Test {
    uitest::WithResources resources;
    void TearDown() override { uitest::drainMessages(); }
};

TEST_F(WidgetTest, HandleBoundFromCreationToDestruction) {
    TestWidget widget(nullptr, false);
    widget.title = L"Seed title";
    widget.create();
    HWND hwnd = widget.getHandle();
    ASSERT_TRUE(hwnd);
    EXPECT_EQ(&widget, afViewPlatform::viewFromHandle(hwnd));
    EXPECT_EQ(&widget, GetPropW(hwnd, L"AFWIDGETPTR"));
    wchar_t title[64] = {};
    GetWindowTextW(hwnd, title, 64);
    EXPECT_STREQ(L"Seed title", title); // default WM_NCCREATE processing ran
    EXPECT_FALSE(widget.isVisible());
    DestroyWindow(hwnd);
    EXPECT_EQ(nullptr, widget.getHandle());
    EXPECT_EQ(nullptr, GetPropW(hwnd, L"AFWIDGETPTR"));
    EXPECT_EQ(1, widget.destroys);
    EXPECT_EQ(1, widget.destroyeds);
}

TEST_F(WidgetTest, AnotherProcesssWindowIsNoViewOfOurs) {
    // Caught: the key dispatch read another test program's foreground window as a view.
    HWND foreign = GetDesktopWindow();
    DWORD process = 0;
    GetWindowThreadProcessId(foreign, &process);
    if (process == GetCurrentProcessId())
        GTEST_SKIP() << "the desktop window belongs to this process";
    ASSERT_TRUE(SetPropW(foreign, L"AFWIDGETPTR", reinterpret_cast<HANDLE>(0x12345678)));
    afViewPlatform* view = afViewPlatform::viewFromHandle(foreign);
    RemovePropW(foreign, L"AFWIDGETPTR");
    EXPECT_EQ(nullptr, view);
}

TEST_F(WidgetTest, TheLookupForgetsAWindowWithItsView) {
    HWND hwnd = nullptr;
    {
        TestWidget widget(nullptr, false);
        widget.create();
        hwnd = widget.getHandle();
        EXPECT_EQ(&widget, afViewPlatform::viewFromHandle(hwnd));
    }
    EXPECT_EQ(nullptr, afViewPlatform::viewFromHandle(hwnd));
}

TEST_F(WidgetTest, TextSetBeforeCreationIsApplied) {
    TestWidget widget(nullptr, false);
    widget.title.clear();
    widget.setText(L"early");
    widget.create();
    wchar_t title[16] = {};
    GetWindowTextW(widget.getHandle(), title, 16);
    EXPECT_STREQ(L"early", title);
    widget.setText(L"later");
    EXPECT_EQ(L"later", widget.getText());
}

TEST_F(WidgetTest, AFailureInCreateIsRaisedAfterCreation) {
    TestWidget widget(nullptr, false);
    widget.failOnCreate = true;
    EXPECT_THROW(widget.create(), std::runtime_error);
    EXPECT_EQ(nullptr, widget.getHandle());
    // The next creation is not haunted by the old failure.
    widget.failOnCreate = false;
    widget.create();
    EXPECT_TRUE(widget.getHandle());
}

TEST_F(WidgetTest, SeedErrors) {
    struct NoSeed : TestWidget {
        using TestWidget::TestWidget;
        bool buildSeed(Seed&) override { return false; }
    } noSeed(nullptr, false);
    try {
        noSeed.create();
        FAIL();
    } catch (const zem::IllegalStateException& e) {
        EXPECT_EQ(L"Seed build failed.", e.message());
    }
    TestWidget widget(nullptr, false);
    afViewPlatform::Seed empty;
    try {
        widget.createWindow(empty);
        FAIL();
    } catch (const zem::InvalidArgumentException& e) {
        EXPECT_EQ(L"Class name in Seed was empty.", e.message());
    }
}

struct WheelCase {
    std::vector<short> deltas;
    std::vector<int> notches;
    int pending;
};

::testing::AssertionResult wheelGives(const WheelCase& c) {
    TestWidget widget(nullptr, false);
    widget.create();
    for (short delta : c.deltas)
        SendMessageW(widget.getHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), 0);
    if (widget.wheelNotches == c.notches && widget.getWheelAccumulator() == c.pending)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "notches " << ::testing::PrintToString(widget.wheelNotches) << " pending "
                                         << widget.getWheelAccumulator();
}

TEST_F(WidgetTest, WheelDeltasAccumulateIntoNotches) {
    const WheelCase cases[] = {
        {{60, 60}, {1}, 0}, {{240}, {2}, 0}, {{120, -60}, {1}, -60}, {{-250}, {-2}, -10}, {{119}, {}, 119},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(wheelGives(c));
}

TEST_F(WidgetTest, ClickCountsFollowTheCursor) {
    TestWidget widget(nullptr, false);
    widget.create();
    SetCursorPos(150, 150);
    POINT cursor;
    GetCursorPos(&cursor);
    if (cursor.x != 150 || cursor.y != 150)
        GTEST_SKIP() << "the display cannot place the cursor";
    HWND hwnd = widget.getHandle();
    for (int i = 1; i <= 3; ++i) {
        SendMessageW(hwnd, WM_LBUTTONDOWN, 0, 0);
        EXPECT_EQ(i, widget.lastClicks);
        SendMessageW(hwnd, WM_LBUTTONUP, 0, 0);
    }
    SendMessageW(hwnd, WM_RBUTTONDOWN, 0, 0);
    EXPECT_EQ(1, widget.lastClicks);
}

// Records what reaches the native control's own procedure.
WNDPROC g_editProc = nullptr;
int g_editSawNcDestroy = 0;
bool g_propGoneAtNcDestroy = false;
LRESULT CALLBACK recordingEdit(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCDESTROY) {
        ++g_editSawNcDestroy;
        g_propGoneAtNcDestroy = GetPropW(hwnd, L"AFWIDGETPTR") == nullptr &&
                                GetWindowLongPtrW(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&recordingEdit);
    }
    return CallWindowProcW(g_editProc, hwnd, message, wParam, lParam);
}

TEST_F(WidgetTest, AnAdoptedControlKeepsItsOwnProcedure) {
    TestWidget host(nullptr, false);
    host.create();
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, host.getHandle(), nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(edit);
    g_editProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&recordingEdit)));
    g_editSawNcDestroy = 0;
    auto* view = new TestWidget(&host, true);
    EXPECT_FALSE(view->adoptHandle(nullptr));
    ASSERT_TRUE(view->adoptHandle(edit));
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(1, view->destroys + 1); // onCreate ran, onDestroy not yet
    SetWindowTextW(edit, L"typed");
    wchar_t text[32] = {};
    GetWindowTextW(edit, text, 32);
    EXPECT_STREQ(L"typed", text);
    EXPECT_EQ(L"typed", view->getText());
    DestroyWindow(edit);
    EXPECT_EQ(1, g_editSawNcDestroy);
    EXPECT_TRUE(g_propGoneAtNcDestroy);
    EXPECT_EQ(1, view->destroys);
    EXPECT_EQ(1, view->destroyeds);
}

struct ShowUnderCase {
    const char* what;
    bool hostVisible;
    bool contentVisible;
    bool styled; // the child has WS_VISIBLE after it was shown
};

// Shows a child widget inside a virtual content view of a host window in the given states,
// then the ancestors: the child takes WS_VISIBLE only once every ancestor is visible.
::testing::AssertionResult showsUnder(const ShowUnderCase& c) {
    TestWidget host(nullptr, false);
    host.create();
    host.setVisible(c.hostVisible);
    auto* content = new afLayout(&host);
    host.setContentView(content);
    content->setVisible(c.contentVisible);
    auto* child = new TestWidget(&host, true);
    child->create();
    content->addChild(child);
    HWND hwnd = child->getHandle();
    child->setVisible(false);
    child->setVisible(true);
    const bool styled = uitest::hasVisibleStyle(hwnd);
    content->setVisible(true);
    host.setVisible(true);
    const bool styledAfter = uitest::hasVisibleStyle(hwnd);
    content->removeChild(child);
    host.setContentView(nullptr);
    if (styled == c.styled && child->isVisible() && styledAfter)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << c.what << ": WS_VISIBLE " << styled << ", after the ancestors showed "
                                         << styledAfter;
}

// Caught: a child shown under a hidden host window took WS_VISIBLE, because only the
// virtual views up to the first native one were asked.
TEST_F(WidgetTest, ShowingUnderAnyHiddenAncestorOnlyRecordsTheFlag) {
    const ShowUnderCase cases[] = {
        {"host hidden", false, true, false},
        {"content hidden", true, false, false},
        {"both hidden", false, false, false},
        {"both visible", true, true, true},
    };
    for (const ShowUnderCase& c : cases)
        EXPECT_TRUE(showsUnder(c));
}

TEST_F(WidgetTest, HiddenAncestorsDecideTheNativeWindow) {
    TestWidget host(nullptr, false);
    host.create();
    host.setVisible(true);
    auto* content = new afLayout(&host);
    host.setContentView(content);
    auto* child = new TestWidget(&host, true);
    child->create();
    content->addChild(child);
    HWND hwnd = child->getHandle();
    content->setVisible(false);
    EXPECT_FALSE(uitest::hasVisibleStyle(hwnd));
    child->setVisible(false);
    child->setVisible(true); // an ancestor is hidden: only the flag changes
    EXPECT_TRUE(child->isVisible());
    EXPECT_FALSE(uitest::hasVisibleStyle(hwnd));
    content->setVisible(true);
    EXPECT_TRUE(uitest::hasVisibleStyle(hwnd));
    child->setVisible(false);
    EXPECT_FALSE(uitest::hasVisibleStyle(hwnd));
    content->removeChild(child);
    host.setContentView(nullptr);
}

TEST_F(WidgetTest, ChildWidgetsAreMovedThroughTheHost) {
    TestWidget host(nullptr, false);
    host.create();
    auto* content = new afLayout(&host);
    host.setContentView(content);
    auto* box = new afLayout(&host);
    content->addChild(box);
    box->setFrame(afRect(10, 20, 110, 120));
    auto* child = new TestWidget(&host, true);
    child->create();
    box->addChild(child);
    host.layout();
    child->setFrame(afRect(5, 6, 55, 36));
    RECT rect;
    GetWindowRect(child->getHandle(), &rect);
    MapWindowPoints(nullptr, host.getHandle(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(15, rect.left);
    EXPECT_EQ(26, rect.top);
    EXPECT_EQ(50, rect.right - rect.left);
    box->removeChild(child);
    host.setContentView(nullptr);
}

struct ThrowingWidget : TestWidget {
    using TestWidget::TestWidget;
    bool onRawMessage(afMessage* message) override {
        if (message->message == WM_USER + 1)
            throw zem::IllegalStateException(L"handler failed");
        return TestWidget::onRawMessage(message);
    }
};

TEST_F(WidgetTest, AnExceptionInAHandlerIsLoggedAndAnswersZero) {
    zemtest::LogCapture log(0x629b9e5bu);
    ThrowingWidget widget(nullptr, false);
    widget.create();
    EXPECT_EQ(0, SendMessageW(widget.getHandle(), WM_USER + 1, 0, 0));
    auto lines = log.lines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(3, lines[0].level);
    EXPECT_NE(std::wstring::npos, lines[0].text.find(L"handler failed"));
    EXPECT_EQ(&widget, afViewPlatform::viewFromHandle(widget.getHandle())); // the window lives on
}

} // namespace
