#include "corvel/document/ScopePath.h"
#include "corvel/ui/afEvent.h"
#include "corvel/ui/afLayout.h"
#include "support/LogCapture.h"
#include "support/RecordingView.h"
#include "zem/base/Exception.h"

#include <gtest/gtest.h>

#include <functional>

using corvel::afLayout;
using corvel::afView;
using uitest::RecordingView;

namespace {

template <class E>::testing::AssertionResult throwsWith(const std::function<void()>& action, const wchar_t* text) {
    try {
        action();
    } catch (const E& e) {
        if (e.message() == text)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "message: " << ::testing::PrintToString(e.message());
    } catch (...) {
        return ::testing::AssertionFailure() << "another exception";
    }
    return ::testing::AssertionFailure() << "nothing thrown";
}

struct Tree : ::testing::Test {
    std::vector<std::string> journal;
    RecordingView* root = new RecordingView(nullptr, &journal, "root");
    void TearDown() override { delete root; }
    RecordingView* make(const char* tag, afView* parent = nullptr) {
        auto* view = new RecordingView(root, &journal, tag);
        if (parent)
            parent->addChild(view, -1);
        return view;
    }
};

TEST_F(Tree, OwnershipErrorsHaveTheirTexts) {
    RecordingView* a = make("a");
    EXPECT_TRUE(
        throwsWith<zem::InvalidArgumentException>([&] { root->addNode(a); }, L"Object node already owned. (1)"));
    EXPECT_TRUE(throwsWith<zem::InvalidArgumentException>([&] { a->addNode(a); }, L"Cannot add myself."));
    RecordingView* b = make("b");
    EXPECT_TRUE(throwsWith<zem::InvalidArgumentException>([&] { a->removeNode(b); }, L"Object node is not owned."));
    // A node owned elsewhere moves.
    a->addNode(b);
    EXPECT_EQ(a, b->getNodeOwner());
    EXPECT_FALSE(root->ownsNode(b));
}

TEST_F(Tree, IndexPastTheEndAppendsAndSameParentIsANoOp) {
    RecordingView* a = make("a", root);
    RecordingView* b = make("b");
    root->addChild(b, 2);
    EXPECT_EQ(b, root->getChildAt(1));
    journal.clear();
    root->addChild(a, 1);
    EXPECT_EQ(a, root->getChildAt(0));
    EXPECT_TRUE(journal.empty());
    EXPECT_EQ(nullptr, root->getChildAt(-1));
    EXPECT_EQ(nullptr, root->getChildAt(2));
}

TEST_F(Tree, AMoveTellsTheOldAncestorsThenTheNew) {
    RecordingView* p1 = make("p1", root);
    RecordingView* p2 = make("p2", root);
    RecordingView* c = make("c", p1);
    journal.clear();
    p2->addChild(c, 0);
    std::vector<std::string> expected{"p1:removed", "root:removed", "p2:added", "root:added"};
    EXPECT_EQ(expected, journal);
    EXPECT_EQ(p2, c->getParent());
    EXPECT_FALSE(p1->hasChild(c));
    EXPECT_TRUE(root->hasDescendant(c));
}

TEST_F(Tree, TreeMisuseRaisesAndChangesNothing) {
    RecordingView* a = make("a", root);
    RecordingView* other = make("other");
    EXPECT_TRUE(
        throwsWith<zem::IllegalStateException>([&] { other->removeChild(a); }, L"Removing view from invalid parent."));
    EXPECT_EQ(root, a->getParent());
    EXPECT_TRUE(throwsWith<zem::NullPointerException>([&] { a->setLayoutParams(nullptr); }, L"layout_params are null"));
    EXPECT_TRUE(throwsWith<zem::InvalidArgumentException>(
        [&] {
            corvel::afRect r;
            a->mapDescendantRect(r, other);
        },
        L"Parameter must be a descendant of this view."));
}

TEST_F(Tree, DeletingAViewStillInAParentLogsAndUnbinds) {
    zemtest::LogCapture log(0x629b9e5bu);
    RecordingView* a = make("a", root);
    delete a;
    EXPECT_EQ(0, root->getChildCount());
    ASSERT_EQ(1u, log.lines().size());
    EXPECT_EQ(L"A view has not been unbound from it's parent", log.lines()[0].text);
}

TEST_F(Tree, FindChildIsDirectFindDescendantIsDeep) {
    RecordingView* a = make("a", root);
    RecordingView* deep = make("deep", a);
    deep->setName(L"main");
    EXPECT_EQ(nullptr, root->findChild(L"main"));
    EXPECT_EQ(deep, root->findDescendant(L"main"));
    EXPECT_EQ(deep, a->findChild(L"main"));
}

TEST_F(Tree, ContextNamesAndScopePath) {
    RecordingView* a = make("a", root);
    EXPECT_EQ(L"ui.layout", a->getContextName());
    a->setName(L"box");
    root->setName(L"top");
    EXPECT_EQ(L"ui.layout.box", a->getContextName());
    EXPECT_EQ(L"ui.layout.top ui.layout.box", a->getScopePath().toString());
}

TEST_F(Tree, PaddingTwiceRequestsLayoutOnce) {
    RecordingView* a = make("a", root);
    a->requests = 0;
    a->setPadding(1, 2, 3, 4);
    a->setPadding(1, 2, 3, 4);
    EXPECT_EQ(1, a->requests);
}

struct LayoutSizeCase {
    bool height;
    int value;
    int minimum;
    int expectedSize;
    bool expectedVisible;
};

::testing::AssertionResult requestsSize(const LayoutSizeCase& c) {
    RecordingView root(nullptr, nullptr, "r");
    RecordingView* view = new RecordingView(&root, nullptr, "v");
    root.addChild(view, -1);
    view->setMinimumSize(c.height ? 0 : c.minimum, c.height ? c.minimum : 0);
    if (c.height)
        view->requestLayoutHeight(c.value, true);
    else
        view->requestLayoutWidth(c.value, true);
    int size = c.height ? view->getLayoutParams()->height : view->getLayoutParams()->width;
    bool visible = view->isVisible();
    root.removeChild(view);
    if (size == c.expectedSize && visible == c.expectedVisible)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "value " << c.value << " min " << c.minimum << ": size " << size
                                         << " visible " << visible;
}

TEST(ViewRequestLayoutSize, ValueMinimumAndShow) {
    const LayoutSizeCase cases[] = {
        {true, 0, 0, 0, false},    {true, 20, 30, 30, false}, {true, 40, 30, 40, true},
        {false, 30, 30, 30, true}, {false, 0, 5, 5, false},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(requestsSize(c));
}

bool consumeKey(void* counter, afView*, corvel::afEvent*) {
    ++*static_cast<int*>(counter);
    return true;
}

struct KeyView : RecordingView {
    using RecordingView::RecordingView;
    bool onKeyDown(corvel::afEvent*) override {
        ++keyDowns;
        return handles;
    }
    int keyDowns = 0;
    bool handles = false;
};

TEST(ViewKeys, KeysBubbleToTheFirstThatHandles) {
    KeyView top(nullptr, nullptr, "top");
    KeyView* mid = new KeyView(&top, nullptr, "mid");
    KeyView* leaf = new KeyView(&top, nullptr, "leaf");
    top.addChild(mid, -1);
    mid->addChild(leaf, -1);
    MSG msg{};
    corvel::afEvent event(msg, 'A');
    EXPECT_FALSE(leaf->dispatchKeyDown(&event));
    EXPECT_EQ(1, top.keyDowns);
    int listened = 0;
    mid->keyDownListeners().add(&consumeKey, &listened);
    top.handles = true;
    EXPECT_TRUE(leaf->dispatchKeyDown(&event));
    EXPECT_EQ(1, listened);
    EXPECT_EQ(2, leaf->keyDowns);
    EXPECT_EQ(1, mid->keyDowns); // the listener consumed it before onKeyDown
    EXPECT_EQ(1, top.keyDowns);
    mid->removeChild(leaf);
    top.removeChild(mid);
}

TEST(ViewHitTest, HiddenChildrenCatchNothing) {
    RecordingView top(nullptr, nullptr, "top");
    top.setFrame(corvel::afRect(0, 0, 100, 100));
    RecordingView* child = new RecordingView(&top, nullptr, "c");
    top.addChild(child, -1);
    child->setFrame(corvel::afRect(10, 10, 20, 20));
    EXPECT_EQ(child, top.hitTest(15, 15));
    child->setVisible(false);
    EXPECT_EQ(&top, top.hitTest(15, 15));
    EXPECT_EQ(nullptr, top.hitTest(101, 5));
    top.removeChild(child);
}

} // namespace
