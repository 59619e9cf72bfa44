#include "corvel/widgets/afDock.h"
#include "WidgetHost.h"
#include "corvel/document/ScopePath.h"
#include "corvel/widgets/afDataObjectScalar.h"
#include "corvel/widgets/afDockSlot.h"
#include "corvel/widgets/afDockSlotController.h"
#include "corvel/widgets/afDropTarget.h"
#include "support/SlotDropScript.h"
#include "zem/base/Exception.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace corvel;
using widgetstest::HostWindow;

namespace {

typedef std::vector<std::string> Log;

// Slots carry their name as the controller's data word.
std::string nameOf(const afDockSlot* slot) {
    return slot ? static_cast<const char*>(slot->getData()) : "-";
}

class LoggingController : public afDockSlotController {
public:
    LoggingController(const char* name, Log& log) : afDockSlotController(0x2FB3D0EEu), m_name(name), m_log(log) {}

    afView* createSlotView(afDockSlot*) override { return nullptr; }
    void onSlotInserted(afDockSlot* slot) override { say("inserted", slot); }
    void onSlotRemoved(afDockSlot* slot, bool deleting) override { say(deleting ? "deleted" : "detached", slot); }
    void onSlotsClosing(std::vector<afDockSlot*>& slots) override {
        std::string names;
        for (afDockSlot* slot : slots)
            names += nameOf(slot);
        m_log.push_back(m_name + ".closing " + names);
        if (keepAll)
            slots.clear();
    }
    void onSlotActivated(afDockSlot* slot) override { say("activated", slot); }
    void onSlotDeactivated(afDockSlot* slot) override { say("deactivated", slot); }
    void getSlotScope(afDockSlot*, ScopePath& path) override { path.push(L"ui.data.test"); }
    int getSlotDragData(afDockSlot*, afDataObjectComposite*) override { return dragActions; }

    bool keepAll = false;
    int dragActions = 1 | 8; // none, move

private:
    void say(const char* what, afDockSlot* slot) { m_log.push_back(m_name + "." + what + " " + nameOf(slot)); }

    std::string m_name;
    Log& m_log;
};

// A dock that makes one container per slot (or none, or one for all) and logs its
// notifications.
class TestDock : public afDock {
public:
    TestDock(afView* parent, Log& log) : afDock(parent), m_log(log) { afViewPlatform::create(); }

    void createSlotView(afDockSlot* slot) override {
        if (giveNoView)
            return;
        if (shareView) {
            if (!m_shared)
                m_shared = afContainer::create(this);
            slot->setView(m_shared);
            return;
        }
        slot->setView(afContainer::create(this));
    }
    void onSlotInserted(afDockSlot* slot, int position) override {
        m_log.push_back("dock.inserted " + nameOf(slot) + "@" + std::to_string(position));
    }
    void onSlotRemoved(afDockSlot* slot, bool deleting) override {
        m_log.push_back(std::string("dock.") + (deleting ? "deleted " : "detached ") + nameOf(slot));
    }
    void onSlotsRemoving(std::vector<afDockSlot*>& slots) override {
        std::string names;
        for (afDockSlot* slot : slots)
            names += nameOf(slot);
        m_log.push_back("dock.removing " + names);
    }
    void onActiveSlotChanged(afDockSlot* previous) override { m_log.push_back("dock.active from " + nameOf(previous)); }
    void onSlotMoved(afDockSlot* slot, int position) override {
        m_log.push_back("dock.moved " + nameOf(slot) + "@" + std::to_string(position));
    }
    void onActiveViewChanged(afDockSlot* slot, afDockSlot* previous) override {
        m_log.push_back("dock.view " + nameOf(slot) + " from " + nameOf(previous));
    }

    // Slots drop 50 pixels apart.
    int dropPosition(int x, int, POINT*) override { return x / 50; }
    // OLE calls the target under the pointer from inside the drag: here the drop goes to
    // dropOnto at x, by hand.
    int runSlotDrag(afDataObject* data, int allowed) override {
        dragAllowed = allowed;
        return dropOnto ? deliverDrop(*dropOnto, data, dropX, allowed) : 0;
    }
    static DWORD deliverDrop(TestDock& onto, afDataObject* data, int x, int allowed) {
        widgetstest::SlotDropScript script;
        script.at = POINT{x, 10};
        return script.run(onto, data, allowed);
    }

    bool giveNoView = false;
    bool shareView = false;
    TestDock* dropOnto = nullptr;
    int dropX = 0;
    int dragAllowed = 0;

private:
    Log& m_log;
    afContainer* m_shared = nullptr;
};

struct DockTest : ::testing::Test {
    afDockSlot* add(const char* name, LoggingController& controller, int position = -1) {
        return dock.addSlot(&controller, const_cast<char*>(name), afDockSlot::DEFAULT_ID, position).second;
    }
    // The slots' names in the order asked for.
    std::string order(afDock& of, int which = AF_ORDER_POSITION) {
        std::string names;
        for (int i = 0; afDockSlot* slot = of.getSlot(i, which); ++i)
            names += nameOf(slot);
        return names;
    }
    ::testing::AssertionResult logged(const Log& expected) {
        Log actual;
        actual.swap(log);
        if (actual == expected)
            return ::testing::AssertionSuccess();
        std::string text;
        for (const std::string& line : actual)
            text += "\n  " + line;
        return ::testing::AssertionFailure() << "calls were:" << text;
    }

    HostWindow host;
    Log log;
    LoggingController files{"files", log};
    LoggingController projects{"projects", log};
    TestDock dock{&host, log};
};

TEST_F(DockTest, AddingPlacesSlotsAndTellsDockThenController) {
    EXPECT_EQ(0, dock.addSlot(&files, const_cast<char*>("a")).first);
    afDockSlot* b = add("b", files, 0);
    EXPECT_EQ(2, dock.addSlot(&files, const_cast<char*>("c"), 7, 99).first); // out of range appends
    EXPECT_EQ("bac", order(dock));
    EXPECT_TRUE(logged({"dock.inserted a@0", "files.inserted a", "dock.inserted b@0", "files.inserted b",
                        "dock.inserted c@2", "files.inserted c"}));
    EXPECT_EQ(&dock, b->getDock());
    EXPECT_NE(nullptr, b->getView());
    EXPECT_EQ(7u, dock.getSlot(2)->getId());
    EXPECT_EQ(afDockSlot::DEFAULT_ID, b->getType());
    EXPECT_EQ(nullptr, dock.getActiveSlot());
}

TEST_F(DockTest, ActivationTellsDockThenOldThenNewController) {
    afDockSlot* a = add("a", files);
    afDockSlot* b = add("b", projects);
    log.clear();
    dock.setActiveSlot(a);
    EXPECT_TRUE(logged({"dock.active from -", "files.activated a", "dock.view a from -"}));
    dock.setActiveSlot(a); // already active
    EXPECT_TRUE(logged({}));
    dock.setActiveSlot(b);
    EXPECT_TRUE(logged({"dock.active from a", "files.deactivated a", "projects.activated b", "dock.view b from a"}));
    dock.setActiveSlot(nullptr);
    EXPECT_TRUE(logged({"dock.active from b", "projects.deactivated b", "dock.view - from b"}));
    EXPECT_EQ(nullptr, dock.getActiveSlot());
}

TEST_F(DockTest, SlotsSharingAViewDoNotSwitchIt) {
    dock.shareView = true;
    afDockSlot* a = add("a", files);
    afDockSlot* b = add("b", files);
    dock.setActiveSlot(a);
    log.clear();
    dock.setActiveSlot(b);
    EXPECT_TRUE(logged({"dock.active from a", "files.deactivated a", "files.activated b"}));
}

TEST_F(DockTest, ClosingTheActiveSlotShowsTheNextOrElseThePrevious) {
    afDockSlot* a = add("a", files);
    afDockSlot* b = add("b", files);
    afDockSlot* c = add("c", files);
    dock.setActiveSlot(b);
    log.clear();
    EXPECT_TRUE(dock.removeSlot(b));
    EXPECT_TRUE(logged({"files.closing b", "dock.removing b", "dock.active from b", "files.deactivated b",
                        "files.activated c", "dock.view c from b", "dock.deleted b", "files.deleted b"}));
    EXPECT_EQ(c, dock.getActiveSlot());
    dock.removeSlot(c); // the last one: the one before it
    EXPECT_EQ(a, dock.getActiveSlot());
    dock.removeSlot(a);
    EXPECT_EQ(nullptr, dock.getActiveSlot());
    EXPECT_EQ(0, dock.getSlotCount());
}

// Inserting made the new slot current, so closing the shown slot picked the new slot's
// successor and could leave a deleted slot active.
TEST_F(DockTest, ASlotAddedBehindTheActiveOneDoesNotChangeItsSuccessor) {
    add("a", files);
    afDockSlot* b = add("b", files);
    afDockSlot* c = add("c", files);
    dock.setActiveSlot(b);
    add("d", files, 0); // in the background
    EXPECT_EQ(b, dock.getAdjacentSlot(AF_DOCK_CURRENT));
    EXPECT_EQ(c, dock.getAdjacentSlot(AF_DOCK_NEXT));
    dock.removeSlot(b);
    EXPECT_EQ(c, dock.getActiveSlot());
    dock.removeOtherSlots(c);
    EXPECT_EQ("c", order(dock));
    EXPECT_EQ(c, dock.getActiveSlot());
}

TEST_F(DockTest, ActivationOrderFollowsTheLastActivated) {
    afDockSlot* a = add("a", files);
    afDockSlot* b = add("b", files);
    afDockSlot* c = add("c", files);
    dock.setActiveSlot(a);
    dock.setActiveSlot(b);
    dock.setActiveSlot(c);
    dock.setActiveSlot(b);
    EXPECT_EQ("acb", order(dock, AF_ORDER_ACTIVATION));
    EXPECT_EQ("abc", order(dock));
    EXPECT_EQ(c, dock.getAdjacentSlot(AF_DOCK_PREVIOUS, AF_ORDER_ACTIVATION));
    EXPECT_EQ(a, dock.getAdjacentSlot(AF_DOCK_NEXT, AF_ORDER_ACTIVATION)); // wraps round
    EXPECT_EQ(a, dock.getAdjacentSlot(AF_DOCK_PREVIOUS, AF_ORDER_POSITION));
    EXPECT_EQ(c, dock.getAdjacentSlot(AF_DOCK_SUCCESSOR, AF_ORDER_POSITION));
}

TEST_F(DockTest, ControllersHearOnceWithTheirOwnSlotsAndMayKeepThem) {
    add("a", files);
    add("b", projects);
    add("c", files);
    projects.keepAll = true;
    log.clear();
    dock.removeAllSlots();
    EXPECT_TRUE(logged({"files.closing ac", "projects.closing b", "dock.removing ac", "dock.deleted a",
                        "files.deleted a", "dock.deleted c", "files.deleted c"}));
    EXPECT_EQ("b", order(dock));
    files.keepAll = true;
    dock.removeAllSlots();
    EXPECT_EQ("b", order(dock));
}

TEST_F(DockTest, InsertingASlotOfThisDockMovesIt) {
    afDockSlot* a = add("a", files);
    add("b", files);
    add("c", files);
    log.clear();
    EXPECT_EQ(1, dock.insertSlot(a, 2)); // counted after its own removal
    EXPECT_EQ("bac", order(dock));
    EXPECT_EQ(2, dock.insertSlot(a, 40));
    EXPECT_EQ("bca", order(dock));
    EXPECT_TRUE(logged({"dock.moved a@1", "dock.moved a@2"}));
}

TEST_F(DockTest, InsertingASlotOfAnotherDockDetachesItThere) {
    TestDock other(&host, log);
    afDockSlot* a = add("a", files);
    add("b", files);
    dock.setActiveSlot(a);
    log.clear();
    EXPECT_EQ(0, other.insertSlot(a, 0));
    EXPECT_TRUE(logged({"dock.active from a", "files.deactivated a", "files.activated b", "dock.view b from a",
                        "dock.detached a", "files.detached a", "dock.inserted a@0", "files.inserted a"}));
    EXPECT_EQ(&other, a->getDock());
    EXPECT_EQ("b", order(dock));
    EXPECT_EQ("a", order(other));
    // Slots of the other dock are not this dock's business.
    EXPECT_FALSE(dock.removeSlot(a));
    EXPECT_EQ(-1, dock.getSlotIndex(a));
    dock.setActiveSlot(a);
    EXPECT_NE(a, dock.getActiveSlot());
    dock.removeOtherSlots(a);
    EXPECT_EQ("b", order(dock));
}

// A slot left without a view stayed in the orders, so the dock showed and deleted a
// slot nobody held.
TEST_F(DockTest, ASlotWithoutAViewLeavesTheDockUnchanged) {
    afDockSlot* a = add("a", files);
    dock.setActiveSlot(a);
    dock.giveNoView = true;
    log.clear();
    EXPECT_THROW(add("b", files), zem::NullPointerException);
    afDockSlot loose(&files, const_cast<char*>("c"), 1);
    try {
        dock.insertSlot(&loose, 0);
        ADD_FAILURE() << "no exception";
    } catch (const zem::NullPointerException& e) {
        EXPECT_EQ(L"Slot requires a view to be associated.", e.message());
    }
    EXPECT_EQ(nullptr, loose.getDock());
    EXPECT_EQ("a", order(dock));
    EXPECT_EQ("a", order(dock, AF_ORDER_ACTIVATION));
    EXPECT_EQ(a, dock.getAdjacentSlot(AF_DOCK_CURRENT));
    EXPECT_TRUE(logged({}));
}

TEST_F(DockTest, BadIndexesOrdersAndDirectionsGiveNothing) {
    add("a", files);
    dock.setActiveSlot(dock.getSlot(0));
    EXPECT_EQ(nullptr, dock.getSlot(-1));
    EXPECT_EQ(nullptr, dock.getSlot(1));
    EXPECT_EQ(nullptr, dock.getSlot(0, 2));
    EXPECT_EQ(nullptr, dock.getAdjacentSlot(4));
    EXPECT_EQ(nullptr, dock.getAdjacentSlot(-1));
    EXPECT_EQ(nullptr, dock.getAdjacentSlot(AF_DOCK_CURRENT, 7));
    EXPECT_EQ(nullptr, dock.getAdjacentSlot(AF_DOCK_SUCCESSOR)); // the only one
    EXPECT_EQ(-1, dock.getSlotIndex(nullptr));
    EXPECT_EQ(-1, dock.insertSlot(nullptr, 0));
    EXPECT_FALSE(dock.removeSlot(nullptr));
}

TEST_F(DockTest, ScopeComesFromTheActiveSlotsController) {
    EXPECT_EQ(nullptr, dock.getScopePath().find(L"ui.data.test"));
    dock.setActiveSlot(add("a", files));
    ScopePath& path = dock.getScopePath();
    ASSERT_NE(nullptr, path.find(L"ui.data.test"));
    EXPECT_NE(nullptr, path.find(L"ui.dock"));
}

TEST_F(DockTest, FocusTellsTheListenersFirst) {
    afDockSlot* a = add("a", files);
    std::vector<afDock*> told;
    auto listener = [](void* out, afDock* focused) { static_cast<std::vector<afDock*>*>(out)->push_back(focused); };
    dock.focusListeners().add(listener, &told);
    SetFocus(static_cast<afViewPlatform*>(a->getView())->getHandle());
    SetFocus(host.getHandle());
    SetFocus(dock.getHandle());
    EXPECT_EQ((std::vector<afDock*>{&dock, &dock}), told);
}

struct DockDropTest : DockTest {
    void SetUp() override {
        dock.setFrameRect(0, 0, 300, 40);
        other.setFrameRect(0, 100, 300, 40);
        a = add("a", files);
        b = add("b", files);
        c = add("c", files);
        log.clear();
    }

    TestDock other{&host, log};
    afDockSlot* a = nullptr;
    afDockSlot* b = nullptr;
    afDockSlot* c = nullptr;
};

TEST_F(DockDropTest, DraggingASlotOntoItsOwnDockMovesItToTheDropPosition) {
    ASSERT_NE(nullptr, dock.getDropTarget());
    dock.dropOnto = &dock;
    dock.dropX = 160; // position 3: the end
    EXPECT_TRUE(dock.dragSlot(a));
    EXPECT_EQ(1 | 8 | 16, dock.dragAllowed); // the controller's actions and link
    EXPECT_EQ("bca", order(dock));
    EXPECT_TRUE(logged({"dock.moved a@2"}));
}

TEST_F(DockDropTest, DraggingASlotOntoAnotherDockDetachesItThere) {
    dock.dropOnto = &other;
    dock.dropX = 10;
    EXPECT_TRUE(dock.dragSlot(b));
    EXPECT_EQ("ac", order(dock));
    EXPECT_EQ("b", order(other));
    EXPECT_EQ(&other, b->getDock());
    EXPECT_FALSE(other.dragSlot(a)); // not its slot
}

TEST_F(DockDropTest, ADragOfferingOnlyLinkDropsNothingWithoutModifiers) {
    files.dragActions = 1;
    dock.dropOnto = &other;
    EXPECT_TRUE(dock.dragSlot(a));
    EXPECT_EQ("abc", order(dock));
}

// The slot value is a pointer: one that came from another instance must never be read,
// even when it equals the address of a slot here.
TEST_F(DockDropTest, ASlotValueNotDraggedByThisProcessMovesNothing) {
    afDataObjectScalar<afDockSlot*> foreign(L"afDockSlot", a);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), TestDock::deliverDrop(other, &foreign, 10, 1 | 8 | 16));
    EXPECT_EQ("abc", order(dock));
    EXPECT_EQ(0, other.getSlotCount());
    EXPECT_TRUE(logged({}));
}

} // namespace
