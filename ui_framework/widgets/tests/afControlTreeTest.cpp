#include "corvel/widgets/afControlTree.h"
#include "WidgetHost.h"
#include "corvel/widgets/afActionInvokerKey.h"
#include "corvel/widgets/afControlTreeInplaceEdit.h"
#include "corvel/widgets/afDataObjectText.h"
#include "corvel/widgets/afDropAction.h"
#include "support/ActionBench.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace corvel;
using widgetstest::HostWindow;
using widgetstest::makeEvent;

namespace {

// Data that tells when it is deleted.
struct Tracked : zem::Object {
    explicit Tracked(int& deletions) : deletions(deletions) {}
    ~Tracked() override { ++deletions; }
    int& deletions;
};

// Receives every callback and writes what it was told into a log.
struct Receiver {
    afControlTree* tree = nullptr;
    std::vector<std::wstring> log;
    bool answer = true;     // of canRename, onRenamed, onNewItemNamed and onItemExpanding
    bool aliveAtEnd = true; // each onRenameEnded found its item in the tree

    std::wstring name(afControlTreeItem* item) { return item ? tree->getItemText(item) : L"(null)"; }

    static void deleted(void* self, afControlTree*, afControlTreeItem* item) {
        auto* r = static_cast<Receiver*>(self);
        r->log.push_back(L"deleted " + r->name(item));
    }
    static void activated(void* self, afControlTree*, afControlTreeItem* item) {
        auto* r = static_cast<Receiver*>(self);
        r->log.push_back(L"activated " + r->name(item));
    }
    static void selected(void* self, afControlTree*, afControlTreeItem* item) {
        auto* r = static_cast<Receiver*>(self);
        r->log.push_back(L"selected " + r->name(item));
    }
    static bool expanding(void* self, afControlTree*, afControlTreeItem* item, bool expand) {
        auto* r = static_cast<Receiver*>(self);
        r->log.push_back(std::wstring(expand ? L"expanding " : L"collapsing ") + r->name(item));
        return r->answer;
    }
    static void beginRename(void* self, afControlTree*, afControlTreeItem* item) {
        auto* r = static_cast<Receiver*>(self);
        r->log.push_back(L"begin " + r->name(item));
    }
    static bool canRename(void* self, afControlTree*, afControlTreeItem* item) {
        auto* r = static_cast<Receiver*>(self);
        r->log.push_back(L"can " + r->name(item));
        return r->answer;
    }
    static bool renamed(void* self, afControlTree*, afControlTreeItem* item, const std::wstring& text, bool cancelled) {
        auto* r = static_cast<Receiver*>(self);
        r->log.push_back(L"renamed " + r->name(item) + L" to '" + text + (cancelled ? L"' cancelled" : L"'"));
        return r->answer;
    }
    static bool named(void* self, afControlTree*, afControlTreeItem* item, const std::wstring& text, bool cancelled) {
        auto* r = static_cast<Receiver*>(self);
        r->log.push_back(L"named " + r->name(item) + L" '" + text + (cancelled ? L"' cancelled" : L"'"));
        return r->answer;
    }
    static void ended(void* self, afControlTree* tree, afControlTreeItem* item) {
        auto* r = static_cast<Receiver*>(self);
        r->log.push_back(L"ended " + r->name(item));
        if (!item || tree->getItem(item->getHandle()) != item)
            r->aliveAtEnd = false;
    }
    static void checked(void* self, afControlTree*, afControlTreeItem* item, bool on) {
        auto* r = static_cast<Receiver*>(self);
        r->log.push_back(L"check " + r->name(item) + (on ? L" on" : L" off"));
    }
    static void menu(void* self, afControlTree* tree, afControlTreeItem* item, int, int) {
        auto* r = static_cast<Receiver*>(self);
        r->log.push_back(L"menu " + r->name(item) + L", selection " + r->name(tree->getSelectedItem()));
    }
    static int byTextDescending(void*, afControlTreeItem* a, afControlTreeItem* b) {
        return b->getTree()->getItemText(b).compare(a->getTree()->getItemText(a));
    }

    void connectRenames() {
        tree->onBeginRename.set(this, &beginRename);
        tree->onRenamed.set(this, &renamed);
        tree->onNewItemNamed.set(this, &named);
        tree->onRenameEnded.set(this, &ended);
    }
};

// A tree whose drags end at once with a chosen action instead of running OLE's loop.
class DragTree : public afControlTree {
public:
    explicit DragTree(afView* parent) : afControlTree(parent) {}
    int runDrag(afDataObject* data, int allowed) override {
        draggedData = data;
        draggedAllowed = allowed;
        return afDropAction::MOVE;
    }
    afDataObject* draggedData = nullptr;
    int draggedAllowed = 0;
};

struct TreeTest : ::testing::Test {
    void SetUp() override {
        ShowWindow(host.getHandle(), SW_SHOWNOACTIVATE);
        tree = new DragTree(&host);
        tree->afViewPlatform::create();
        tree->setFrameRect(0, 0, 200, 140);
        receiver.tree = tree;
    }

    // Folders a (with a1, a2) and b (with b1, which holds b11), then c.
    void fill() {
        a = tree->insertItem(nullptr, L"a");
        a1 = tree->insertItem(a, L"a1");
        a2 = tree->insertItem(a, L"a2");
        b = tree->insertItem(nullptr, L"b");
        b1 = tree->insertItem(b, L"b1");
        b11 = tree->insertItem(b1, L"b11");
        c = tree->insertItem(nullptr, L"c");
    }
    // Sends a notification from the tree to its parent window, as the native tree does.
    LRESULT notify(NMHDR& header, UINT code) {
        header.hwndFrom = tree->getHandle();
        header.code = code;
        return SendMessageW(host.getHandle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
    }
    HWND beginEdit(afControlTreeItem* item) {
        return reinterpret_cast<HWND>(
            SendMessageW(tree->getHandle(), TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(item->getHandle())));
    }
    void endEdit(bool cancel) { SendMessageW(tree->getHandle(), TVM_ENDEDITLABELNOW, cancel ? TRUE : FALSE, 0); }
    bool nativeExpanded(afControlTreeItem* item) {
        return (SendMessageW(tree->getHandle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item->getHandle()),
                             TVIS_EXPANDED) &
                TVIS_EXPANDED) != 0;
    }
    POINT labelCentre(afControlTreeItem* item) {
        RECT rect{};
        HTREEITEM handle = item->getHandle();
        std::memcpy(&rect, &handle, sizeof(HTREEITEM)); // the item travels in the rectangle
        SendMessageW(tree->getHandle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
        return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
    ::testing::AssertionResult logIs(const std::vector<std::wstring>& expected) {
        if (receiver.log == expected)
            return ::testing::AssertionSuccess();
        std::wstring actual;
        for (const std::wstring& line : receiver.log)
            actual += L"[" + line + L"] ";
        return ::testing::AssertionFailure() << "log: " << std::string(actual.begin(), actual.end());
    }

    HostWindow host;
    DragTree* tree = nullptr;
    Receiver receiver;
    afControlTreeItem *a = nullptr, *a1 = nullptr, *a2 = nullptr, *b = nullptr, *b1 = nullptr, *b11 = nullptr,
                      *c = nullptr;
};

TEST_F(TreeTest, TheCountFollowsEveryNativeDeletion) {
    tree->onItemDeleted.set(&receiver, &Receiver::deleted);
    EXPECT_TRUE(tree->isEmpty());
    fill();
    EXPECT_EQ(7, tree->getItemCount());
    EXPECT_FALSE(tree->isEmpty());
    int deletions = 0;
    b11->setData(new Tracked(deletions), true);
    tree->removeItem(b); // with its two descendants
    EXPECT_EQ(4, tree->getItemCount());
    EXPECT_EQ(1, deletions);
    EXPECT_EQ(3u, receiver.log.size());
    tree->removeItem(a1);
    tree->removeItem(a2);
    EXPECT_FALSE(a->hasChildren());
    TVITEMW entry{};
    entry.mask = TVIF_HANDLE | TVIF_CHILDREN;
    entry.hItem = a->getHandle();
    SendMessageW(tree->getHandle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&entry));
    EXPECT_EQ(0, entry.cChildren); // a bare parent loses its button
    tree->removeItem(a);
    tree->removeItem(c);
    EXPECT_EQ(0, tree->getItemCount());
    EXPECT_TRUE(tree->isEmpty());
    fill();
    tree->clear();
    EXPECT_EQ(0, tree->getItemCount());
    EXPECT_TRUE(tree->isEmpty());
    tree->removeItem(nullptr); // nothing
}

TEST_F(TreeTest, DataIsOwnedOnlyWhenSaid) {
    int deletions = 0;
    afControlTreeItem* item = tree->insertItem(nullptr, L"x");
    Tracked* kept = new Tracked(deletions);
    item->setData(kept, false);
    item->setData(new Tracked(deletions), true); // the unowned one stays
    EXPECT_EQ(0, deletions);
    item->setData(new Tracked(deletions), true); // the owned one goes
    EXPECT_EQ(1, deletions);
    tree->clear();
    EXPECT_EQ(2, deletions);
    delete kept;
}

TEST_F(TreeTest, AFolderAskedToExpandWhileEmptyOpensWithItsFirstChild) {
    afControlTreeItem* folder = tree->insertItem(nullptr, L"folder");
    EXPECT_FALSE(tree->isExpanded(folder));
    tree->expandItem(folder, true);
    EXPECT_TRUE(tree->isExpanded(folder));
    EXPECT_FALSE(nativeExpanded(folder));
    afControlTreeItem* child = tree->insertItem(folder, L"child");
    EXPECT_TRUE(nativeExpanded(folder));
    EXPECT_TRUE(tree->isExpanded(folder));
    tree->expandItem(folder, false);
    EXPECT_FALSE(nativeExpanded(folder));
    // A folder never asked stays closed.
    afControlTreeItem* other = tree->insertItem(nullptr, L"other");
    tree->insertItem(other, L"inner");
    EXPECT_FALSE(tree->isExpanded(other));
    tree->expandItem(nullptr, true); // nothing
    EXPECT_EQ(folder, child->getParent());
}

::testing::AssertionResult findsAs(afControlTree* tree, const wchar_t* path, const wchar_t* expected) {
    afControlTreeItem* item = tree->findByPath(path);
    std::wstring actual = item ? tree->getItemPath(item) : L"(null)";
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "path '" << std::string(path, path + wcslen(path)) << "' found '"
                                         << std::string(actual.begin(), actual.end()) << "'";
}

TEST_F(TreeTest, PathsFindTheDeepestItemOnTheWay) {
    fill();
    EXPECT_EQ(L"\\b\\b1\\b11", tree->getItemPath(b11));
    EXPECT_EQ(L"\\c", tree->getItemPath(c));
    EXPECT_EQ(L"", tree->getItemPath(nullptr));
    struct Case {
        const wchar_t* path;
        const wchar_t* expected;
    } cases[] = {
        {L"\\b\\b1\\b11", L"\\b\\b1\\b11"}, {L"b\\b1", L"\\b\\b1"}, // the leading backslash is optional
        {L"\\\\a\\\\a2", L"\\a\\a2"},                               // empty components are skipped
        {L"\\b\\missing\\b11", L"\\b"},                             // stops at the deepest item found
        {L"\\a\\a2\\deeper", L"\\a\\a2"},   {L"\\A", L"(null)"},    // case-sensitive
        {L"\\missing\\a1", L"(null)"},      {L"", L"(null)"},       {L"\\", L"(null)"},
    };
    for (const Case& test : cases)
        EXPECT_TRUE(findsAs(tree, test.path, test.expected));
    EXPECT_EQ(a2, tree->findChild(a, L"a2"));
    EXPECT_EQ(nullptr, tree->findChild(a, L""));
    EXPECT_EQ(c, tree->findChild(nullptr, L"c"));
}

TEST_F(TreeTest, StateSurvivesARebuild) {
    fill();
    tree->expandItem(b, true);
    tree->expandItem(b1, true);
    tree->expandItem(a, true);
    tree->selectItem(b11);
    afControlTreeState state;
    tree->saveState(state);
    EXPECT_EQ(L"\\b\\b1\\b11", state.selected);
    EXPECT_EQ(L"\\a", state.firstVisible);
    EXPECT_EQ((std::vector<std::wstring>{L"\\a", L"\\b", L"\\b\\b1"}), state.expanded);

    tree->clear();
    fill();
    EXPECT_FALSE(nativeExpanded(b1));
    tree->restoreState(state);
    EXPECT_TRUE(nativeExpanded(a) && nativeExpanded(b) && nativeExpanded(b1));
    EXPECT_EQ(b11, tree->getSelectedItem());
    afControlTreeState again;
    tree->saveState(again);
    EXPECT_EQ(state.expanded, again.expanded);
    EXPECT_EQ(state.selected, again.selected);
}

TEST_F(TreeTest, RestoringBelowAMissingFolderOpensItsDeepestAncestor) {
    fill();
    afControlTreeState state;
    state.expanded = {L"\\b\\gone\\deeper"};
    tree->restoreState(state);
    EXPECT_TRUE(nativeExpanded(b));
    // A folder still empty when restored opens when its contents arrive.
    afControlTreeItem* lazy = tree->insertItem(nullptr, L"lazy");
    state.expanded = {L"\\lazy"};
    tree->restoreState(state);
    EXPECT_TRUE(tree->isExpanded(lazy));
    tree->insertItem(lazy, L"content");
    EXPECT_TRUE(nativeExpanded(lazy));
}

TEST_F(TreeTest, WithoutARenameReceiverItemsKeepTheirNames) {
    fill();
    receiver.connectRenames();
    EXPECT_EQ(nullptr, beginEdit(a1));
    EXPECT_TRUE(logIs({L"begin a1", L"ended a1"}));
}

TEST_F(TreeTest, ARenameIsCommittedByTheReceiver) {
    fill();
    receiver.connectRenames();
    tree->canRename.set(&receiver, &Receiver::canRename);
    HWND edit = beginEdit(a1);
    ASSERT_NE(nullptr, edit);
    EXPECT_EQ(edit, tree->getInplaceEdit()->getHandle()); // adopted
    EXPECT_EQ(tree, tree->getInplaceEdit()->getParent());
    SetWindowTextW(edit, L"renamed");
    endEdit(false);
    EXPECT_EQ(L"renamed", tree->getItemText(a1));
    EXPECT_EQ(nullptr, tree->getInplaceEdit()->getHandle()); // the native tree destroyed it

    // Refused by the receiver: the name stays.
    receiver.log.clear();
    receiver.answer = false;
    EXPECT_EQ(nullptr, beginEdit(a2));
    EXPECT_TRUE(logIs({L"begin a2", L"can a2", L"ended a2"}));
    receiver.answer = true;
    edit = beginEdit(a2);
    ASSERT_NE(nullptr, edit); // the next edit is adopted afresh
    EXPECT_EQ(edit, tree->getInplaceEdit()->getHandle());
    SetWindowTextW(edit, L"x");
    receiver.answer = false;
    receiver.log.clear();
    endEdit(false);
    EXPECT_EQ(L"a2", tree->getItemText(a2));
    EXPECT_TRUE(logIs({L"renamed a2 to 'x'", L"ended a2"}));
}

TEST_F(TreeTest, TheEditHandsItsKeysToTheNativeEditAndClaimsThem) {
    fill();
    receiver.connectRenames();
    tree->canRename.set(&receiver, &Receiver::canRename);
    HWND edit = beginEdit(b1);
    ASSERT_NE(nullptr, edit);
    afControlTreeInplaceEdit* inplace = tree->getInplaceEdit();
    afEvent letter = makeEvent(edit, WM_KEYDOWN, 'A');
    EXPECT_FALSE(inplace->onKeyDown(&letter));
    for (unsigned key : {VK_DELETE, VK_F2}) {
        afEvent event = makeEvent(edit, WM_KEYDOWN, key);
        EXPECT_TRUE(inplace->onKeyDown(&event)) << key;
    }
    SetWindowTextW(edit, L"by enter");
    receiver.log.clear();
    afEvent enter = makeEvent(edit, WM_KEYDOWN, VK_RETURN);
    EXPECT_TRUE(inplace->onKeyDown(&enter));
    EXPECT_EQ(L"by enter", tree->getItemText(b1));
    EXPECT_TRUE(logIs({L"renamed b1 to 'by enter'", L"ended by enter"}));

    edit = beginEdit(b1);
    ASSERT_NE(nullptr, edit);
    SetWindowTextW(edit, L"dropped");
    receiver.log.clear();
    afEvent escape = makeEvent(edit, WM_KEYDOWN, VK_ESCAPE);
    EXPECT_TRUE(inplace->onKeyDown(&escape));
    EXPECT_EQ(L"by enter", tree->getItemText(b1));
    EXPECT_TRUE(logIs({L"renamed by enter to '' cancelled", L"ended by enter"}));
    afEvent late = makeEvent(edit, WM_KEYDOWN, VK_RETURN);
    EXPECT_FALSE(inplace->onKeyDown(&late)); // no edit any more: nothing claimed
}

TEST_F(TreeTest, EnterAtTheEditEndsTheRenameAndRunsNoAction) {
    corveltest::ActionBench actions;
    afActionInvokerKey keys(&actions.registry);
    actions.registry.addInvoker(&keys, afActionEventType::KEY);
    keys.bindShortcut(actions.add(L"tree.open", L""), L"Enter", true);
    fill();
    receiver.connectRenames();
    tree->canRename.set(&receiver, &Receiver::canRename);
    HWND edit = beginEdit(c);
    ASSERT_NE(nullptr, edit);
    SetWindowTextW(edit, L"entered");
    MSG message{};
    message.hwnd = edit;
    message.message = WM_KEYDOWN;
    message.wParam = VK_RETURN;
    EXPECT_TRUE(keys.preTranslateMessage(tree->getInplaceEdit(), message)); // claimed by the edit
    EXPECT_TRUE(actions.handler.ran.empty());
    EXPECT_EQ(L"entered", tree->getItemText(c));
    // Without an edit the key runs the bound action.
    EXPECT_TRUE(keys.preTranslateMessage(tree, message));
    EXPECT_EQ(1u, actions.handler.ran.size());
    actions.registry.removeInvoker(&keys);
}

TEST_F(TreeTest, ANewItemIsNamedOrRemoved) {
    receiver.connectRenames();
    afControlTreeItem* folder = tree->insertItem(nullptr, L"folder");
    // Named: the flag goes, the text is set.
    afControlTreeItem* item = tree->insertItem(folder, L"");
    item->setNew(true);
    HWND edit = beginEdit(item);
    ASSERT_NE(nullptr, edit);
    SetWindowTextW(edit, L"named");
    endEdit(false);
    EXPECT_FALSE(item->isNew());
    EXPECT_EQ(L"named", tree->getItemText(item));

    // Refused, or Escape: the item goes, after the receiver was told the rename ended,
    // and the end its removal causes is not committed again.
    struct Case {
        bool answer;
        bool cancel;
        std::vector<std::wstring> log;
    } cases[] = {
        {false, false, {L"begin ", L"named  'bad'", L"ended "}},
        {true, true, {L"begin ", L"named  '' cancelled", L"ended "}},
    };
    tree->onItemDeleted.set(&receiver, &Receiver::deleted);
    for (const Case& test : cases) {
        afControlTreeItem* fresh = tree->insertItem(folder, L"");
        fresh->setNew(true);
        receiver.log.clear();
        receiver.answer = test.answer;
        edit = beginEdit(fresh);
        ASSERT_NE(nullptr, edit);
        SetWindowTextW(edit, L"bad");
        endEdit(test.cancel);
        std::vector<std::wstring> expected = test.log;
        expected.push_back(L"deleted ");
        EXPECT_TRUE(logIs(expected));
        EXPECT_TRUE(receiver.aliveAtEnd);
        EXPECT_EQ(2, tree->getItemCount());
    }
    // Without a naming receiver a new item cannot be edited.
    tree->onNewItemNamed.set(nullptr, nullptr);
    afControlTreeItem* unnamed = tree->insertItem(folder, L"");
    unnamed->setNew(true);
    EXPECT_EQ(nullptr, beginEdit(unnamed));
}

TEST_F(TreeTest, ADoubleClickActivatesWithoutToggling) {
    fill();
    tree->onItemActivated.set(&receiver, &Receiver::activated);
    POINT point = labelCentre(a);
    SendMessageW(tree->getHandle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    EXPECT_TRUE(logIs({L"activated a"}));
    EXPECT_FALSE(nativeExpanded(a));
    // Below every item: nothing is activated.
    SendMessageW(tree->getHandle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 135));
    EXPECT_EQ(1u, receiver.log.size());
}

TEST_F(TreeTest, NotificationsReachTheReceivers) {
    fill();
    tree->onItemExpanding.set(&receiver, &Receiver::expanding);
    tree->onSelectionChanged.set(&receiver, &Receiver::selected);
    NMTREEVIEWW info{};
    info.action = TVE_EXPAND;
    info.itemNew.hItem = a->getHandle();
    info.itemNew.lParam = reinterpret_cast<LPARAM>(a);
    receiver.answer = false;
    EXPECT_EQ(TRUE, notify(info.hdr, TVN_ITEMEXPANDINGW)); // refused
    receiver.answer = true;
    info.action = TVE_COLLAPSE;
    EXPECT_EQ(FALSE, notify(info.hdr, TVN_ITEMEXPANDINGW));
    tree->selectItem(c); // the native tree tells of its own selection
    EXPECT_TRUE(logIs({L"expanding a", L"collapsing a", L"selected c"}));
}

TEST_F(TreeTest, ARightClickShowsTheMenuOfTheItemUnderTheCursor) {
    fill();
    tree->onContextMenu.set(&receiver, &Receiver::menu);
    tree->selectItem(c);
    POINT point = labelCentre(a);
    ClientToScreen(tree->getHandle(), &point);
    SetCursorPos(point.x, point.y);
    NMHDR header{};
    EXPECT_EQ(1, notify(header, NM_RCLICK));
    POINT below{5, 135};
    ClientToScreen(tree->getHandle(), &below);
    SetCursorPos(below.x, below.y);
    notify(header, NM_RCLICK);
    EXPECT_TRUE(logIs({L"menu a, selection a", L"menu (null), selection (null)"}));
    EXPECT_EQ(a, tree->getSelectedItem()); // given back after the menu over no item
}

TEST_F(TreeTest, CheckBoxesAnnounceTheStateTheNativeToggleWillSet) {
    SetWindowLongW(tree->getHandle(), GWL_STYLE, tree->getStyle() | TVS_CHECKBOXES);
    fill();
    tree->onCheckChanged.set(&receiver, &Receiver::checked);
    tree->setCheck(b, true);
    EXPECT_TRUE(tree->isChecked(b));
    tree->selectItem(b);
    NMTVKEYDOWN key{};
    key.wVKey = VK_SPACE;
    EXPECT_EQ(0, notify(key.hdr, TVN_KEYDOWN));
    EXPECT_TRUE(tree->isChecked(b)); // flipped back for the native toggle
    key.wVKey = 'X';
    notify(key.hdr, TVN_KEYDOWN);
    EXPECT_TRUE(logIs({L"check b off"}));
}

TEST_F(TreeTest, ADragTakesTheReceiversObject) {
    fill();
    struct Drag {
        int ended = 0;
        int effect = 0;
        afDataObject* data = nullptr;
        static afDataObject* begin(void*, afControlTree*, afControlTreeItem*, int, int, int& allowed) {
            EXPECT_EQ(28, allowed);
            allowed = afDropAction::COPY;
            return new afDataObjectText(L"dragged");
        }
        static void end(void* self, afControlTree*, afControlTreeItem*, afDataObject* data, int effect) {
            auto* drag = static_cast<Drag*>(self);
            ++drag->ended;
            drag->effect = effect;
            drag->data = data;
            delete data;
        }
    } drag;
    NMTREEVIEWW info{};
    info.itemNew.hItem = b1->getHandle();
    notify(info.hdr, TVN_BEGINDRAGW); // nobody asked: no drag
    EXPECT_EQ(nullptr, tree->draggedData);
    tree->onBeginDrag.set(&drag, &Drag::begin);
    tree->onDragEnded.set(&drag, &Drag::end);
    notify(info.hdr, TVN_BEGINDRAGW);
    EXPECT_EQ(b1, tree->getSelectedItem());
    EXPECT_EQ(afDropAction::COPY, tree->draggedAllowed);
    EXPECT_EQ(1, drag.ended);
    EXPECT_EQ(afDropAction::MOVE, drag.effect);
    EXPECT_EQ(tree->draggedData, drag.data);
}

TEST_F(TreeTest, ChildrenSortByTheComparer) {
    fill();
    afCallback<afControlTree::CompareFunction> comparer;
    tree->sortChildren(nullptr, comparer); // unset: nothing
    EXPECT_EQ(a, tree->getFirstItem());
    comparer.set(nullptr, &Receiver::byTextDescending);
    tree->sortChildren(nullptr, comparer);
    EXPECT_EQ(c, tree->getFirstItem());
    EXPECT_EQ(b, c->getNextSibling());
    EXPECT_EQ(a, b->getNextSibling());
    tree->sortChildren(a, comparer);
    EXPECT_EQ(a2, a->getFirstChild());
}

TEST_F(TreeTest, DecorationIconsAskForTheItemsPostPaint) {
    fill();
    NMTVCUSTOMDRAW draw{};
    draw.nmcd.dwDrawStage = CDDS_PREPAINT;
    EXPECT_EQ(CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT, notify(draw.nmcd.hdr, NM_CUSTOMDRAW));
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    EXPECT_EQ(CDRF_NOTIFYPOSTPAINT, notify(draw.nmcd.hdr, NM_CUSTOMDRAW));
    HICON icon = LoadIconW(nullptr, IDI_INFORMATION);
    a->addIcon(icon);
    a->addIcon(icon);
    ASSERT_NE(nullptr, a->getIcons());
    EXPECT_EQ(2u, a->getIcons()->size());
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    draw.nmcd.dwDrawStage = CDDS_ITEMPOSTPAINT;
    draw.nmcd.hdc = dc;
    draw.nmcd.lItemlParam = reinterpret_cast<LPARAM>(a);
    EXPECT_EQ(CDRF_DODEFAULT, notify(draw.nmcd.hdr, NM_CUSTOMDRAW));
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    a->clearIcons();
    EXPECT_TRUE(a->getIcons()->empty());
}

TEST_F(TreeTest, DestroyingTheTreeFreesItsItemsWithoutCallbacks) {
    tree->onItemDeleted.set(&receiver, &Receiver::deleted);
    fill();
    int deletions = 0;
    b11->setData(new Tracked(deletions), true);
    DestroyWindow(tree->getHandle());
    EXPECT_EQ(1, deletions);
    EXPECT_TRUE(receiver.log.empty());
}

} // namespace
