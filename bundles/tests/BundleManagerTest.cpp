#include "support/LogCapture.h"
#include "support/ManagerFixture.h"

#include "corvel/bundles/DisabledEntryRecord.h"
#include "corvel/jasmine/JasmineValue.h"
#include "zem/base/Exception.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace corvel;
using namespace bundletest;

namespace {

// Records what the host was asked.
class RecordingHost : public BundleUiHost {
public:
    void addAction(const BundleAction& action) override { actions.push_back(action); }
    void removeAction(const std::wstring& name) override { removed.push_back(name); }
    intptr_t pushStatus(const std::wstring& text) override {
        statuses.push_back(text);
        return static_cast<intptr_t>(statuses.size());
    }
    void popStatus(intptr_t handle) override { popped.push_back(handle); }
    bool closeAllEditors() override { return allowClose; }
    std::vector<BundleAction> actions;
    std::vector<std::wstring> removed;
    std::vector<std::wstring> statuses;
    std::vector<intptr_t> popped;
    bool allowClose = true;
};

class MenuRecorder : public BundleMenuBuilder {
public:
    void addItem(const std::wstring& title, const std::wstring& action, bool enabled) override {
        lines.push_back(title + L"|" + action + (enabled ? L"" : L"|off"));
    }
    void addSeparator() override { lines.push_back(L"---"); }
    void addSubMenu(const std::wstring& title, const void*, const MenuDefNodePtr&) override {
        lines.push_back(L"> " + title);
    }
    std::vector<std::wstring> lines;
};

std::vector<std::wstring> logTexts(zemtest::LogCapture& capture) {
    std::vector<std::wstring> out;
    for (auto& line : capture.lines())
        out.push_back(line.text);
    return out;
}

::testing::AssertionResult ranksAs(uint32_t a, uint32_t b, int expected) {
    int actual = BundleManager::compareTypeRank(a, b);
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << std::hex << a << " vs " << b << ": expected " << expected << ", got "
                                         << actual;
}

} // namespace

TEST(BundleManagerRank, OrdersKindsByTheirRank) {
    EXPECT_TRUE(ranksAs(BUNDLE_TYPE_ID, BUNDLE_TYPE_ID, 0));
    EXPECT_TRUE(ranksAs(LANGUAGE_TYPE_ID, BUNDLE_TYPE_ID, 1));
    EXPECT_TRUE(ranksAs(BUNDLE_TYPE_ID, LANGUAGE_TYPE_ID, -1));
    EXPECT_TRUE(ranksAs(THEME_TYPE_ID, LANGUAGE_TYPE_ID, 1));
    EXPECT_TRUE(ranksAs(SNIPPET_TYPE_ID, THEME_TYPE_ID, 1));
    EXPECT_TRUE(ranksAs(SCOPE_PREFERENCES_TYPE_ID, SNIPPET_TYPE_ID, 1));
    try {
        BundleManager::compareTypeRank(0x1234, BUNDLE_TYPE_ID);
        FAIL() << "no throw";
    } catch (const zem::IllegalStateException& e) {
        EXPECT_EQ(L"Invalid bundle entry type to rank.", e.message());
    }
}

TEST(DisabledEntryRecordTest, ReadsOnlyCompleteRecords) {
    struct Row {
        const wchar_t* title;
        const wchar_t* uuid;
        uint32_t type;
        int children; // -1: key absent
        const wchar_t* bundleTitle; // null: key absent
        bool kept;
    };
    const wchar_t* someUuid = L"0000000a-0000-4000-8000-000000000000";
    const Row rows[] = {
        {L"B", someUuid, BUNDLE_TYPE_ID, 0, nullptr, true},
        {L"B", someUuid, BUNDLE_TYPE_ID, -1, nullptr, false},
        {L"B", L"00000000-0000-0000-0000-000000000000", BUNDLE_TYPE_ID, 2, nullptr, false},
        {L"", someUuid, BUNDLE_TYPE_ID, 2, nullptr, false},
        {L"I", someUuid, THEME_TYPE_ID, -1, L"B", true},
        {L"I", someUuid, THEME_TYPE_ID, -1, nullptr, false},
        {L"I", L"not a uuid", THEME_TYPE_ID, -1, L"B", false},
    };
    for (const Row& row : rows) {
        JasmineValue value(JasmineValue::TYPE_DICTIONARY);
        value.getOrAddEntry(L"title").setString(row.title);
        value.getOrAddEntry(L"uuid").setString(row.uuid);
        value.getOrAddEntry(L"type").setUnsigned(row.type);
        if (row.children >= 0)
            value.getOrAddEntry(L"children_count").setInt(row.children);
        if (row.bundleTitle)
            value.getOrAddEntry(L"bundle_title").setString(row.bundleTitle);
        std::unique_ptr<DisabledEntryRecord> record = DisabledEntryRecord::fromValue(value);
        EXPECT_EQ(row.kept, record != nullptr) << row.title << " " << row.uuid << " " << row.children;
        if (record) {
            JasmineValue back;
            record->toValue(back);
            EXPECT_TRUE(DisabledEntryRecord::fromValue(back) != nullptr);
        }
    }
    EXPECT_EQ(nullptr, DisabledEntryRecord::fromValue(JasmineValue(JasmineValue::TYPE_LIST)));
}

class BundleManagerTest : public ManagerFixture {
protected:
    void TearDown() override {
        m_manager.reset(); // before the host goes
        ManagerFixture::TearDown();
    }
    RecordingHost host;
};

TEST_F(BundleManagerTest, RegistersKindsOnceAndFillsTheirDescriptors) {
    makeManager(&host);
    ASSERT_EQ(2u, host.actions.size());
    EXPECT_EQ(L"bundles.reload", host.actions[0].name);
    EXPECT_EQ(L"Reload Bundles", host.actions[0].title);
    EXPECT_EQ(L"bundles.editor", host.actions[1].name);
    EXPECT_EQ(L"F4", host.actions[1].key);
    EXPECT_EQ(L"ui.window.main, ui.window.bundle_editor", host.actions[1].context);

    ItemKindManager* again = new ItemKindManager(*m_manager, THEME_TYPE_ID);
    EXPECT_FALSE(m_manager->registerEntryManager(again));
    delete again;

    std::vector<BundleEntryTypeInfo> kinds;
    m_manager->getEntryTypes(kinds);
    ASSERT_EQ(2u, kinds.size());
    EXPECT_EQ(BUNDLE_TYPE_ID, kinds[0].typeId);
    EXPECT_EQ(L"themes", kinds[1].label); // plural of the name
    EXPECT_TRUE(kinds[1].validator != nullptr);
    EXPECT_EQ(m_themes, m_manager->getEntryManager(THEME_TYPE_ID)->manager);

    try {
        m_manager->createEntry(SNIPPET_TYPE_ID, newUuid());
        FAIL() << "no throw";
    } catch (const zem::IllegalStateException& e) {
        EXPECT_EQ(L"Type is unknown.", e.message());
    }
    m_manager.reset();
    EXPECT_EQ(2u, host.removed.size());
}

// Caught: the bundle kind's manager answered nothing when an entry was taken out of use.
TEST_F(BundleManagerTest, TheBundleKindUninstallsOnlyBundles) {
    makeManager(&host);
    BundleEntryManager* bundles = m_manager->getEntryManager(BUNDLE_TYPE_ID)->manager;
    ASSERT_NE(nullptr, bundles);
    Ref<BundleEntry> bundle(m_manager->createEntry(BUNDLE_TYPE_ID, uuid(1)));
    Ref<BundleEntry> theme(m_manager->createEntry(THEME_TYPE_ID, uuid(2)));
    const std::pair<BundleEntry*, bool> cases[] = {{bundle.get(), true}, {theme.get(), false}};
    for (const auto& c : cases)
        EXPECT_EQ(c.second, bundles->uninstallEntry(c.first)) << (c.second ? "a bundle" : "a theme item");
}

TEST_F(BundleManagerTest, UpdateBracketNotifiesAtItsEdgesAndRefusesAnUnbalancedEnd) {
    makeManager();
    std::vector<std::wstring> events;
    m_manager->onUpdate.add([](void* p, BundleManager*) { static_cast<std::vector<std::wstring>*>(p)->push_back(L"update"); },
                            &events);
    m_manager->onUpdateEnd.add([](void* p, BundleManager*) { static_cast<std::vector<std::wstring>*>(p)->push_back(L"end"); },
                               &events);
    m_manager->beginUpdate();
    m_manager->beginUpdate();
    m_manager->endUpdate();
    m_manager->endUpdate();
    EXPECT_EQ((std::vector<std::wstring>{L"update", L"end"}), events);
    try {
        m_manager->endUpdate();
        FAIL() << "no throw";
    } catch (const zem::IllegalStateException& e) {
        EXPECT_EQ(L"Unbalanced update end.", e.message());
    }
    EXPECT_EQ(0, m_manager->getUpdateDepth());
    m_manager.reset(); // its destructor opens a bracket too, while events still lives
}

TEST_F(BundleManagerTest, AddAndRemoveHoldAndReleaseTheirReference) {
    makeManager();
    std::vector<std::pair<uint32_t, size_t>> events;
    m_manager->onEntryEvent.add(
        [](void* p, BundleManager*, uint32_t id, const std::vector<BundleEntry*>& entries) {
            static_cast<std::vector<std::pair<uint32_t, size_t>>*>(p)->push_back({id, entries.size()});
        },
        &events);
    Bundle* bundle = static_cast<Bundle*>(m_manager->createEntry(BUNDLE_TYPE_ID, uuid(1)));
    BundleItem* item = static_cast<BundleItem*>(m_manager->createEntry(THEME_TYPE_ID, uuid(2)));
    bundle->addEntry(item);
    m_manager->addEntries({bundle, item});
    m_manager->addEntries({item}); // already loaded: nothing for it, the event still goes
    EXPECT_EQ(2, bundle->getRefCount());
    EXPECT_EQ(2, item->getRefCount());
    EXPECT_EQ(1, m_themes->installed);
    EXPECT_EQ(bundle, m_manager->getBundle(uuid(1)));
    EXPECT_EQ(nullptr, m_manager->getBundle(uuid(2)));
    EXPECT_EQ(item, m_manager->findEntry(uuid(2)));

    // Removing the bundle takes its items with it; keep hands the bundle back.
    item->addRef();
    m_manager->removeEntries({bundle}, true);
    EXPECT_EQ(1, m_themes->uninstalled);
    EXPECT_EQ(nullptr, m_manager->findEntry(uuid(2)));
    EXPECT_FALSE(item->isInstalled());
    EXPECT_EQ(2, bundle->getRefCount());
    EXPECT_EQ(2, item->getRefCount());
    std::vector<std::pair<uint32_t, size_t>> expected{{BundleManager::EVENT_INSTALLED, 2},
                                                      {BundleManager::EVENT_INSTALLED, 1},
                                                      {BundleManager::EVENT_UNINSTALLED, 2}};
    EXPECT_EQ(expected, events);
    item->release();
    item->release();
    bundle->release();
    bundle->release();
}

TEST_F(BundleManagerTest, LoadsBothRootsAsOneEntryPerUuid) {
    makeManager(&host);
    std::wstring shipped = putBundle(L"root", L"tools", 1, L"Tools");
    putItem(shipped, L"themes/dark." + uuidText(2) + L".cvTheme", L"Dark");
    putItem(shipped, L"themes/light." + uuidText(3) + L".CVTHEME", L"Light"); // extension without regard to case
    putItem(shipped, L"themes/.hidden." + uuidText(4) + L".cvTheme", L"Hidden");
    putItem(shipped, L"themes/noextension", L"Bad");
    putItem(shipped, L"themes/other." + uuidText(5) + L".cvSnippet", L"Other kind");
    putItem(shipped, L"snippets/s." + uuidText(6) + L".cvTheme", L"Wrong folder");
    std::wstring user = putBundle(L"user", L"tools", 1, L"My Tools");
    putItem(user, L"themes/dark." + uuidText(2) + L".cvTheme", L"My Dark");
    putBundle(L"root", L".git", 7, L"Hidden bundle");
    putText(L"user:bundles/noextension/info.cvInfo", L"{ title: \"Bad bundle\" }");

    zemtest::LogCapture capture(BundleManager::logSource());
    ASSERT_TRUE(loadAndWait());
    EXPECT_FALSE(m_lastStopped);
    std::vector<std::wstring> texts = logTexts(capture);
    ASSERT_LE(2u, texts.size());
    EXPECT_EQ(L"Binary cache not found.", texts[0]);
    EXPECT_EQ(L"There was an error while restoring from the cache. Reloading with full scan.", texts[1]);
    EXPECT_EQ((std::vector<std::wstring>{L"Loading bundles..."}), host.statuses);
    EXPECT_EQ(1u, host.popped.size());

    std::vector<Bundle*> bundles;
    m_manager->getBundles(bundles);
    ASSERT_EQ(1u, bundles.size());
    EXPECT_EQ(L"My Tools", bundles[0]->getTitle());
    EXPECT_EQ(2u, bundles[0]->getLocations().size());
    std::vector<BundleEntry*> themes;
    m_manager->getEntriesOfType(THEME_TYPE_ID, themes);
    ASSERT_EQ(2u, themes.size());
    BundleEntry* dark = m_manager->findEntry(uuid(2));
    ASSERT_NE(nullptr, dark);
    EXPECT_EQ(L"My Dark", dark->getTitle());
    EXPECT_FALSE(dark->isModified());
    EXPECT_EQ(bundles[0], static_cast<BundleItem*>(dark)->getBundle());
    EXPECT_NE(nullptr, m_manager->findEntry(uuid(3)));
    // Only the manager holds them once the load has ended.
    EXPECT_EQ(1, dark->getRefCount());
    EXPECT_EQ(1, bundles[0]->getRefCount());

    MenuRecorder menu;
    m_manager->buildBundlesMenu(menu);
    std::vector<std::wstring> expected{L"&Bundle Editor|bundles.editor", L"&Reload Bundles|bundles.reload", L"---"};
    EXPECT_EQ(expected, menu.lines); // the bundle's menu is empty: themes are not in menus
}

TEST_F(BundleManagerTest, DeliversInBatchesOfFifty) {
    makeManager();
    std::wstring folder = putBundle(L"root", L"many", 1, L"Many");
    for (int i = 0; i < 120; ++i)
        putItem(folder, L"themes/t" + std::to_wstring(i) + L"." + uuidText(100 + i) + L".cvTheme", L"T");
    std::vector<size_t> sizes;
    m_manager->onEntryEvent.add(
        [](void* p, BundleManager*, uint32_t id, const std::vector<BundleEntry*>& entries) {
            if (id == BundleManager::EVENT_INSTALLED)
                static_cast<std::vector<size_t>*>(p)->push_back(entries.size());
        },
        &sizes);
    ASSERT_TRUE(loadAndWait());
    EXPECT_EQ((std::vector<size_t>{1, 50, 50, 20}), sizes);
}

TEST_F(BundleManagerTest, AnItemWithoutItsBundleIsLoggedAndLeftOut) {
    makeManager();
    // A bundle folder whose information file names another UUID than the folder.
    putText(L"root:bundles/odd.cvBundle/themes/t." + uuidText(2) + L".cvTheme", L"{ title: \"T\" }");
    std::wstring folder = putBundle(L"root", L"ok", 1, L"Ok");
    putItem(folder, L"themes/u." + uuidText(3) + L".cvTheme", L"U");
    ASSERT_TRUE(loadAndWait());
    EXPECT_NE(nullptr, m_manager->findEntry(uuid(3)));
    std::vector<BundleEntry*> themes;
    m_manager->getEntriesOfType(THEME_TYPE_ID, themes);
    // The nameless bundle folder is a bundle too (its UUID comes from its name), so both load.
    EXPECT_EQ(2u, themes.size());
}

// Caught: a program started without its shipped bundles ran with no grammar and no snippet
// and its log said nothing of it; the user's bundles still load.
TEST_F(BundleManagerTest, ALoadWithoutTheShippedBundlesSaysSoInTheLog) {
    const std::wstring missing = L"No shipped bundles: root:bundles/ cannot be read.";
    for (bool shipped : {false, true}) {
        makeManager();
        putBundle(L"user", L"mine", 1, L"Mine");
        if (shipped)
            putBundle(L"root", L"tools", 2, L"Tools");
        zemtest::LogCapture capture(BundleManager::logSource());
        ASSERT_TRUE(loadAndWait());
        std::vector<std::wstring> texts = logTexts(capture);
        EXPECT_EQ(shipped ? 0 : 1, std::count(texts.begin(), texts.end(), missing)) << shipped;
        EXPECT_NE(nullptr, m_manager->findEntry(uuid(1))) << shipped;
    }
}

TEST_F(BundleManagerTest, SecondLoadWhileRunningStartsNothingAndResetStopsTheRun) {
    makeManager();
    putBundle(L"root", L"a", 1, L"A");
    ASSERT_TRUE(m_manager->load());
    EXPECT_TRUE(m_manager->isLoading());
    EXPECT_TRUE(m_manager->load());
    // A reset now ends the run as stopped; nothing arrives afterwards.
    ASSERT_TRUE(m_manager->reset());
    EXPECT_EQ(1, m_loadsEnded);
    EXPECT_TRUE(m_lastStopped);
    EXPECT_FALSE(m_manager->isLoading());
    m_window.pumpUntil([] { return false; }, 200);
    std::vector<Bundle*> bundles;
    m_manager->getBundles(bundles);
    EXPECT_TRUE(bundles.empty());
    EXPECT_EQ(1, m_loadsEnded);
    // Reload then gives the full set.
    int before = m_loadsEnded;
    ASSERT_TRUE(m_manager->reload());
    ASSERT_TRUE(m_window.pumpUntil([&] { return m_loadsEnded > before; }));
    m_manager->getBundles(bundles);
    EXPECT_EQ(1u, bundles.size());
}

TEST_F(BundleManagerTest, ARefusedResetStopsReloadAndEnable) {
    makeManager(&host);
    putBundle(L"root", L"a", 1, L"A");
    ASSERT_TRUE(loadAndWait());
    host.allowClose = false;
    EXPECT_FALSE(m_manager->reload());
    ASSERT_TRUE(m_manager->disableEntry(uuid(1)));
    EXPECT_FALSE(m_manager->enableEntry(uuid(1)));
    EXPECT_TRUE(m_manager->isDisabled(uuid(1)));
}

TEST_F(BundleManagerTest, DisabledEntriesStayOutOfLoadsAndSurviveTheConfiguration) {
    makeManager();
    std::wstring a = putBundle(L"root", L"a", 1, L"A");
    putItem(a, L"themes/t." + uuidText(2) + L".cvTheme", L"T");
    putItem(a, L"themes/u." + uuidText(3) + L".cvTheme", L"U");
    putBundle(L"root", L"b", 4, L"B");
    ASSERT_TRUE(loadAndWait());
    int changed = 0;
    m_manager->onDisabledChanged.add([](void* p, BundleManager*) { ++*static_cast<int*>(p); }, &changed);

    EXPECT_TRUE(m_manager->disableEntry(uuid(99))); // no such entry: nothing changes
    EXPECT_FALSE(m_manager->enableEntry(uuid(99)));
    EXPECT_EQ(0, changed);
    ASSERT_TRUE(m_manager->disableEntry(uuid(3)));
    ASSERT_TRUE(m_manager->disableEntry(uuid(1)));
    EXPECT_EQ(2, changed);
    EXPECT_EQ(nullptr, m_manager->findEntry(uuid(2)));
    std::vector<DisabledEntryRecord> records;
    m_manager->getDisabledEntries(records);
    ASSERT_EQ(2u, records.size());
    for (const DisabledEntryRecord& record : records) {
        if (record.typeId == BUNDLE_TYPE_ID)
            EXPECT_EQ(1, record.childrenCount); // u had gone already
        else
            EXPECT_EQ(L"A", record.bundleTitle);
    }

    ASSERT_TRUE(loadAndWait());
    EXPECT_EQ(nullptr, m_manager->findEntry(uuid(1)));
    EXPECT_NE(nullptr, m_manager->findEntry(uuid(4)));

    // Written at exit, read back by the next manager when its first load starts.
    m_manager->onConfigExit(*m_config);
    m_manager.reset();
    makeManager();
    ASSERT_TRUE(loadAndWait());
    EXPECT_TRUE(m_manager->isDisabled(uuid(1)));
    EXPECT_TRUE(m_manager->isDisabled(uuid(3)));
    EXPECT_EQ(nullptr, m_manager->findEntry(uuid(1)));

    // Enabling reloads with the entry back.
    int before = m_loadsEnded;
    ASSERT_TRUE(m_manager->enableEntry(uuid(1)));
    ASSERT_TRUE(m_window.pumpUntil([&] { return m_loadsEnded > before; }));
    EXPECT_NE(nullptr, m_manager->findEntry(uuid(1)));
    EXPECT_NE(nullptr, m_manager->findEntry(uuid(2)));
    EXPECT_EQ(nullptr, m_manager->findEntry(uuid(3)));
}

TEST_F(BundleManagerTest, ARecordOfAnUnregisteredKindIsDropped) {
    // Written by a manager that knew the theme kind, read by one that does not.
    makeManager();
    std::wstring a = putBundle(L"root", L"a", 1, L"A");
    putItem(a, L"themes/t." + uuidText(2) + L".cvTheme", L"T");
    ASSERT_TRUE(loadAndWait());
    ASSERT_TRUE(m_manager->disableEntry(uuid(2)));
    m_manager->onConfigExit(*m_config);
    m_manager.reset();
    m_manager.reset(new BundleManager());
    m_manager->onConfigReady(*m_config);
    m_manager->onLoadEnd.add([](void* count, BundleManager*, bool) { ++*static_cast<int*>(count); }, &m_loadsEnded);
    ASSERT_TRUE(loadAndWait());
    EXPECT_FALSE(m_manager->isDisabled(uuid(2)));
}

TEST_F(BundleManagerTest, MenuListsBundlesWithMenusByTitle) {
    makeManager();
    std::wstring b = putBundle(L"root", L"b", 1, L"beta");
    putText(b + L"/info." + uuidText(1) + L".cvInfo", L"{ title: \"beta\", menu: [ { title: \"X\", item_id: \"x\" } ] }");
    std::wstring a = putBundle(L"root", L"a", 2, L"Alpha");
    putText(a + L"/info." + uuidText(2) + L".cvInfo", L"{ title: \"Alpha\", menu: [ { title: \"Y\", item_id: \"y\" } ] }");
    MenuRecorder empty;
    m_manager->buildBundlesMenu(empty);
    EXPECT_EQ(L"No bundles available.||off", empty.lines.back());
    ASSERT_TRUE(loadAndWait());
    MenuRecorder menu;
    m_manager->buildBundlesMenu(menu);
    ASSERT_EQ(5u, menu.lines.size());
    EXPECT_EQ(L"> Alpha", menu.lines[3]);
    EXPECT_EQ(L"> beta", menu.lines[4]);
}

TEST_F(BundleManagerTest, APresentCacheIsReadNeverAcceptedAndDeleted) {
    makeManager();
    putBytes(L"user:bundles.cvCache", std::string("\x01\x02\x03\x04\x05", 5));
    putBundle(L"root", L"a", 1, L"A");
    zemtest::LogCapture capture(BundleManager::logSource());
    ASSERT_TRUE(loadAndWait());
    std::vector<std::wstring> texts = logTexts(capture);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(L"There was an error while restoring from the cache. Reloading with full scan.", texts[0]);
    EXPECT_FALSE(exists(L"user:bundles.cvCache"));
    EXPECT_NE(nullptr, m_manager->findEntry(uuid(1)));
}
