#include "corvel/bundles/BundleEntry.h"

#include "support/TestKinds.h"
#include "zem/base/Exception.h"
#include "zem/value/Values.h"

#include <gtest/gtest.h>

using bundletest::Ref;
using corvel::BundleEntry;
using corvel::BundleItem;

namespace {

struct Counter {
    int count = 0;
    static void bump(void* self, BundleEntry*) { ++static_cast<Counter*>(self)->count; }
};

class BundleEntryTest : public ::testing::Test {
protected:
    BundleEntryTest() : item(new BundleItem(&kinds.snippet, bundletest::newUuid())) {
        item->onUpdateBegin().add(&Counter::bump, &begins);
        item->onUpdateEnd().add(&Counter::bump, &ends);
        item->onModifiedChanged().add(&Counter::bump, &modifiedChanges);
    }
    bundletest::TestKinds kinds;
    Ref<BundleItem> item;
    Counter begins, ends, modifiedChanges;
};

} // namespace

TEST_F(BundleEntryTest, StartsNewLoadedAndUnmodified) {
    EXPECT_EQ(1, item->getRefCount());
    EXPECT_TRUE(item->isNew());
    EXPECT_TRUE(item->isLoaded());
    EXPECT_FALSE(item->isModified());
    EXPECT_FALSE(item->isInstalled());
    EXPECT_EQ(corvel::SNIPPET_TYPE_ID, item->getType());
    EXPECT_FALSE(item->isBundle());
}

TEST_F(BundleEntryTest, InstalledEntryChangesOnlyInsideABracket) {
    item->setInstalled(true);
    EXPECT_FALSE(item->setTitle(L"Outside"));
    EXPECT_EQ(L"", item->getTitle());
    EXPECT_EQ(0, modifiedChanges.count);

    item->beginUpdate();
    item->beginUpdate();
    EXPECT_TRUE(item->setTitle(L"One"));
    EXPECT_TRUE(item->setTitle(L"Two"));
    EXPECT_TRUE(item->setTitle(L"Two"));
    item->endUpdate();
    EXPECT_EQ(0, ends.count);
    item->endUpdate();
    EXPECT_EQ(L"Two", item->getTitle());
    EXPECT_EQ(1, modifiedChanges.count);
    EXPECT_EQ(1, begins.count);
    EXPECT_EQ(1, ends.count);
    EXPECT_FALSE(item->canModify());

    item->clearModified();
    item->clearModified();
    EXPECT_EQ(2, modifiedChanges.count);
}

TEST_F(BundleEntryTest, EntryNotInstalledFiresNoBrackets) {
    item->beginUpdate();
    EXPECT_TRUE(item->setTitle(L"Free"));
    item->endUpdate();
    EXPECT_EQ(0, begins.count);
    EXPECT_EQ(0, ends.count);
    EXPECT_TRUE(item->isModified());
}

TEST_F(BundleEntryTest, DisplayTitleAndLocation) {
    EXPECT_EQ(L"<unset>", item->getDisplayTitle());
    EXPECT_EQ(nullptr, item->getLocation());

    corvel::BundleEntryLocation shipped =
        bundletest::locationOf(corvel::ENTRY_ROOT_INSTALL, L"web.cvBundle", L"snippets", L"table.cvSnippet");
    shipped.storeIn(*item);
    EXPECT_EQ(L"table", item->getDisplayTitle());
    ASSERT_NE(nullptr, item->getLocation());
    EXPECT_EQ(corvel::ENTRY_ROOT_INSTALL, item->getLocation()->root);

    corvel::BundleEntryLocation user = shipped;
    user.root = corvel::ENTRY_ROOT_USER;
    user.parseItemFileName(L"row.cvSnippet");
    user.storeIn(*item);
    ASSERT_EQ(2u, item->getLocations().size());
    EXPECT_EQ(L"row", item->getDisplayTitle());

    item->setTitle(L"Table");
    EXPECT_EQ(L"Table", item->getDisplayTitle());

    Ref<corvel::Bundle> bundle(new corvel::Bundle(&kinds.bundle, bundletest::newUuid()));
    shipped.storeIn(*bundle);
    EXPECT_EQ(L"web", bundle->getDisplayTitle());
}

TEST_F(BundleEntryTest, StoringLocationsChecksThem) {
    corvel::BundleEntryLocation empty;
    empty.root = corvel::ENTRY_ROOT_USER;
    try {
        empty.storeIn(*item);
        FAIL();
    } catch (const zem::InvalidArgumentException& e) {
        EXPECT_EQ(L"path is empty", e.message());
    }
    // A root beyond the two kinds would write outside the slots.
    corvel::BundleEntryLocation wild = bundletest::locationOf(5, L"web.cvBundle", L"snippets", L"table.cvSnippet");
    EXPECT_THROW(wild.storeIn(*item), zem::AssertionViolationException);
    EXPECT_TRUE(item->getLocations().empty());
}

TEST_F(BundleEntryTest, PropertiesReadAndWriteTheTitle) {
    struct Case {
        const wchar_t* key;
        zem::Value* value;
        const wchar_t* title;
    } cases[] = {
        {L"title", zem::createStringValue(L"Named"), L"Named"},
        {L"title", new zem::ScalarValue(5), L"Named"},
        {L"title", zem::createStringValue(L""), L"Named"},
        {L"other", zem::createStringValue(L"x"), L"Named"},
    };
    for (const Case& c : cases) {
        zem::DictionaryValue dict;
        dict.set(c.key, c.value);
        item->readProperties(&dict);
        EXPECT_EQ(c.title, item->getTitle());
    }
    zem::DictionaryValue out;
    item->writeProperties(&out);
    std::wstring title;
    EXPECT_TRUE(out.getStringAt(L"title", &title));
    EXPECT_EQ(L"Named", title);
    EXPECT_THROW(item->writeProperties(nullptr), zem::NullPointerException);
}
