#include "corvel/workspace/BundleEditorDisabledItemsWindow.h"

#include "BundleItemsFixture.h"
#include "corvel/ui/afEvent.h"
#include "corvel/widgets/afControlLister.h"
#include "corvel/widgets/afMenu.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using corvel::BundleEditorDisabledItemsWindow;
using corvel::DisabledEntryRecord;

namespace {

typedef workspacetest::MenuAnswered<BundleEditorDisabledItemsWindow> DisabledWindow;

class DisabledItemsWindowTest : public workspacetest::BundleItemsFixture {
protected:
    void TearDown() override {
        closeView(window);
        BundleItemsFixture::TearDown();
    }
    DisabledWindow* open() {
        window = new DisabledWindow(&host, m_manager.get());
        window->afViewPlatform::create();
        window->setFrameRect(0, 0, 300, 400);
        window->setVisible(true);
        return window;
    }
    // A right click on the row, as the lister reports it.
    void rightClick(int row) {
        corvel::afControlLister* lister = window->getLister();
        MSG message{};
        message.hwnd = lister->getHandle();
        message.message = WM_RBUTTONDOWN;
        message.lParam = MAKELPARAM(10, row * lister->getRowHeight() + 2);
        corvel::afEvent event(message, 2);
        lister->contextMenuCallback.function(lister->contextMenuCallback.object, lister, row, &event);
    }

    DisabledWindow* window = nullptr; // owned by the host
};

struct DetailCase {
    uint32_t type;
    int32_t children;
    const wchar_t* bundle;
    const wchar_t* detail;
};

const DetailCase DETAIL_CASES[] = {
    {corvel::BUNDLE_TYPE_ID, 3, L"", L"Count of items: 3"},
    {corvel::BUNDLE_TYPE_ID, 0, L"", L"Count of items: 0"},
    {corvel::SNIPPET_TYPE_ID, 0, L"Web", L"Bundle: Web"},
    {corvel::THEME_TYPE_ID, 0, L"", L"Bundle: "},
};

struct HeightCase {
    LONG height;
    LONG leading;
    int row;
};

// Two lines of max(height + leading, 16), and 6.
const HeightCase HEIGHT_CASES[] = {{13, 0, 38}, {15, 1, 38}, {16, 1, 40}, {20, 2, 50}};

} // namespace

TEST(DisabledItemRows, SecondLineAndHeight) {
    for (const DetailCase& row : DETAIL_CASES) {
        DisabledEntryRecord record;
        record.typeId = row.type;
        record.childrenCount = row.children;
        record.bundleTitle = row.bundle;
        EXPECT_EQ(row.detail, BundleEditorDisabledItemsWindow::detailOf(record));
    }
    for (const HeightCase& row : HEIGHT_CASES) {
        TEXTMETRICW metrics{};
        metrics.tmHeight = row.height;
        metrics.tmExternalLeading = row.leading;
        EXPECT_EQ(row.row, BundleEditorDisabledItemsWindow::rowHeight(metrics)) << row.height << "+" << row.leading;
    }
}

TEST_F(DisabledItemsWindowTest, ListsDisabledEntriesAndEnablesThemAgain) {
    // A first load reads the disabled entries of the settings (none): later loads keep the list.
    ASSERT_TRUE(loadAndWait());
    corvel::Bundle* web = addBundle(L"Web", 1);
    addItem(web, corvel::SNIPPET_TYPE_ID, L"Table", 2);
    addItem(web, corvel::SNIPPET_TYPE_ID, L"Row", 3);
    open();
    corvel::afControlLister* lister = window->getLister();
    EXPECT_EQ(0, lister->getCount());
    EXPECT_EQ(L"There are no disabled items.", lister->getEmptyText());
    ASSERT_TRUE(m_manager->disableEntry(uuid(2)));
    ASSERT_EQ(1, lister->getCount());
    EXPECT_EQ(L"Table", window->getRecords()[0].title);
    EXPECT_EQ(L"Web", window->getRecords()[0].bundleTitle);
    ASSERT_TRUE(m_manager->disableEntry(uuid(1)));
    ASSERT_EQ(2, lister->getCount());
    EXPECT_EQ(L"Web", window->getRecords()[0].title);
    EXPECT_EQ(1, window->getRecords()[0].childrenCount);
    // The rows are as tall as two lines of the lister's font.
    EXPECT_GE(lister->getRowHeight(), 2 * 16 + 6);
    UpdateWindow(lister->getHandle()); // painting the rows must not fail
    // Closed without a choice: still disabled.
    rightClick(0);
    EXPECT_EQ(std::vector<std::wstring>{L"&Enable"}, window->shown);
    EXPECT_EQ(2, lister->getCount());
    // Enabling reloads the bundles (from the empty folders here); the list follows.
    window->choose = L"&Enable";
    rightClick(0);
    EXPECT_FALSE(m_manager->isDisabled(uuid(1)));
    ASSERT_EQ(1, lister->getCount());
    EXPECT_EQ(L"Table", window->getRecords()[0].title);
    EXPECT_TRUE(m_window.pumpUntil([&] { return !m_manager->isLoading(); }));
    rightClick(0);
    EXPECT_FALSE(m_manager->isDisabled(uuid(2)));
    EXPECT_EQ(0, lister->getCount());
    EXPECT_TRUE(lister->isEmpty());
    // Below the rows: no menu.
    window->shown.clear();
    rightClick(-1);
    EXPECT_TRUE(window->shown.empty());
    EXPECT_TRUE(m_window.pumpUntil([&] { return !m_manager->isLoading(); }));
}
