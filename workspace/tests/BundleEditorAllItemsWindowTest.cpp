#include "corvel/workspace/BundleEditorAllItemsWindow.h"

#include "BundleItemsFixture.h"
#include "corvel/config/ValidationError.h"
#include "corvel/widgets/afControlTree.h"
#include "corvel/widgets/afMenu.h"
#include "corvel/workspace/BundleEditorTags.h"
#include "corvel/workspace/BundleEntryEditorState.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using corvel::Bundle;
using corvel::BundleEntry;
using corvel::BundleItem;
using corvel::afControlTreeItem;

namespace {

typedef workspacetest::MenuAnswered<corvel::BundleEditorAllItemsWindow> ItemsWindow;

class AllItemsWindowTest : public workspacetest::BundleItemsFixture {
protected:
    void TearDown() override {
        closeView(window);
        window = nullptr;
        BundleItemsFixture::TearDown();
    }

    ItemsWindow* open() {
        window = new ItemsWindow(&host, m_manager.get());
        window->afViewPlatform::create();
        window->setVisible(true);
        // Laid out as in its sidebar tab: the tree fills the window.
        window->setFrame(corvel::afRect(0, 0, 300, 400));
        window->markLayoutNeeded();
        window->measure(corvel::afMeasureSpec::make(corvel::afMeasureSpec::EXACTLY, 300),
                        corvel::afMeasureSpec::make(corvel::afMeasureSpec::EXACTLY, 400));
        window->layout();
        window->entryActivated.add(
            [](void* self, corvel::BundleEditorAllItemsWindow*, BundleEntry* entry) {
                static_cast<AllItemsWindowTest*>(self)->activated.push_back(entry);
            },
            this);
        return window;
    }
    corvel::afControlTree* tree() const { return window->getTree(); }

    // Every row in order, an item's text indented under its bundle's.
    std::vector<std::wstring> rows() const {
        std::vector<std::wstring> out;
        for (afControlTreeItem* root = tree()->getFirstItem(); root; root = root->getNextSibling()) {
            out.push_back(tree()->getItemText(root));
            for (afControlTreeItem* child = root->getFirstChild(); child; child = child->getNextSibling())
                out.push_back(L"  " + tree()->getItemText(child));
        }
        return out;
    }
    ::testing::AssertionResult rowsAre(const std::vector<std::wstring>& expected) const {
        std::vector<std::wstring> actual = rows();
        if (actual == expected)
            return ::testing::AssertionSuccess();
        std::wstring text;
        for (const std::wstring& row : actual)
            text += L"[" + row + L"] ";
        return ::testing::AssertionFailure() << "rows: " << std::string(text.begin(), text.end());
    }
    bool isBold(const BundleEntry* entry) const {
        afControlTreeItem* row = window->rowOf(entry);
        return row && (SendMessageW(tree()->getHandle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(row->getHandle()),
                                    TVIS_BOLD) &
                       TVIS_BOLD) != 0;
    }
    bool hasWarning(const BundleEntry* entry) const {
        afControlTreeItem* row = window->rowOf(entry);
        return row && row->getIcons() && row->getIcons()->size() == 1 &&
               row->getIcons()->front() == corvel::afResources::find(WARNING_ICON_ID)->getHandle();
    }
    int imageOf(const BundleEntry* entry) const {
        TVITEMW item{};
        item.mask = TVIF_HANDLE | TVIF_IMAGE;
        item.hItem = window->rowOf(entry)->getHandle();
        SendMessageW(tree()->getHandle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return item.iImage;
    }
    void doubleClick(const BundleEntry* entry) {
        RECT rect{};
        HTREEITEM handle = window->rowOf(entry)->getHandle();
        std::memcpy(&rect, &handle, sizeof(HTREEITEM)); // the item travels in the rectangle
        SendMessageW(tree()->getHandle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
        SendMessageW(tree()->getHandle(), WM_LBUTTONDBLCLK, MK_LBUTTON,
                     MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2));
    }
    void rightClick(const BundleEntry* entry) {
        tree()->onContextMenu.function(tree()->onContextMenu.object, tree(), window->rowOf(entry), 0, 0);
    }

    ItemsWindow* window = nullptr; // owned by the host
    std::vector<BundleEntry*> activated;
};

struct Row {
    uint32_t type; // BUNDLE_TYPE_ID starts a new bundle
    const wchar_t* title;
};

struct SortCase {
    const char* name;
    std::vector<Row> added;
    std::vector<std::wstring> shown;
};

const uint32_t BUNDLE = corvel::BUNDLE_TYPE_ID;
const uint32_t GRAMMAR = corvel::LANGUAGE_TYPE_ID;
const uint32_t THEME = corvel::THEME_TYPE_ID;
const uint32_t SNIPPET = corvel::SNIPPET_TYPE_ID;
const uint32_t PREFERENCES = corvel::SCOPE_PREFERENCES_TYPE_ID;

const SortCase SORT_CASES[] = {
    {"bundles by title ignoring case", {{BUNDLE, L"b"}, {BUNDLE, L"A"}, {BUNDLE, L"c"}}, {L"A", L"b", L"c"}},
    {"items grouped by kind in rank order, each group by title",
     {{BUNDLE, L"Web"},
      {SNIPPET, L"table"},
      {PREFERENCES, L"Pairs"},
      {THEME, L"Night"},
      {SNIPPET, L"Anchor"},
      {GRAMMAR, L"HTML"},
      {THEME, L"day"}},
     {L"Web", L"  HTML", L"  day", L"  Night", L"  Anchor", L"  table", L"  Pairs"}},
    {"items stay under their own bundles",
     {{BUNDLE, L"Zeta"}, {SNIPPET, L"z1"}, {BUNDLE, L"alpha"}, {SNIPPET, L"b"}, {GRAMMAR, L"a"}},
     {L"alpha", L"  a", L"  b", L"Zeta", L"  z1"}},
    {"untitled items show their display title and sort first",
     {{BUNDLE, L"Web"}, {SNIPPET, L"Anchor"}, {SNIPPET, L""}},
     {L"Web", L"  <unset>", L"  Anchor"}},
};

} // namespace

TEST_F(AllItemsWindowTest, SortsRowsWhetherFilledAtOnceOrFollowed) {
    for (bool openFirst : {false, true}) {
        for (const SortCase& sortCase : SORT_CASES) {
            SCOPED_TRACE(std::string(sortCase.name) + (openFirst ? ", followed" : ", filled"));
            if (openFirst)
                open();
            Bundle* bundle = nullptr;
            int n = 10;
            for (const Row& row : sortCase.added) {
                if (row.type == BUNDLE)
                    bundle = addBundle(row.title, ++n);
                else
                    addItem(bundle, row.type, row.title, ++n);
            }
            if (!openFirst)
                open();
            EXPECT_TRUE(rowsAre(sortCase.shown));
            // Going away empties the tree and shows its text again.
            m_manager->reset();
            EXPECT_TRUE(rows().empty());
            EXPECT_TRUE(tree()->isEmpty());
            EXPECT_EQ(L"Bundles are loading...", tree()->getEmptyText());
            closeView(window);
            window = nullptr;
        }
    }
}

TEST_F(AllItemsWindowTest, FollowsAdditionsRemovalsAndRetitles) {
    Bundle* web = addBundle(L"Web", 1);
    BundleItem* table = addItem(web, SNIPPET, L"Table", 2);
    open();
    Bundle* css = addBundle(L"CSS", 3);
    BundleItem* rule = addItem(css, SNIPPET, L"Rule", 4);
    EXPECT_TRUE(rowsAre({L"CSS", L"  Rule", L"Web", L"  Table"}));
    // A retitle arrives through the entry's update bracket.
    table->beginUpdate();
    table->setTitle(L"Anchor");
    table->endUpdate();
    EXPECT_TRUE(rowsAre({L"CSS", L"  Rule", L"Web", L"  Anchor"}));
    m_manager->removeEntry(table);
    EXPECT_TRUE(rowsAre({L"CSS", L"  Rule", L"Web"}));
    EXPECT_EQ(nullptr, window->rowOf(table));
    // A bundle takes its items' rows with it.
    m_manager->removeEntry(css);
    EXPECT_TRUE(rowsAre({L"Web"}));
    EXPECT_EQ(nullptr, window->rowOf(rule));
    EXPECT_EQ(1, tree()->getItemCount());
}

TEST_F(AllItemsWindowTest, BoldWhileTheEntryOrItsEditingStateIsModified) {
    Bundle* web = addBundle(L"Web", 1);
    BundleItem* table = addItem(web, SNIPPET, L"Table", 2);
    open();
    EXPECT_FALSE(isBold(table));
    table->setModified();
    EXPECT_TRUE(isBold(table));
    table->clearModified();
    EXPECT_FALSE(isBold(table));
    // Unsaved edits in the bundle editor count too, once it says the entry changed.
    corvel::BundleEntryEditorState state(table);
    table->setTag(corvel::EDITING_RECORD_TAG, &state);
    state.setModified(true);
    window->updateEntry(table);
    EXPECT_TRUE(isBold(table));
    EXPECT_FALSE(isBold(web));
    state.setModified(false);
    window->updateEntry(table);
    EXPECT_FALSE(isBold(table));
    table->removeTag(corvel::EDITING_RECORD_TAG);
}

TEST_F(AllItemsWindowTest, WarnsOfEntriesWithErrorsAndShowsOnlyRegisteredIcons) {
    Bundle* web = addBundle(L"Web", 1);
    BundleItem* table = addItem(web, SNIPPET, L"Table", 2);
    table->getErrors().add(new corvel::ValidationError(corvel::ValidationError::ERROR_SEVERITY));
    BundleItem* night = addItem(web, THEME, L"Night", 3);
    night->getErrors().add(new corvel::ValidationError(corvel::ValidationError::WARNING_SEVERITY));
    open();
    EXPECT_TRUE(hasWarning(table));
    EXPECT_FALSE(hasWarning(night)); // a warning is no error
    EXPECT_FALSE(hasWarning(web));
    table->clearErrors();
    window->updateEntry(table);
    EXPECT_FALSE(hasWarning(table));
    // Kinds with a registered icon share one image each; no icon was registered for themes.
    EXPECT_GE(imageOf(web), 0);
    EXPECT_GE(imageOf(table), 0);
    EXPECT_NE(imageOf(web), imageOf(table));
    EXPECT_EQ(I_IMAGENONE, imageOf(night));
    EXPECT_EQ(2, ImageList_GetImageCount(TreeView_GetImageList(tree()->getHandle(), TVSIL_NORMAL)));
}

TEST_F(AllItemsWindowTest, SelectedBundleAndSelectingEntries) {
    open();
    EXPECT_EQ(nullptr, window->getSelectedBundle());
    Bundle* web = addBundle(L"Web", 1);
    BundleItem* table = addItem(web, SNIPPET, L"Table", 2);
    Bundle* css = addBundle(L"CSS", 3);
    // Nothing selected: the first bundle shown.
    tree()->selectItem(nullptr);
    EXPECT_EQ(css, window->getSelectedBundle());
    window->selectEntry(table);
    EXPECT_EQ(window->rowOf(table), tree()->getSelectedItem());
    EXPECT_EQ(web, window->getSelectedBundle());
    window->selectEntry(css);
    EXPECT_EQ(css, window->getSelectedBundle());
    // Null and entries without a row change nothing.
    window->selectEntry(nullptr);
    BundleEntry* loose = m_manager->createEntry(SNIPPET, uuid(9));
    window->selectEntry(loose);
    loose->release();
    EXPECT_EQ(css, window->getSelectedBundle());
}

TEST_F(AllItemsWindowTest, ADoubleClickAsksToOpenTheEntry) {
    Bundle* web = addBundle(L"Web", 1);
    BundleItem* table = addItem(web, SNIPPET, L"Table", 2);
    open();
    tree()->expandItem(window->rowOf(web), true);
    doubleClick(table);
    ASSERT_EQ(1u, activated.size());
    EXPECT_EQ(table, activated[0]);
}

TEST_F(AllItemsWindowTest, TheContextMenuDisablesOrAddsToTheRowsBundle) {
    Bundle* web = addBundle(L"Web", 1);
    BundleItem* table = addItem(web, SNIPPET, L"Table", 2);
    open();
    struct Filler {
        Bundle* asked = nullptr;
        int ran = 0;
    } filler;
    window->addItemMenu = {&filler, [](void* self, Bundle* bundle, corvel::afMenu* menu) {
                               static_cast<Filler*>(self)->asked = bundle;
                               menu->addSeparator();
                               corvel::afMenuItem* item = menu->addItem(new corvel::afMenuItem(L"Add Snippet"));
                               item->activateCallback = {self, [](void* self, void*, corvel::afMenuItem*) {
                                                             ++static_cast<Filler*>(self)->ran;
                                                         }};
                           }};
    // An item's row offers its bundle's commands.
    window->choose = L"Add Snippet";
    rightClick(table);
    EXPECT_EQ(web, filler.asked);
    EXPECT_EQ(1, filler.ran);
    EXPECT_EQ((std::vector<std::wstring>{L"Disable", L"-", L"Add Snippet"}), window->shown);
    // Closed without a choice: nothing runs.
    window->choose.clear();
    rightClick(web);
    EXPECT_EQ(1, filler.ran);
    window->choose = L"Disable";
    rightClick(table);
    EXPECT_TRUE(m_manager->isDisabled(uuid(2)));
    EXPECT_TRUE(rowsAre({L"Web"}));
}

// The bundle editor may still report an entry change while the window is going.
TEST_F(AllItemsWindowTest, AWindowWhoseTreeIsGoneIgnoresLateCalls) {
    Bundle* web = addBundle(L"Web", 1);
    BundleItem* table = addItem(web, SNIPPET, L"Table", 2);
    open();
    DestroyWindow(window->getHandle());
    window->updateEntry(table);
    window->selectEntry(table);
    EXPECT_EQ(nullptr, window->rowOf(table));
    EXPECT_EQ(nullptr, window->getSelectedBundle());
    // Nor does it follow the manager any more.
    addItem(web, SNIPPET, L"Row", 3);
    m_manager->removeEntry(table);
    EXPECT_EQ(nullptr, window->getTree());
}
