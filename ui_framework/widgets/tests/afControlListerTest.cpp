#include "corvel/widgets/afControlLister.h"
#include "WidgetHost.h"

#include <gtest/gtest.h>

#include <vector>

using namespace corvel;
using widgetstest::HostWindow;
using widgetstest::makeEvent;

namespace {

// A lister whose client area holds ten rows of the default 16 pixels.
struct ListerTest : ::testing::Test {
    void SetUp() override {
        lister = afControlLister::create(&host);
        fitClient(160);
        lister->selectionChangedCallback.set(this, &ListerTest::onSelected);
        lister->itemActivatedCallback.set(this, &ListerTest::onActivated);
    }
    void fitClient(int height) {
        SetWindowPos(lister->getHandle(), nullptr, 0, 0, 200, 10, SWP_NOZORDER | SWP_NOACTIVATE);
        RECT client;
        GetClientRect(lister->getHandle(), &client);
        SetWindowPos(lister->getHandle(), nullptr, 0, 0, 200, 10 + height - client.bottom,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    static void onSelected(void* self, afControlLister*, int index) {
        static_cast<ListerTest*>(self)->selected.push_back(index);
    }
    static void onActivated(void* self, afControlLister*, int index) {
        static_cast<ListerTest*>(self)->activated.push_back(index);
    }
    SCROLLINFO scrollInfo() const {
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_ALL;
        GetScrollInfo(lister->getHandle(), SB_VERT, &info);
        return info;
    }

    HostWindow host;
    afControlLister* lister = nullptr;
    std::vector<int> selected;
    std::vector<int> activated;
};

struct KeyCase {
    int count;
    int start;
    int key;
    int selection;
    int top;
};

::testing::AssertionResult keyGives(afControlLister* lister, const KeyCase& c) {
    lister->setCount(c.count, false);
    lister->setSelection(c.start, false);
    lister->handleKey(c.key);
    if (lister->getSelection() == c.selection && lister->getTopRow() == c.top)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "count " << c.count << ", from " << c.start << ", key 0x" << std::hex
                                         << c.key << std::dec << ": selection " << lister->getSelection() << " top "
                                         << lister->getTopRow() << ", expected " << c.selection << " top " << c.top;
}

TEST_F(ListerTest, KeysMoveTheSelectionWithoutWrapping) {
    const KeyCase cases[] = {
        {100, 0, VK_DOWN, 1, 0},  {100, 99, VK_DOWN, 99, 90},         {100, 0, VK_UP, 0, 0},
        {100, 9, VK_DOWN, 10, 1}, {100, 50, VK_NEXT, 60, 51},         {100, 95, VK_NEXT, 99, 90},
        {100, 5, VK_PRIOR, 0, 0}, {100, 30, 0x100 | VK_NEXT, 99, 90}, {100, 99, 0x100 | VK_PRIOR, 0, 0},
        {3, 2, VK_DOWN, 2, 0},
    };
    for (const KeyCase& c : cases)
        EXPECT_TRUE(keyGives(lister, c));
    EXPECT_FALSE(lister->handleKey(VK_HOME));
    EXPECT_FALSE(lister->handleKey(0x200 | VK_DOWN)); // other modifiers are not the lister's
}

TEST_F(ListerTest, EnterActivatesOnlyARow) {
    lister->setCount(5, false);
    lister->setSelection(3, false);
    lister->handleKey(VK_RETURN);
    EXPECT_EQ(std::vector<int>{3}, activated);
    // With no rows the selection is none whatever allowNone says, and Enter does nothing.
    lister->setCount(0, false);
    EXPECT_TRUE(lister->setSelection(0, false));
    EXPECT_EQ(-1, lister->getSelection());
    lister->handleKey(VK_RETURN);
    EXPECT_EQ(std::vector<int>{3}, activated);
    EXPECT_EQ(std::vector<int>{3}, selected); // never told a non-row
}

TEST_F(ListerTest, SelectionClampsAndReportsChanges) {
    lister->setCount(20, false);
    EXPECT_EQ(0, lister->getSelection());
    EXPECT_FALSE(lister->setSelection(-5, false)); // clamps to row 0: unchanged
    EXPECT_TRUE(lister->setSelection(50, false));
    EXPECT_EQ(19, lister->getSelection());
    EXPECT_EQ(10, lister->getTopRow());
    EXPECT_TRUE(lister->setSelection(-5, true));
    EXPECT_EQ(-1, lister->getSelection());
    EXPECT_EQ(std::vector<int>{19}, selected);
}

TEST_F(ListerTest, TheScrollBarFollowsTheRows) {
    lister->setCount(4, false);
    SCROLLINFO info = scrollInfo();
    EXPECT_EQ(0, info.nMin);
    EXPECT_EQ(3, info.nMax);
    EXPECT_EQ(10, lister->getVisibleRows());
    EXPECT_EQ(0, lister->getTopRow()); // fewer rows than fit: the top stays 0
    lister->setCount(1000, false);
    EXPECT_EQ(10u, scrollInfo().nPage);
    const struct {
        WPARAM request;
        int top;
    } steps[] = {{SB_LINEDOWN, 1}, {SB_PAGEDOWN, 11}, {SB_LINEUP, 10}, {SB_BOTTOM, 990}, {SB_PAGEDOWN, 990},
                 {SB_PAGEUP, 980}, {SB_TOP, 0},       {SB_LINEUP, 0},  {SB_ENDSCROLL, 0}};
    for (const auto& step : steps) {
        SendMessageW(lister->getHandle(), WM_VSCROLL, step.request, 0);
        EXPECT_EQ(step.top, lister->getTopRow()) << "request " << step.request;
        EXPECT_EQ(step.top, scrollInfo().nPos) << "request " << step.request;
    }
    EXPECT_EQ(999, scrollInfo().nMax);
    lister->setCount(-3, false);
    EXPECT_EQ(0, lister->getCount());
    EXPECT_TRUE(lister->isEmpty());
}

// A list filled while its window had no height (a hidden sidebar) kept fitting no row once
// the window had grown: layout moves windows after it has laid them out.
TEST_F(ListerTest, RowsFitTheSizeTheWindowReaches) {
    fitClient(0);
    lister->setCount(30, false);
    EXPECT_EQ(0, lister->getVisibleRows());
    fitClient(160);
    EXPECT_EQ(10, lister->getVisibleRows());
    EXPECT_EQ(10u, scrollInfo().nPage);
    fitClient(48);
    EXPECT_EQ(3, lister->getVisibleRows());
}

TEST_F(ListerTest, TheWheelScrollsByWholeNotches) {
    lister->setCount(100, false);
    SendMessageW(lister->getHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, -240), 0);
    EXPECT_EQ(2, lister->getTopRow());
    SendMessageW(lister->getHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, 60), 0);
    EXPECT_EQ(2, lister->getTopRow()); // half a notch waits
    SendMessageW(lister->getHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, 60), 0);
    EXPECT_EQ(1, lister->getTopRow());
    SendMessageW(lister->getHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, 1200), 0);
    EXPECT_EQ(0, lister->getTopRow());
}

TEST_F(ListerTest, ClicksSelectAndDoubleClicksActivate) {
    ShowWindow(host.getHandle(), SW_SHOWNOACTIVATE);
    lister->setCount(30, false);
    lister->scrollToRow(5);
    afEvent click = makeEvent(lister->getHandle(), WM_LBUTTONDOWN, 1, 10, 40);
    lister->onMouseDown(&click);
    EXPECT_EQ(7, lister->getSelection());
    EXPECT_EQ(lister->getHandle(), GetFocus());
    EXPECT_TRUE(activated.empty());
    afEvent twice = makeEvent(lister->getHandle(), WM_LBUTTONDOWN, 1, 10, 40, 0, 2);
    lister->onMouseDown(&twice);
    EXPECT_EQ(std::vector<int>{7}, activated);
    EXPECT_EQ(-1, lister->itemAtY(400));
    EXPECT_EQ(5, lister->itemAtY(0));
    afRect rect;
    EXPECT_TRUE(lister->getItemRect(7, rect));
    EXPECT_EQ(32, rect.top);
    EXPECT_EQ(48, rect.bottom);
    EXPECT_FALSE(lister->getItemRect(4, rect));
}

bool measureNothing(void*, afControlLister*, int, bool, afCanvas*, int& width, int& height) {
    width = 0;
    height = 0;
    return true;
}

TEST_F(ListerTest, AZeroRowHeightFindsNoRow) {
    // An empty list measured by its owner has a row height of 0; a click once divided by it.
    lister->measureItemCallback.set(nullptr, &measureNothing);
    lister->setCount(0, true);
    EXPECT_EQ(0, lister->getRowHeight());
    EXPECT_EQ(-1, lister->itemAtY(10));
    afEvent click = makeEvent(lister->getHandle(), WM_LBUTTONDOWN, 1, 10, 10);
    EXPECT_TRUE(lister->onMouseDown(&click));
    EXPECT_TRUE(selected.empty());
}

bool measureRows(void* self, afControlLister*, int index, bool, afCanvas*, int& width, int& height) {
    ++*static_cast<int*>(self);
    width = 50 + index;
    height = 20;
    return true;
}

TEST_F(ListerTest, RowModesSizeTheList) {
    int measured = 0;
    lister->measureItemCallback.set(&measured, &measureRows);
    lister->setMeasureWidths();
    lister->setRows(10, afControlLister::ROWS_AT_MOST);
    lister->setCount(3, true);
    EXPECT_EQ(3, measured);
    EXPECT_EQ(3, lister->getVisibleRows());
    EXPECT_EQ(20, lister->getRowHeight());
    EXPECT_EQ(50 + 32, lister->getRowWidth()); // grows only past the stored width with its margin
    lister->measure(0, 0);
    EXPECT_EQ(60, lister->getMeasuredHeight());
    EXPECT_EQ(82, lister->getMeasuredWidth());
    lister->setRows(4, afControlLister::ROWS_EXACTLY);
    EXPECT_EQ(4, lister->getVisibleRows());
    lister->measure(0, afMeasureSpec::make(afMeasureSpec::AT_MOST, 50));
    EXPECT_EQ(50, lister->getMeasuredHeight());
}

TEST_F(ListerTest, PassiveListsTakeNoFocusAndNoKeys) {
    ShowWindow(host.getHandle(), SW_SHOWNOACTIVATE);
    SetFocus(host.getHandle());
    lister->setCount(10, false);
    lister->setPassive(true);
    EXPECT_FALSE(GetWindowLongW(lister->getHandle(), GWL_STYLE) & WS_TABSTOP);
    afEvent click = makeEvent(lister->getHandle(), WM_LBUTTONDOWN, 1, 10, 20);
    lister->onMouseDown(&click);
    EXPECT_EQ(1, lister->getSelection());
    EXPECT_EQ(host.getHandle(), GetFocus());
    afEvent down = makeEvent(lister->getHandle(), WM_KEYDOWN, VK_DOWN);
    EXPECT_FALSE(lister->onKeyDown(&down));
    EXPECT_TRUE(lister->handleKey(VK_DOWN)); // the owner's road always acts
    EXPECT_EQ(2, lister->getSelection());
    COLORREF text, secondary;
    lister->getItemColors(true, text, secondary);
    if (!lister->getTheme()) { // looks focused although it is not
        EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHTTEXT), text);
    }
    lister->setPassive(false);
    EXPECT_TRUE(GetWindowLongW(lister->getHandle(), GWL_STYLE) & WS_TABSTOP);
}

struct Painted {
    std::vector<int> rows;
    static void draw(void* self, afControlLister*, int index, bool, afCanvas*, const afRect&, bool) {
        static_cast<Painted*>(self)->rows.push_back(index);
    }
};

TEST_F(ListerTest, PaintingDrawsTheVisibleRowsOrTheEmptyText) {
    Painted painted;
    lister->drawItemCallback.set(&painted, &Painted::draw);
    lister->setEmptyText(L"Nothing here");
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 200);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(lister->getHandle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    EXPECT_TRUE(painted.rows.empty());
    lister->setCount(1000000, false);
    lister->scrollToRow(500);
    SendMessageW(lister->getHandle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    std::vector<int> expected;
    for (int row = 500; row < 510; ++row)
        expected.push_back(row);
    EXPECT_EQ(expected, painted.rows);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

} // namespace
