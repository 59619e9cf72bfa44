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
                          (action.block ? L" block" : L""));
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

TEST_F(ScopePreferencesManagerTest, EachPairGivesOneActionAndAChangeMakesThemAgain) {
    ASSERT_TRUE(preferences->installEntry(item));
    ASSERT_EQ(2u, host.actions.size());
    std::wstring prefix = L"pair." + item->getUuid().toString() + L".";
    EXPECT_EQ(prefix + L"0 source.c ()", host.actions[0]);
    EXPECT_EQ(prefix + L"1 source.c {} block", host.actions[1]);
    preferences->onEntryChanged(item);
    EXPECT_EQ(2u, host.removed.size());
    EXPECT_EQ(4u, host.actions.size());
    preferences->uninstallEntry(item);
    EXPECT_EQ(4u, host.removed.size());
    EXPECT_TRUE(item->installedActions().empty());
}

TEST_F(ScopePreferencesManagerTest, ARefusedActionFailsTheInstallAndKeepsTheOnesBefore) {
    host.refuseAt = 2;
    EXPECT_FALSE(preferences->installEntry(item));
    EXPECT_EQ(1u, item->installedActions().size());
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
