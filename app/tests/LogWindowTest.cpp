#include "corvel/app/LogWindow.h"

#include "../../ui_framework/core/tests/support/TestWidgets.h"
#include "zem/thread/MessageRegistry.h"
#include "zem/thread/Thread.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <memory>
#include <string>
#include <vector>

using corvel::LogWindow;

namespace {

// A log window in a host window whose handle the message registry is bound to, as the
// main window carries both.
class LogWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        uitest::WithResources resources;
        host.create();
        ASSERT_NE(nullptr, host.getHandle()) << "windows need a display (run under Xvfb)";
        registry = std::make_unique<zem::MessageRegistry>();
        registry->init(host.getHandle());
        source = zem::LogManager_Impl::instance().registerSource(L"LogWindowTest");
    }
    void TearDown() override {
        DestroyWindow(host.getHandle());
        if (registry->isActive())
            registry->shutdown();
        registry.reset();
    }

    void makeWindow() { window = LogWindow::create(&host); }
    HWND list() const { return window->getList()->getHandle(); }

    // The rows of this test's source, top first: other parts of the program log too.
    std::vector<std::wstring> ownRows() const {
        std::vector<std::wstring> rows;
        corvel::afControlListView* view = window->getList();
        for (int row = 0; row < view->getItemCount(); ++row) {
            if (view->getItemText(row, 1) == L"LogWindowTest")
                rows.push_back(view->getItemText(row, 0));
        }
        return rows;
    }
    bool pumpUntilRows(size_t count) {
        return uitest::pumpUntil([&] { return ownRows().size() >= count; });
    }
    // Logs a marker line at INFO and waits for it, so that everything logged before
    // it has been delivered too.
    void settle() {
        size_t before = ownRows().size();
        zem::logMessage(zem::LOG_INFO, source, L"settled");
        ASSERT_TRUE(pumpUntilRows(before + 1));
    }
    int imageOfRow(int row) const {
        LVITEMW item{};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        SendMessageW(list(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return item.iImage;
    }

    uitest::TestWidget host{nullptr, false};
    std::unique_ptr<zem::MessageRegistry> registry;
    LogWindow* window = nullptr; // owned by the host
    uint32_t source = 0;
};

struct LevelCase {
    int level;
    int standardIcon; // -1: no row
};

::testing::AssertionResult showsAs(const LevelCase& c, const std::vector<std::wstring>& rows, int topImage) {
    bool shown = !rows.empty() && rows[0] == L"level line";
    if (c.standardIcon < 0) {
        if (!shown)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "level " << c.level << " was shown";
    }
    if (!shown)
        return ::testing::AssertionFailure() << "level " << c.level << " was not shown";
    // The image list holds the standard icons 15 to 19 in that order.
    if (topImage != c.standardIcon - 15)
        return ::testing::AssertionFailure()
               << "level " << c.level << " shows image " << topImage << ", expected " << c.standardIcon - 15;
    return ::testing::AssertionSuccess();
}

} // namespace

TEST_F(LogWindowTest, MakesAFullRowReportOfTwoColumnsWithTheFiveLevelIcons) {
    makeWindow();
    ASSERT_NE(nullptr, window->getList());
    DWORD extended = static_cast<DWORD>(SendMessageW(list(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    EXPECT_TRUE(extended & LVS_EX_FULLROWSELECT);
    EXPECT_TRUE(GetWindowLongW(list(), GWL_STYLE) & WS_VISIBLE);
    HWND header = reinterpret_cast<HWND>(SendMessageW(list(), LVM_GETHEADER, 0, 0));
    ASSERT_EQ(2, SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    const struct {
        const wchar_t* title;
        int width;
    } columns[] = {{L"Message", 300}, {L"Channel", 100}};
    for (int i = 0; i < 2; ++i) {
        wchar_t text[32] = {};
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = text;
        column.cchTextMax = 32;
        ASSERT_TRUE(SendMessageW(list(), LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column)));
        EXPECT_STREQ(columns[i].title, text);
        EXPECT_EQ(columns[i].width, column.cx);
    }
    HIMAGELIST icons = reinterpret_cast<HIMAGELIST>(SendMessageW(list(), LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    ASSERT_NE(nullptr, icons);
    EXPECT_EQ(5, ImageList_GetImageCount(icons));
    int cx = 0, cy = 0;
    ImageList_GetIconSize(icons, &cx, &cy);
    EXPECT_EQ(16, cx);
    EXPECT_EQ(16, cy);
}

TEST_F(LogWindowTest, TheListFillsTheWindow) {
    makeWindow();
    window->setFrame(corvel::afRect(0, 0, 420, 180));
    window->markLayoutNeeded();
    window->measure(corvel::afMeasureSpec::make(corvel::afMeasureSpec::EXACTLY, 420),
                    corvel::afMeasureSpec::make(corvel::afMeasureSpec::EXACTLY, 180));
    window->layout();
    RECT outer, inner;
    GetClientRect(window->getHandle(), &outer);
    GetWindowRect(list(), &inner);
    EXPECT_EQ(outer.right - outer.left, inner.right - inner.left);
    EXPECT_EQ(outer.bottom - outer.top, inner.bottom - inner.top);
}

TEST_F(LogWindowTest, ShowsOnlyLinesLoggedAfterItsCreationNewestFirstWithTheirSource) {
    zem::logMessage(zem::LOG_WARNING, source, L"before the window");
    makeWindow();
    zem::logMessage(zem::LOG_INFO, source, L"first");
    zem::logMessage(zem::LOG_INFO, source, L"second");
    zem::logMessage(zem::LOG_ERROR, source, L"third\n");
    ASSERT_TRUE(pumpUntilRows(3));
    settle();
    std::vector<std::wstring> expected = {L"settled", L"third", L"second", L"first"};
    EXPECT_EQ(expected, ownRows());
}

TEST_F(LogWindowTest, HidesDebugLinesAndShowsTheIconOfEachLevel) {
    makeWindow();
    const LevelCase cases[] = {
        {zem::LOG_DEBUG, -1}, {zem::LOG_INFO, 17},     {zem::LOG_WARNING, 19},
        {zem::LOG_ERROR, 16}, {zem::LOG_CRITICAL, 16}, {7, 15},
    };
    for (const LevelCase& c : cases) {
        zem::logMessage(c.level, source, L"level line");
        settle();
        // The marker sits on top; the level's row, when shown, just under it.
        std::vector<std::wstring> rows = ownRows();
        rows.erase(rows.begin());
        EXPECT_TRUE(showsAs(c, rows, imageOfRow(1)));
        window->getList()->clearItems();
    }
}

namespace {

struct Burst {
    uint32_t source;
    static void run(void* self) {
        for (int i = 0; i < 40; ++i)
            zem::logMessage(zem::LOG_INFO, static_cast<Burst*>(self)->source, L"line %02d", i);
    }
};

} // namespace

TEST_F(LogWindowTest, KeepsTheOrderOfLinesLoggedOnAnotherThread) {
    makeWindow();
    Burst burst{source};
    zem::Thread worker(L"LogWindowBurst");
    worker.start(&Burst::run, &burst);
    worker.join();
    ASSERT_TRUE(pumpUntilRows(40));
    std::vector<std::wstring> rows = ownRows();
    ASSERT_EQ(40u, rows.size());
    for (int i = 0; i < 40; ++i) {
        wchar_t expected[16];
        swprintf(expected, 16, L"line %02d", 39 - i);
        EXPECT_EQ(expected, rows[i]);
    }
}

TEST_F(LogWindowTest, LeavesTheLogWhenItsWindowIsDestroyed) {
    makeWindow();
    DestroyWindow(window->getHandle());
    // Subscribed no longer: removing it again finds nothing.
    EXPECT_FALSE(zem::LogManager_Impl::instance().removeListener(window));
}
