#include "corvel/bundles/ThemeManager.h"

#include "corvel/bundles/BundleManager.h"
#include "corvel/bundles/BundleUiHost.h"
#include "corvel/bundles/ThemeBundleItem.h"
#include "corvel/bundles/ThemeGeneralItems.h"
#include "corvel/document/DocumentTheme.h"
#include "support/ManagerFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using corvel::ThemeBundleItem;
using corvel::ThemeManager;

struct Heard {
    std::vector<std::wstring> titles;
    static void record(void* self, const zem::Uuid&, ThemeBundleItem* theme) {
        static_cast<Heard*>(self)->titles.push_back(theme->getTitle());
    }
};

class ThemeManagerTest : public bundletest::ManagerFixture {
protected:
    void SetUp() override {
        ManagerFixture::SetUp();
        makeManager();
        themes.reset(new ThemeManager(*m_manager, corvel::BundleUiHost::none()));
    }
    void TearDown() override {
        for (ThemeBundleItem* theme : made)
            theme->release();
        themes.reset();
        ManagerFixture::TearDown();
    }
    ThemeBundleItem* newTheme(const zem::Uuid& uuid, const std::wstring& title) {
        ThemeBundleItem* theme = static_cast<ThemeBundleItem*>(themes->createEntry(corvel::THEME_TYPE_ID, uuid));
        theme->setTitle(title);
        made.push_back(theme);
        return theme;
    }
    std::unique_ptr<ThemeManager> themes;
    Heard heard;
    std::vector<ThemeBundleItem*> made;
};

TEST_F(ThemeManagerTest, TheFallbackIsNoneAndStandsInForUnknownThemes) {
    EXPECT_EQ(L"None", themes->getDefaultTheme()->getTitle());
    EXPECT_EQ(0xFF333333u, themes->getDefaultTheme()->getTheme()->getColor(corvel::DocumentTheme::FOREGROUND).packed());
    zem::Uuid unknown = bundletest::newUuid();
    themes->subscribe(unknown, &Heard::record, &heard);
    themes->notify(unknown, true);
    EXPECT_EQ(std::vector<std::wstring>{L"None"}, heard.titles);
    corvel::BundleEntryTypeInfo info;
    themes->getEntryType(info);
    EXPECT_EQ(L"theme", info.name);
    EXPECT_EQ(L"cvTheme", info.extension);
    EXPECT_EQ(-20, info.order);
}

TEST_F(ThemeManagerTest, SubscribersFollowInstallChangeAndUninstall) {
    zem::Uuid uuid = bundletest::newUuid();
    ThemeBundleItem* dark = newTheme(uuid, L"Dark");
    ThemeBundleItem* twin = newTheme(uuid, L"Twin");
    themes->subscribe(uuid, &Heard::record, &heard);
    EXPECT_TRUE(themes->installEntry(dark));
    // A second entry of the same UUID leaves the first in the map.
    EXPECT_TRUE(themes->installEntry(twin));
    themes->onEntryUpdateBegin(dark);
    themes->onEntryChanged(dark);
    // The twin never held the slot: uninstalling it keeps Dark and tells nobody.
    themes->uninstallEntry(twin);
    EXPECT_EQ(dark, themes->getTheme(uuid, true));
    themes->uninstallEntry(dark);
    EXPECT_EQ(themes->getDefaultTheme(), themes->getTheme(uuid, true));
    EXPECT_EQ((std::vector<std::wstring>{L"Dark", L"Dark", L"None", L"Dark", L"None"}), heard.titles);
    themes->unsubscribe(uuid, &Heard::record, &heard);
    themes->installEntry(dark);
    EXPECT_EQ(5u, heard.titles.size());
    themes->uninstallEntry(dark);
}

// Caught: uninstalling answered nothing; it answers true for every entry, installed or not.
TEST_F(ThemeManagerTest, UninstallingAnswersTrue) {
    zem::Uuid uuid = bundletest::newUuid();
    ThemeBundleItem* dark = newTheme(uuid, L"Dark");
    ThemeBundleItem* twin = newTheme(uuid, L"Twin");
    ThemeBundleItem* never = newTheme(bundletest::newUuid(), L"Never");
    themes->installEntry(dark);
    themes->installEntry(twin);
    bundletest::TestKinds kinds;
    bundletest::Ref<corvel::BundleItem> snippet(new corvel::BundleItem(&kinds.snippet, bundletest::newUuid()));
    const std::pair<const char*, corvel::BundleEntry*> cases[] = {
        {"not holding the slot", twin},
        {"holding the slot", dark},
        {"never installed", never},
        {"another kind", snippet.get()},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(themes->uninstallEntry(c.second)) << c.first;
}

// Caught: a null theme icon was accepted and the kind went on without one.
TEST_F(ThemeManagerTest, AnIconThatCannotBeLoadedEndsConstruction) {
    bundletest::NoIconHost noIcon;
    EXPECT_TRUE(bundletest::failsWithoutIcon([&] { ThemeManager failing(*m_manager, noIcon); }));
}

// Caught: uninstalling a twin sent the editors to the fallback while its twin stayed installed.
TEST_F(ThemeManagerTest, ATwinsUninstallLeavesItsSubscribersOnTheInstalledTheme) {
    zem::Uuid uuid = bundletest::newUuid();
    ThemeBundleItem* dark = newTheme(uuid, L"Dark");
    ThemeBundleItem* twin = newTheme(uuid, L"Twin");
    themes->installEntry(dark);
    themes->installEntry(twin);
    ThemeBundleItem* shown = nullptr;
    ThemeManager::Subscriber follow = [](void* self, const zem::Uuid&, ThemeBundleItem* theme) {
        *static_cast<ThemeBundleItem**>(self) = theme;
    };
    themes->subscribe(uuid, follow, &shown);
    themes->notify(uuid, true);
    ASSERT_EQ(dark, shown);
    themes->uninstallEntry(twin);
    EXPECT_EQ(dark, shown);
    themes->uninstallEntry(dark);
    EXPECT_EQ(themes->getDefaultTheme(), shown);
    themes->unsubscribe(uuid, follow, &shown);
}

TEST_F(ThemeManagerTest, TheListHoldsTheInstalledThemesAndTheFallback) {
    zem::Uuid uuid = bundletest::newUuid();
    ThemeBundleItem* dark = newTheme(uuid, L"Dark");
    themes->installEntry(dark);
    std::vector<std::pair<std::wstring, zem::Uuid>> listed;
    themes->listThemes(listed);
    ASSERT_EQ(2u, listed.size());
    EXPECT_EQ(L"None", listed[0].first); // under the nil UUID, which sorts first
    EXPECT_TRUE(listed[0].second.isNil());
    EXPECT_EQ(L"Dark", listed[1].first);
    EXPECT_TRUE(listed[1].second == uuid);
    themes->uninstallEntry(dark);
    themes->listThemes(listed);
    EXPECT_EQ(1u, listed.size());
}

// The rows appearance pages show for a theme's settings outside its scope rules.
TEST(ThemeGeneralItemsTest, DefaultColoursThenTheEnvironmentAroundACentredCanvas) {
    const std::vector<corvel::ThemeGeneralItem>& items = corvel::themeGeneralItems();
    ASSERT_EQ(2u, items.size());
    EXPECT_EQ(std::wstring(L"Default"), items[0].name);
    EXPECT_EQ(std::wstring(L"Default theme text and background colors"), items[0].description);
    EXPECT_EQ(std::wstring(L"Environment"), items[1].name);
    EXPECT_EQ(std::wstring(L"Background color used around editing canvas when centering."), items[1].description);
    for (const corvel::ThemeGeneralItem& item : items) {
        EXPECT_EQ(0, item.number);
        EXPECT_EQ(1, item.flag);
    }
}

} // namespace
