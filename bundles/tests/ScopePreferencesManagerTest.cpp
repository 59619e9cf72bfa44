#include "corvel/bundles/ScopePreferencesManager.h"

#include "corvel/bundles/BundleUiHost.h"
#include "corvel/bundles/ScopePreferencesBundleItem.h"
#include "support/ManagerFixture.h"
#include "zem/base/Exception.h"
#include "zem/jasmine/JasmineParser.h"
#include "zem/value/Values.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using corvel::ScopePreferencesBundleItem;
using corvel::ScopePreferencesManager;

// Records actions; refuses the one numbered refuseAt (from 1) with an exception.
class PairHost : public corvel::BundleUiHost {
public:
    void addAction(const corvel::BundleAction& action) override {
        if (++added == refuseAt)
            throw zem::IllegalStateException(L"Unexpected state");
        actions.push_back(action.name + L" " + action.context + L" " + action.opening + action.closing +
                          (action.block ? L" block" : L"") + (action.closes ? L" closes" : L" opens"));
    }
    void removeAction(const std::wstring& name) override { removed.push_back(name); }
    int added = 0;
    int refuseAt = -1;
    std::vector<std::wstring> actions;
    std::vector<std::wstring> removed;
};

class ScopePreferencesManagerTest : public bundletest::ManagerFixture {
protected:
    void SetUp() override {
        ManagerFixture::SetUp();
        makeManager();
        preferences.reset(new ScopePreferencesManager(*m_manager, host));
        item = static_cast<ScopePreferencesBundleItem*>(
            preferences->createEntry(corvel::SCOPE_PREFERENCES_TYPE_ID, uuid(7)));
        std::unique_ptr<zem::Value> value(
            zem::parseJasmine(L"{title: 'C', scope: 'source.c', settings: {pairs: [['(', ')'], ['{', '}', block]]}}"));
        item->readProperties(static_cast<zem::DictionaryValue*>(value.get()));
    }
    void TearDown() override {
        item->release();
        preferences.reset();
        ManagerFixture::TearDown();
    }
    PairHost host;
    std::unique_ptr<ScopePreferencesManager> preferences;
    ScopePreferencesBundleItem* item = nullptr;
};

// Caught: the manager handed one action per pair and left making the two to the host.
TEST_F(ScopePreferencesManagerTest, EachPairGivesAnOpeningAndAClosingActionAndAChangeMakesThemAgain) {
    ASSERT_TRUE(preferences->installEntry(item));
    const std::wstring prefix = L"pair." + item->getUuid().toString() + L".";
    // name, context, pair, block; the closing action is bound to the closing character and
    // matches only inside the pair's span.
    const std::vector<std::wstring> expected = {
        prefix + L"0.open source.c () opens",
        prefix +
            L"0.close document.context.char_pair.2829 source.c, source.c document.context.char_pair.2829 () closes",
        prefix + L"1.open source.c {} block opens",
        prefix + L"1.close document.context.char_pair.block.7b7d source.c, source.c "
                 L"document.context.char_pair.block.7b7d {} block closes",
    };
    EXPECT_EQ(expected, host.actions);
    EXPECT_EQ(4u, item->installedActions().size());
    preferences->onEntryChanged(item);
    EXPECT_EQ(4u, host.removed.size());
    EXPECT_EQ(8u, host.actions.size());
    preferences->uninstallEntry(item);
    EXPECT_EQ(8u, host.removed.size());
    EXPECT_TRUE(item->installedActions().empty());
}

TEST_F(ScopePreferencesManagerTest, ARefusedActionFailsTheInstallAndKeepsTheOnesBefore) {
    host.refuseAt = 3;
    EXPECT_FALSE(preferences->installEntry(item));
    EXPECT_EQ(2u, item->installedActions().size());
    bundletest::TestKinds kinds;
    bundletest::Ref<corvel::BundleItem> other(new corvel::BundleItem(&kinds.snippet, uuid(8)));
    EXPECT_FALSE(preferences->installEntry(other.get()));
}

// Caught: uninstalling answered nothing, so another kind's entry could not be told apart.
TEST_F(ScopePreferencesManagerTest, UninstallingAnswersWhetherTheEntryIsOfTheKind) {
    bundletest::TestKinds kinds;
    bundletest::Ref<corvel::BundleItem> snippet(new corvel::BundleItem(&kinds.snippet, uuid(8)));
    struct Case {
        const char* what;
        corvel::BundleEntry* entry;
        bool installFirst;
        bool expected;
    };
    const Case cases[] = {
        {"installed preferences", item, true, true},
        {"preferences never installed", item, false, true},
        {"another kind", snippet.get(), false, false},
    };
    for (const Case& c : cases) {
        if (c.installFirst)
            preferences->installEntry(c.entry);
        EXPECT_EQ(c.expected, preferences->uninstallEntry(c.entry)) << c.what;
    }
}

// Caught: a kind manager accepted a null icon and went on without it.
TEST_F(ScopePreferencesManagerTest, AnIconThatCannotBeLoadedEndsConstruction) {
    bundletest::NoIconHost noIcon;
    EXPECT_TRUE(bundletest::failsWithoutIcon([&] { ScopePreferencesManager failing(*m_manager, noIcon); }));
}

} // namespace
