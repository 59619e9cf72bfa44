#include "corvel/widgets/afActionRegistry.h"

#include "corvel/widgets/afActionChooser.h"
#include "corvel/widgets/afActionInvokerKey.h"
#include "corvel/widgets/afActionInvokerTab.h"
#include "corvel/widgets/afActionTrigger.h"
#include "support/ActionBench.h"
#include "zem/base/Exception.h"

#include <gtest/gtest.h>

using namespace corvel;
using corveltest::ActionBench;
using corveltest::pathOf;

namespace {

class ActionRegistryTest : public ::testing::Test {
protected:
    ActionBench bench;
};

TEST_F(ActionRegistryTest, HandlerClassesAreFoundByName) {
    afActionHandlerClass* first = bench.registry.getHandlerClass(L"FileManager");
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, bench.registry.getHandlerClass(L"FileManager"));
    EXPECT_NE(first, bench.registry.getHandlerClass(L"MainWindow"));
    EXPECT_EQ(nullptr, first->liveHandler);
    EXPECT_EQ(nullptr, bench.registry.getHandlerClass(L""));
    EXPECT_EQ(nullptr, bench.registry.getHandlerClass(nullptr));
}

TEST_F(ActionRegistryTest, TheFirstActionOfANameIsFoundAndTheNextTakesOverWhenItGoes) {
    afAction* first = bench.add(L"file.open", L"ui.window");
    afAction* second = bench.add(L"file.open", L"ui.editor");
    afAction* unnamed = bench.add(L"", L"ui.editor");
    EXPECT_EQ(3u, bench.registry.getActions().size());
    EXPECT_TRUE(unnamed->isRegistered());
    EXPECT_EQ(first, bench.registry.findAction(L"file.open"));
    EXPECT_EQ(nullptr, bench.registry.findAction(L""));
    EXPECT_EQ(nullptr, bench.registry.findAction(L"file.close"));

    // Caught: removing the second erased the name entry that the first still held.
    bench.registry.removeAction(second);
    EXPECT_EQ(first, bench.registry.findAction(L"file.open"));
    second = bench.add(L"file.open", L"ui.editor");
    bench.registry.removeAction(first);
    EXPECT_EQ(second, bench.registry.findAction(L"file.open"));
}

TEST_F(ActionRegistryTest, ActionsRunOnlyOnALiveHandler) {
    afAction* action = bench.add(L"edit.copy", L"");
    afActionEvent event;
    EXPECT_TRUE(action->execute(&event));
    ASSERT_EQ(1u, bench.handler.ran.size());

    corveltest::RecordingHandler other(L"TestHandler", &bench.registry);
    other.deactivate(); // another object's activation stays in place
    EXPECT_TRUE(action->isEnabled());

    bench.handler.deactivate();
    EXPECT_FALSE(action->isEnabled());
    EXPECT_FALSE(action->execute(&event));
    EXPECT_EQ(1u, bench.handler.ran.size());

    other.activate();
    bench.handler.answer = false;
    EXPECT_TRUE(action->execute(&event));
    EXPECT_EQ(1u, other.ran.size());
}

TEST_F(ActionRegistryTest, AHandlerThatGoesWhileLiveTakesItsActionsOff) {
    afAction* action = bench.add(L"edit.copy", L"");
    {
        corveltest::RecordingHandler shortLived(L"TestHandler", &bench.registry);
        shortLived.activate();
    }
    afActionEvent event;
    EXPECT_FALSE(action->isEnabled());
    EXPECT_FALSE(action->execute(&event));
}

TEST_F(ActionRegistryTest, AScopeThatDoesNotCompileThrowsAndRegistersNothing) {
    EXPECT_THROW(bench.add(L"bad.scope", L"ui.editor - ("), zem::Exception);
    EXPECT_TRUE(bench.registry.getActions().empty());
    EXPECT_EQ(nullptr, bench.registry.findAction(L"bad.scope"));
}

TEST_F(ActionRegistryTest, FindActionsMatchesAnchoredAndSkipsEmptyScopes) {
    afAction* window = bench.add(L"a", L"ui.window");
    afAction* editor = bench.add(L"b", L"ui.editor");
    bench.add(L"c", L"");
    afAction* menu = bench.add(L"d", L"ui.data.project ui.menu.project");
    auto editorPath = pathOf({L"ui.editor", L"ui.window.main"});
    afActionMatchList matches;
    EXPECT_EQ(1u, bench.registry.findActions(matches, *editorPath));
    ASSERT_EQ(1u, matches.size());
    EXPECT_EQ(editor, matches[0].action);
    EXPECT_EQ(nullptr, matches[0].trigger);
    EXPECT_EQ(0u, matches[0].secondary);

    auto windowPath = pathOf({L"ui.window.main"});
    matches.clear();
    bench.registry.findActions(matches, *windowPath);
    ASSERT_EQ(1u, matches.size());
    EXPECT_EQ(window, matches[0].action);

    // A menu contributor matches its menu's context, not the views under it.
    auto menuPath = pathOf({L"ui.menu.project", L"ui.data.project", L"ui.tree"});
    auto treePath = pathOf({L"ui.tree", L"ui.menu.project", L"ui.data.project"});
    matches.clear();
    bench.registry.findActions(matches, *menuPath);
    ASSERT_EQ(1u, matches.size());
    EXPECT_EQ(menu, matches[0].action);
    matches.clear();
    EXPECT_EQ(0u, bench.registry.findActions(matches, *treePath));
}

TEST_F(ActionRegistryTest, RemovingAnActionUnbindsItsKeysCharactersAndWords) {
    afActionInvokerKey keys(&bench.registry);
    afActionInvokerTab tabs(&bench.registry);
    bench.registry.addInvoker(&keys, afActionEventType::KEY);
    bench.registry.addInvoker(&keys, afActionEventType::CHARACTER);
    bench.registry.addInvoker(&tabs, afActionEventType::TAB);
    afAction* general = bench.add(L"general", L"");
    afAction* special = bench.add(L"special", L"ui.editor");
    keys.bindShortcut(general, L"Ctrl+S", true);
    keys.bindShortcut(special, L"Ctrl+S", true);
    keys.bindShortcut(special, L"Ctrl+Shift+S", true);
    keys.bindChar(special, L'(');
    tabs.bindWord(L"fn", special);
    EXPECT_EQ(4u, special->getTriggers().size());

    bench.registry.removeAction(special);
    EXPECT_EQ(1u, keys.keyBindingCount());
    EXPECT_EQ(0u, keys.charBindingCount());
    EXPECT_EQ(0u, tabs.size());
    auto path = pathOf({L"ui.editor"});
    EXPECT_TRUE(keys.invokeKey(*path, nullptr, 0x153)); // Ctrl+S falls through to the general binding
    ASSERT_EQ(1u, bench.handler.ran.size());
    EXPECT_EQ(general, bench.handler.ran[0]);

    // An action that is no longer registered is left alone.
    afActionSystem loose(L"Loose", bench.handler.getHandlerClass(), L"loose", L"", &corveltest::RecordingHandler::run);
    bench.registry.removeAction(&loose);
    EXPECT_FALSE(loose.isRegistered());
    bench.registry.removeInvoker(&keys);
    bench.registry.removeInvoker(&tabs);
}

TEST_F(ActionRegistryTest, InvokersKeepTheirFirstTypeAndGoWithAllTheirEntries) {
    afActionInvokerKey keys(&bench.registry);
    afActionInvokerKey other(&bench.registry);
    bench.registry.addInvoker(&keys, afActionEventType::KEY);
    bench.registry.addInvoker(&keys, afActionEventType::CHARACTER);
    bench.registry.addInvoker(&other, afActionEventType::KEY);
    bench.registry.addInvoker(static_cast<afActionInvoker*>(nullptr), afActionEventType::TAB);
    EXPECT_EQ(&keys, bench.registry.getInvoker(afActionEventType::KEY));
    EXPECT_EQ(nullptr, bench.registry.getInvoker(afActionEventType::TAB));
    // Caught: only the first entry went, leaving the deleted invoker under the character type.
    bench.registry.removeInvoker(&keys);
    EXPECT_EQ(nullptr, bench.registry.getInvoker(afActionEventType::KEY));
    EXPECT_EQ(nullptr, bench.registry.getInvoker(afActionEventType::CHARACTER));
}

::testing::AssertionResult sortsAs(void (*sort)(afActionMatchList&), const afActionMatchList& input,
                                   const std::vector<int>& expected) {
    afActionMatchList sorted = input;
    sort(sorted);
    std::vector<int> order;
    for (const afActionMatch& match : sorted) {
        for (size_t i = 0; i < input.size(); ++i) {
            if (input[i].action == match.action) // each action appears once in the input
                order.push_back(static_cast<int>(i));
        }
    }
    if (order == expected)
        return ::testing::AssertionSuccess();
    auto text = [](const std::vector<int>& values) {
        std::string out;
        for (int value : values)
            out += std::to_string(value) + " ";
        return out;
    };
    return ::testing::AssertionFailure() << "expected " << text(expected) << "got " << text(order);
}

TEST_F(ActionRegistryTest, SortsAreStable) {
    afAction* beta = bench.add(L"1", L"", L"beta");
    afAction* alpha = bench.add(L"2", L"", L"Alpha");
    afAction* gamma = bench.add(L"3", L"", L"gamma");
    afAction* alpha2 = bench.add(L"4", L"", L"alpha");
    afActionMatchList input = {
        {5, 0, beta, nullptr}, {9, 0, alpha, nullptr}, {5, 2, gamma, nullptr}, {5, 0, alpha2, nullptr}};
    EXPECT_TRUE(sortsAs(sortActionMatchesByScore, input, {1, 2, 0, 3}));
    EXPECT_TRUE(sortsAs(sortActionMatchesByScoreAndTitle, input, {1, 2, 3, 0}));
    EXPECT_TRUE(sortsAs(sortActionMatchesByTitle, input, {1, 3, 0, 2}));
}

int pickSecond(afActionMatchList&, afView*) {
    return 1;
}

TEST_F(ActionRegistryTest, ChooseActionAsksTheChooserOnlyForSeveral) {
    afAction* action = bench.add(L"x", L"");
    afActionMatchList matches;
    setActionChooser(nullptr);
    EXPECT_EQ(-1, chooseAction(matches, nullptr));
    matches.push_back({1, 0, action, nullptr});
    EXPECT_EQ(0, chooseAction(matches, nullptr));
    matches.push_back({1, 0, action, nullptr});
    EXPECT_EQ(-1, chooseAction(matches, nullptr));
    setActionChooser(&pickSecond);
    EXPECT_EQ(1, chooseAction(matches, nullptr));
    setActionChooser(nullptr);
}

} // namespace
