#include "corvel/app/DockManager.h"

#include "../../ui_framework/core/tests/support/TestWidgets.h"
#include "corvel/app/Tabs.h"
#include "corvel/config/Config.h"
#include "corvel/widgets/WidgetPalette.h"
#include "support/FakeSlotController.h"

#include <gtest/gtest.h>

#include <memory>

using namespace corvel;
using apptest::FakeSlotController;
using apptest::intern;
using apptest::nameOf;

namespace {

JasmineValue text(const wchar_t* value) {
    JasmineValue v;
    v.setString(value);
    return v;
}

// A slot record as a controller stores it.
JasmineValue slotRecord(uint32_t serializer, const wchar_t* name) {
    JasmineValue slot(JasmineValue::TYPE_DICTIONARY);
    slot.getOrAddEntry(L"serializer").setUnsigned(serializer);
    slot.getOrAddEntry(L"name").setString(name);
    return slot;
}

JasmineValue dockRecord(const JasmineValue& dock, const JasmineValue& slots) {
    JasmineValue record(JasmineValue::TYPE_DICTIONARY);
    record.getOrAddEntry(L"dock") = dock;
    record.getOrAddEntry(L"slots") = slots;
    return record;
}

JasmineValue listOf(std::initializer_list<JasmineValue> elements) {
    JasmineValue list(JasmineValue::TYPE_LIST);
    for (const JasmineValue& element : elements)
        list.appendElement() = element;
    return list;
}

class DockManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.create();
        palette = std::make_unique<WidgetPalette>();
        config.declareValue(L"app.docks", ConfigValue::TYPE_LIST);
        manager = std::make_unique<DockManager>();
        tabs = Tabs::create(&host);
        bottom = Tabs::create(&host);
        left = Tabs::create(&host);
        manager->registerDock(L"main.tabs", tabs);
        manager->registerDock(L"main.bottom", bottom);
        manager->registerDock(L"main.left", left);
        manager->registerSlotController(&files);
        manager->registerSlotController(&projects);
    }
    void TearDown() override { manager.reset(); }

    afDockSlot* add(afDock* dock, FakeSlotController& controller, const char* name) {
        return dock->addSlot(&controller, const_cast<char*>(intern(name))).second;
    }
    static std::string names(afDock* dock) {
        std::string out;
        for (int i = 0; i < dock->getSlotCount(); ++i)
            out += (out.empty() ? "" : ",") + nameOf(dock->getSlot(i));
        return out;
    }
    void setDocks(std::initializer_list<JasmineValue> records) {
        ConfigValue::List list;
        for (const JasmineValue& record : records) {
            list.emplace_back();
            if (record.isDictionary())
                list.back().setJasmine(record);
            else
                list.back().fromJasmineValue(record);
        }
        config.getValue(L"app.docks")->setList(list);
    }

    uitest::WithResources resources;
    uitest::TestWidget host{nullptr, false};
    std::unique_ptr<WidgetPalette> palette;
    Config config;
    std::unique_ptr<DockManager> manager;
    Tabs* tabs = nullptr;
    Tabs* bottom = nullptr;
    Tabs* left = nullptr;
    FakeSlotController files{L"files"};
    FakeSlotController projects{L"projects"};
};

} // namespace

TEST_F(DockManagerTest, StoreAndRestoreGiveEveryDockItsSlotsBack) {
    add(tabs, files, "a.txt");
    add(tabs, projects, "proj");
    add(tabs, files, "secret");
    add(tabs, files, "b.txt");
    add(bottom, projects, "list");
    // Caught: a dock whose only slot declined was stored with an empty slot list.
    add(left, files, "untitled");
    files.refused = {"secret", "untitled"};
    manager->store(config);

    const ConfigValue::List& stored = config.getValue(L"app.docks")->getList();
    ASSERT_EQ(2u, stored.size()); // the sidebar, nothing of it stored, writes no entry
    for (const ConfigValue& element : stored)
        EXPECT_STRNE(L"main.left", element.getJasmine()->find(L"dock").asString(L""));
    const JasmineValue* first = stored[0].getJasmine();
    ASSERT_NE(nullptr, first);
    EXPECT_STREQ(L"main.tabs", first->find(L"dock").asString(L""));
    ASSERT_EQ(3u, first->find(L"slots").listSize());
    const JasmineValue* slot = nullptr;
    const JasmineValue* end = nullptr;
    first->find(L"slots").listRange(slot, end);
    EXPECT_EQ(files.getControllerId(), slot[0].find(L"serializer").asUnsigned(0));
    EXPECT_STREQ(L"a.txt", slot[0].find(L"name").asString(L""));
    EXPECT_EQ(projects.getControllerId(), slot[1].find(L"serializer").asUnsigned(0));
    EXPECT_STREQ(L"b.txt", slot[2].find(L"name").asString(L""));
    EXPECT_EQ((std::vector<std::string>{"serialize.begin", "serialize.end"}), files.events);

    // A later start: fresh docks under the same names.
    manager = std::make_unique<DockManager>();
    Tabs* tabs2 = Tabs::create(&host);
    Tabs* bottom2 = Tabs::create(&host);
    manager->registerDock(L"main.tabs", tabs2);
    manager->registerDock(L"main.bottom", bottom2);
    manager->registerSlotController(&files);
    manager->registerSlotController(&projects);
    files.events.clear();
    projects.events.clear();
    manager->restore(config);
    EXPECT_EQ("a.txt,proj,b.txt", names(tabs2));
    EXPECT_EQ("list", names(bottom2));
    EXPECT_EQ((std::vector<std::string>{"deserialize.begin", "deserialize.end"}), files.events);
    EXPECT_EQ((std::vector<std::string>{"deserialize.begin", "deserialize.end"}), projects.events);
}

TEST_F(DockManagerTest, MalformedPartsOfTheStoredDocksAreSkipped) {
    uint32_t fileId = files.getControllerId();
    JasmineValue slots = listOf({slotRecord(fileId, L"kept"), text(L"not a slot"), slotRecord(0x12345678u, L"lost"),
                                 slotRecord(fileId, L"kept2")});
    JasmineValue noSerializer(JasmineValue::TYPE_DICTIONARY);
    noSerializer.getOrAddEntry(L"name").setString(L"orphan");
    setDocks({
        text(L"not a dictionary"),
        dockRecord(text(L"main.gone"), listOf({slotRecord(fileId, L"gone")})),
        dockRecord(text(L"main.bottom"), text(L"not a list")),
        dockRecord(JasmineValue(JasmineValue::TYPE_INT), listOf({slotRecord(fileId, L"unnamed")})),
        dockRecord(text(L"main.left"), listOf({noSerializer})),
        dockRecord(text(L"main.tabs"), slots),
    });
    manager->restore(config);
    EXPECT_EQ("kept,kept2", names(tabs));
    EXPECT_EQ("", names(bottom));
    EXPECT_EQ("", names(left));

    // Not a list at all: nothing restored, the notifications still come in pairs.
    config.getValue(L"app.docks")->clear();
    files.events.clear();
    manager->restore(config);
    EXPECT_EQ((std::vector<std::string>{"deserialize.begin", "deserialize.end"}), files.events);
}

TEST_F(DockManagerTest, RegistrationKeepsTheFirstAndNullFindsNothing) {
    FakeSlotController second{L"files"};
    manager->registerSlotController(&second);
    EXPECT_EQ(&files, manager->findController(zem::symbolId(L"files")));
    FakeSlotController nullNamed{L"null"};
    manager->registerSlotController(&nullNamed);
    EXPECT_EQ(nullptr, manager->findController(zem::symbolId(L"null")));
    EXPECT_EQ(nullptr, manager->findController(0x12345678u));

    manager->registerDock(L"main.tabs", bottom);
    EXPECT_EQ(tabs, manager->findDock(L"main.tabs"));
    EXPECT_EQ(L"main.bottom", manager->getDockName(bottom));

    manager->unregisterDock(left);
    EXPECT_EQ(nullptr, manager->findDock(L"main.left"));
    add(left, files, "x");
    manager->store(config);
    EXPECT_EQ(0u, config.getValue(L"app.docks")->getList().size());
}

TEST_F(DockManagerTest, TheDockThatTakesTheFocusBecomesCurrent) {
    EXPECT_EQ(nullptr, manager->getCurrentDock());
    bottom->onChildFocus(bottom, true);
    EXPECT_EQ(bottom, manager->getCurrentDock());
    tabs->onChildFocus(tabs, true);
    EXPECT_EQ(tabs, manager->getCurrentDock());
    manager->unregisterDock(tabs);
    EXPECT_EQ(nullptr, manager->getCurrentDock());
    EXPECT_EQ(manager.get(), DockManager::instance());
    manager.reset();
    EXPECT_EQ(nullptr, DockManager::instance());
}

// The main window and its docks are deleted before the dock manager at exit.
TEST_F(DockManagerTest, ADeletedDockLeavesTheManager) {
    add(bottom, files, "x");
    delete bottom;
    EXPECT_EQ(nullptr, manager->findDock(L"main.bottom"));
    manager->store(config);
    EXPECT_EQ(0u, config.getValue(L"app.docks")->getList().size());
    delete tabs;
    manager.reset(); // touches no freed dock
}
