#include "WidgetHost.h"
#include "corvel/widgets/afControlComboBox.h"
#include "corvel/widgets/afControlEdit.h"
#include "corvel/widgets/afControlListView.h"
#include "corvel/widgets/afControlProgressBar.h"
#include "zem/base/Exception.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <utility>
#include <vector>

using namespace corvel;
using widgetstest::HostWindow;
using widgetstest::makeEvent;

namespace {

DWORD styleOf(afViewPlatform* view) {
    return static_cast<DWORD>(GetWindowLongW(view->getHandle(), GWL_STYLE));
}

TEST(ListViewTest, RowsGoOnTopAndColumnsAtTheEnd) {
    HostWindow host;
    afControlListView* list = afControlListView::create(&host);
    ASSERT_TRUE(list);
    EXPECT_STREQ(L"ui.grid", list->getTypeName());
    EXPECT_EQ(DWORD(WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT), styleOf(list) & 0xFFFF00FF);
    list->addColumn(L"Time", 80);
    list->addColumn(L"Message", 200);
    HWND header = reinterpret_cast<HWND>(SendMessageW(list->getHandle(), LVM_GETHEADER, 0, 0));
    EXPECT_EQ(2, SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    for (const wchar_t* text : {L"first", L"second", L"third"}) {
        EXPECT_EQ(0, list->insertItem(text));
        list->setItemText(std::wstring(text) + L" message");
    }
    EXPECT_EQ(3, list->getItemCount());
    EXPECT_EQ(L"third", list->getItemText(0, 0));
    EXPECT_EQ(L"third message", list->getItemText(0, 1));
    EXPECT_EQ(L"first message", list->getItemText(2, 1));
    list->setFullRowSelect();
    EXPECT_TRUE(SendMessageW(list->getHandle(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT);
    list->clearItems();
    EXPECT_EQ(0, list->getItemCount());
    EXPECT_EQ(nullptr, afControlListView::create(nullptr));
}

TEST(ListViewTest, ARefusedInsertThrows) {
    HostWindow host;
    afControlListView unmade(&host);
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            attempt == 0 ? (void)unmade.insertItem(L"row") : unmade.setItemText(L"text");
            ADD_FAILURE() << "no exception";
        } catch (const zem::RuntimeException& e) {
            EXPECT_EQ(L"Unable to add item to the list.", e.message());
        }
    }
}

struct ComboEvents {
    int selections = 0;
    std::vector<std::pair<int, int>> removed;
    static void onSelection(void* self, afControlComboBox*) { ++static_cast<ComboEvents*>(self)->selections; }
    static void onRemoved(void* self, afControlComboBox*, int index, int key) {
        static_cast<ComboEvents*>(self)->removed.emplace_back(index, key);
    }
};

TEST(ComboBoxTest, ItemsCarryRecordsAndAreRemovedLastFirst) {
    HostWindow host;
    afControlComboBox* combo = afControlComboBox::create(&host);
    afViewPlatform::Seed seed;
    combo->buildSeed(seed);
    EXPECT_EQ(DWORD(0x50210002), seed.style);
    ASSERT_TRUE(combo->getEditView());
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(combo->getHandle(), CBEM_GETEDITCONTROL, 0, 0)),
              combo->getEditView()->getHandle());
    // An item without a record, as another writer of the control may add it.
    COMBOBOXEXITEMW bare{};
    bare.mask = CBEIF_TEXT;
    bare.iItem = 0;
    bare.pszText = const_cast<wchar_t*>(L"bare");
    SendMessageW(combo->getHandle(), CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&bare));
    combo->addItem(L"Seven", -1, 7);
    combo->addItem(L"Zero", 2, 0);
    EXPECT_EQ(3, combo->getCount());
    EXPECT_EQ(0, combo->findItemByData(0)); // the bare item has key 0
    EXPECT_EQ(1, combo->findItemByData(7));
    EXPECT_EQ(-1, combo->findItemByData(9));
    EXPECT_EQ(nullptr, combo->getItemData(0));
    ASSERT_TRUE(combo->getItemData(2));
    EXPECT_EQ(2, combo->getItemData(2)->image);
    EXPECT_EQ(-4, combo->getItemKey(0, -4));
    EXPECT_EQ(nullptr, combo->getItemData(-1));
    std::wstring text;
    EXPECT_TRUE(combo->getItemText(1, text));
    EXPECT_EQ(L"Seven", text);
    EXPECT_FALSE(combo->getItemText(-1, text));
    EXPECT_TRUE(combo->selectText(L"Zero"));
    EXPECT_EQ(2, combo->getSelection());
    EXPECT_FALSE(combo->selectText(L"Zer"));

    ComboEvents events;
    combo->selectionCallback.set(&events, &ComboEvents::onSelection);
    combo->itemRemovedCallback.set(&events, &ComboEvents::onRemoved);
    SendMessageW(host.getHandle(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo->getHandle()));
    EXPECT_EQ(1, events.selections);
    combo->clear();
    EXPECT_EQ((std::vector<std::pair<int, int>>{{2, 0}, {1, 7}, {0, 0}}), events.removed);
    EXPECT_EQ(0, combo->getCount());
}

TEST(ComboBoxTest, AListOnlyComboHasNoEdit) {
    HostWindow host;
    afControlComboBox* combo = afControlComboBox::create(&host, true);
    afViewPlatform::Seed seed;
    combo->buildSeed(seed);
    EXPECT_EQ(DWORD(0x50210003), seed.style);
    EXPECT_EQ(nullptr, combo->getEditView());
    combo->addItem(L"only", -1, 1);
    EXPECT_EQ(1, combo->getCount());
    EXPECT_EQ(nullptr, afControlComboBox::create(nullptr));
}

TEST(ProgressBarTest, StylesSwitchBetweenMarqueeAndDeterminate) {
    HostWindow host;
    afControlProgressBar* bar = afControlProgressBar::create(&host);
    EXPECT_EQ(DWORD(0x50000009), styleOf(bar));
    PBRANGE range{};
    SendMessageW(bar->getHandle(), PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(0, range.iLow);
    EXPECT_EQ(100, range.iHigh);
    bar->setStyle(afControlProgressBar::STYLE_DETERMINATE);
    EXPECT_EQ(DWORD(PBS_SMOOTH), styleOf(bar) & (PBS_SMOOTH | PBS_MARQUEE));
    bar->setRange(10, 20);
    bar->setPosition(15);
    EXPECT_EQ(15, SendMessageW(bar->getHandle(), PBM_GETPOS, 0, 0));
    bar->setStyle(afControlProgressBar::STYLE_MARQUEE);
    EXPECT_EQ(DWORD(PBS_MARQUEE), styleOf(bar) & (PBS_SMOOTH | PBS_MARQUEE));
    EXPECT_EQ(nullptr, afControlProgressBar::create(nullptr));
}

struct EditFixture : ::testing::Test {
    void SetUp() override {
        ShowWindow(host.getHandle(), SW_SHOWNOACTIVATE);
        edit = afControlEdit::create(&host);
        SetWindowPos(edit->getHandle(), nullptr, 0, 0, 200, 40, SWP_NOZORDER | SWP_NOACTIVATE);
        edit->changeListeners().add(&EditFixture::onChange, this);
    }
    static void onChange(void* self, afControlEdit*) { ++static_cast<EditFixture*>(self)->changes; }
    static bool refuseNothing(void* self, afControlEdit*, afEvent*) {
        ++static_cast<EditFixture*>(self)->keysSeen;
        return false;
    }
    static bool claimAll(void*, afControlEdit*, afEvent*) { return true; }
    bool ctrlA() {
        afEvent event = makeEvent(edit->getHandle(), WM_KEYDOWN, 'A', 0, 0, 1);
        return edit->onKeyDown(&event);
    }

    HostWindow host;
    afControlEdit* edit = nullptr;
    int changes = 0;
    int keysSeen = 0;
};

TEST_F(EditFixture, CtrlASelectsAllUnlessTheKeyCallbackClaimsIt) {
    EXPECT_EQ(DWORD(0x50010084), styleOf(edit));
    EXPECT_TRUE(GetWindowLongW(edit->getHandle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(0x89, SendMessageW(edit->getHandle(), WM_GETDLGCODE, 0, 0));
    SendMessageW(edit->getHandle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L"hello"));
    EXPECT_EQ(1, changes);
    edit->setSelection(1, 1);
    int start = 0, end = 0;
    EXPECT_FALSE(edit->getSelection(start, end));
    edit->keyCallback.set(this, &EditFixture::refuseNothing);
    EXPECT_TRUE(ctrlA());
    EXPECT_EQ(1, keysSeen);
    EXPECT_TRUE(edit->getSelection(start, end));
    EXPECT_EQ(0, start);
    EXPECT_EQ(5, end);
    edit->setSelection(2, 2);
    edit->keyCallback.set(nullptr, &EditFixture::claimAll);
    EXPECT_TRUE(ctrlA());
    EXPECT_FALSE(edit->getSelection(start, end)); // claimed: nothing selected
    afEvent plain = makeEvent(edit->getHandle(), WM_KEYDOWN, 'A');
    edit->keyCallback.set(this, &EditFixture::refuseNothing);
    EXPECT_FALSE(edit->onKeyDown(&plain));
}

TEST_F(EditFixture, TheTextLineIsCentredInsideThePadding) {
    RECT line{};
    SendMessageW(edit->getHandle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&line));
    RECT client;
    GetClientRect(edit->getHandle(), &client);
    int height = edit->getLineHeight();
    EXPECT_GE(line.left, 4); // the padding, and the control's own margin
    EXPECT_EQ(height, line.bottom - line.top);
    EXPECT_NEAR((client.bottom - line.bottom) - line.top, 0, 1);
    edit->measure(0, 0);
    EXPECT_EQ(4 + 6, edit->getMeasuredWidth());
    EXPECT_EQ(height + 4 + 6, edit->getMeasuredHeight());
    edit->limitToThree();
    SendMessageW(edit->getHandle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L"abcdef"));
    EXPECT_EQ(3, GetWindowTextLengthW(edit->getHandle()));
    EXPECT_EQ(nullptr, afControlEdit::create(nullptr));
}

// Whether any pixel of the edit's right third differs from the window colour.
bool rightSideInked(HWND hwnd) {
    RECT client;
    GetClientRect(hwnd, &client);
    HDC dc = GetDC(hwnd);
    COLORREF background = GetSysColor(COLOR_WINDOW);
    bool inked = false;
    for (int x = client.right * 2 / 3; x < client.right - 2 && !inked; ++x) {
        for (int y = 2; y < client.bottom - 2 && !inked; ++y)
            inked = GetPixel(dc, x, y) != background;
    }
    ReleaseDC(hwnd, dc);
    return inked;
}

TEST_F(EditFixture, TheCueTextShowsAtTheRightWhileEmpty) {
    edit->setCueText(L"Search");
    EXPECT_TRUE(rightSideInked(edit->getHandle()));
    SendMessageW(edit->getHandle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L"x"));
    UpdateWindow(edit->getHandle());
    EXPECT_FALSE(rightSideInked(edit->getHandle()));
}

} // namespace
