#include "corvel/bundles/Bundle.h"
#include "corvel/bundles/ExecutableBundleItem.h"

#include "support/TestKinds.h"
#include "zem/base/Exception.h"
#include "zem/jasmine/JasmineParser.h"
#include "zem/value/Values.h"

#include <gtest/gtest.h>

#include <memory>

using bundletest::Ref;
using corvel::Bundle;
using corvel::BundleItem;
using corvel::ExecutableBundleItem;

namespace {

// "-" separator, "#<title>" item (its entry found by UUID), "?" an unknown id.
std::wstring describeMenu(const corvel::MenuDefNode& menu, const std::vector<BundleItem*>& items) {
    std::wstring out;
    for (const auto& child : menu.children) {
        if (!out.empty())
            out += L" ";
        if (child->separator) {
            out += L"-";
            continue;
        }
        std::wstring title = L"?";
        for (BundleItem* item : items) {
            if (item->getUuid().toString() == child->itemId && child->title.empty())
                title = item->getTitle();
        }
        out += L"#" + title;
    }
    return out;
}

struct Notifications {
    int added = 0;
    int removed = 0;
    static void onAdded(void* self, Bundle*, corvel::BundleEntry*) { ++static_cast<Notifications*>(self)->added; }
    static void onRemoved(void* self, Bundle*, corvel::BundleEntry*) { ++static_cast<Notifications*>(self)->removed; }
};

class BundleTest : public ::testing::Test {
protected:
    BundleTest() : bundle(new Bundle(&kinds.bundle, bundletest::newUuid())) {
        bundle->onEntryAdded().add(&Notifications::onAdded, &notified);
        bundle->onEntryRemoved().add(&Notifications::onRemoved, &notified);
    }
    Ref<ExecutableBundleItem> snippet(const wchar_t* title) {
        Ref<ExecutableBundleItem> item(new ExecutableBundleItem(&kinds.snippet, bundletest::newUuid()));
        item->setTitle(title);
        return item;
    }
    void readProperties(corvel::BundleEntry& entry, const wchar_t* text) {
        std::unique_ptr<zem::Value> value(zem::parseJasmine(text));
        entry.readProperties(static_cast<zem::AbstractDictionaryValue*>(value.get()));
    }

    bundletest::TestKinds kinds;
    Notifications notified;
    Ref<Bundle> bundle;
};

} // namespace

TEST_F(BundleTest, DefaultMenuGroupsKindsAndSortsByTitle) {
    auto b = snippet(L"b");
    auto a = snippet(L"A");
    Ref<BundleItem> grammar(new BundleItem(&kinds.grammar, bundletest::newUuid()));
    grammar->setTitle(L"C");
    Ref<BundleItem> theme(new BundleItem(&kinds.theme, bundletest::newUuid()));
    theme->setTitle(L"Dark");
    for (BundleItem* item : std::vector<BundleItem*>{b.get(), grammar.get(), a.get(), theme.get()})
        bundle->addEntry(item);
    std::vector<BundleItem*> all = {a.get(), b.get(), grammar.get(), theme.get()};
    EXPECT_EQ(L"#A #b - #C", describeMenu(*bundle->getMenu(), all));
    EXPECT_EQ(bundle->getMenu(), bundle->getMenu());

    std::vector<uint32_t> types;
    bundle->getEntryTypes(types);
    EXPECT_EQ((std::vector<uint32_t>{corvel::SNIPPET_TYPE_ID, corvel::THEME_TYPE_ID, corvel::LANGUAGE_TYPE_ID}), types);

    // An item coming or going builds the menu anew.
    auto c = snippet(L"B");
    bundle->addEntry(c.get());
    all.push_back(c.get());
    EXPECT_EQ(L"#A #B #b - #C", describeMenu(*bundle->getMenu(), all));
    bundle->removeEntry(grammar.get());
    EXPECT_EQ(L"#A #B #b", describeMenu(*bundle->getMenu(), all));
}

TEST_F(BundleTest, OwnMenuWinsWhenItHasChildren) {
    auto a = snippet(L"A");
    bundle->addEntry(a.get());
    readProperties(*bundle, L"{title: 'Web', menu: []}");
    EXPECT_EQ(L"Web", bundle->getTitle());
    EXPECT_EQ(L"#A", describeMenu(*bundle->getMenu(), {a.get()}));

    readProperties(*bundle, L"{title: 'Web', menu: [{item_id: 'x'}, '---']}");
    EXPECT_EQ(L"#? -", describeMenu(*bundle->getMenu(), {a.get()}));
    // A "menu" that is no list keeps the one read before.
    readProperties(*bundle, L"{title: 'Web', menu: 5}");
    EXPECT_EQ(2u, bundle->getMenu()->children.size());

    zem::DictionaryValue written;
    bundle->writeProperties(&written);
    EXPECT_EQ(1u, written.size());
}

TEST_F(BundleTest, FilingAndTakingOut) {
    auto a = snippet(L"A");
    bundle->addEntry(a.get());
    bundle->addEntry(a.get());
    EXPECT_EQ(1, notified.added);
    EXPECT_EQ(1u, bundle->getEntryCount());
    EXPECT_EQ(bundle.get(), a->getBundle());
    EXPECT_TRUE(a->isModified());

    Ref<Bundle> other(new Bundle(&kinds.bundle, bundletest::newUuid()));
    auto stranger = snippet(L"S");
    other->addEntry(stranger.get());
    EXPECT_EQ(nullptr, bundle->removeEntry(stranger.get()));
    EXPECT_TRUE(other->hasEntry(stranger.get()));
    EXPECT_EQ(0, notified.removed);

    EXPECT_EQ(a.get(), bundle->removeEntry(a.get()));
    EXPECT_EQ(1, notified.removed);
    EXPECT_FALSE(bundle->hasEntry(a.get()));
    EXPECT_EQ(nullptr, bundle->removeEntry(a.get()));
}

TEST_F(BundleTest, InstalledItemKeepsItsBundleOutsideABracket) {
    auto a = snippet(L"A");
    a->clearModified();
    a->setInstalled(true);
    bundle->addEntry(a.get());
    EXPECT_TRUE(bundle->hasEntry(a.get()));
    EXPECT_EQ(nullptr, a->getBundle());
    EXPECT_FALSE(a->isModified());
    a->setBundle(bundle.get());
    EXPECT_EQ(nullptr, a->getBundle());
    a->beginUpdate();
    a->setBundle(bundle.get());
    a->endUpdate();
    EXPECT_EQ(bundle.get(), a->getBundle());
}

TEST_F(BundleTest, LocationsOfNewEntries) {
    bundle->setTitle(L"Web Tools");
    std::wstring b = bundle->getUuid().toString();
    EXPECT_EQ(L"user:bundles/web_tools." + b + L".cvBundle/info." + b + L".cvInfo",
              bundle->createLocation().toString());

    auto untitled = snippet(L"");
    EXPECT_THROW(untitled->createLocation(), zem::NullPointerException);
    bundle->addEntry(untitled.get());
    EXPECT_EQ(L"user:bundles/web_tools." + b + L".cvBundle/snippets/item." + untitled->getUuid().toString() +
                  L".cvSnippet",
              untitled->createLocation().toString());

    // A shipped bundle's changes go to the same folder name under "user:".
    Ref<Bundle> shipped(new Bundle(&kinds.bundle, bundletest::newUuid()));
    bundletest::locationOf(corvel::ENTRY_ROOT_INSTALL, L"Shipped.cvBundle", L"", L"info.cvInfo").storeIn(*shipped);
    shipped->setTitle(L"Renamed");
    EXPECT_EQ(L"user:bundles/Shipped.cvBundle/info.cvInfo", shipped->createLocation().toString());
}

TEST_F(BundleTest, ExecutableItemProperties) {
    struct Counting : ExecutableBundleItem {
        using ExecutableBundleItem::ExecutableBundleItem;
        void dropParsedContent() override { ++drops; }
        int drops = 0;
    };
    Ref<Counting> item(new Counting(&kinds.snippet, bundletest::newUuid()));
    readProperties(*item, L"{title: 'T', key_equivalent: 'Ctrl+K', content: \"a\\r\\nb\\rc\", scope: 5}");
    EXPECT_EQ(L"Ctrl+K", item->getShortcut());
    EXPECT_EQ(L"a\nb\nc", item->getContent());
    EXPECT_EQ(L"", item->getScope());
    EXPECT_EQ(1, item->drops);
    readProperties(*item, L"{title: 'T', shortcut: 'Alt+X', key_equivalent: 'Ctrl+K', content: \"a\\nb\\nc\"}");
    EXPECT_EQ(L"Alt+X", item->getShortcut());
    EXPECT_EQ(1, item->drops);
    readProperties(*item, L"{title: 'T', content: 'new', tab_trigger: 'tt'}");
    EXPECT_EQ(2, item->drops);
    EXPECT_EQ(L"tt", item->getTabTrigger());

    zem::DictionaryValue written;
    item->writeProperties(&written);
    std::wstring keys;
    for (const zem::DictionaryEntry& entry : written.inOrder())
        keys += entry.key + L" ";
    EXPECT_EQ(L"title tab_trigger shortcut content ", keys);
}
