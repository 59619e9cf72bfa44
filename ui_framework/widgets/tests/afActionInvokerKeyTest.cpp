#include "corvel/widgets/afActionInvokerKey.h"

#include "corvel/ui/afKey.h"
#include "corvel/widgets/afActionChooser.h"
#include "corvel/widgets/afActionTriggerKey.h"
#include "support/ActionBench.h"

#include <gtest/gtest.h>

using namespace corvel;
using corveltest::ActionBench;
using corveltest::pathOf;

namespace {

// The chooser the shell would open: remembers what it was offered and answers as told.
struct FakeChooser {
    static afActionMatchList offered;
    static int answer;
    static int choose(afActionMatchList& matches, afView*) {
        offered = matches;
        return answer;
    }
};
afActionMatchList FakeChooser::offered;
int FakeChooser::answer = 0;

struct KeyBinding {
    const wchar_t* scope;
    bool priority;
};

struct KeyCase {
    const char* name;
    std::vector<KeyBinding> bindings; // all bound to Ctrl+K, in this order
    int chooserAnswer;
    bool live;
    bool consumed;
    std::vector<int> offered; // bindings the chooser saw, in order (empty: not opened)
    int ran;                  // the binding that ran, or -1
};

std::string indicesText(const std::vector<int>& values) {
    std::string out;
    for (int value : values)
        out += std::to_string(value) + " ";
    return out;
}

::testing::AssertionResult dispatches(const KeyCase& c) {
    ActionBench bench;
    afActionInvokerKey keys(&bench.registry);
    std::vector<afAction*> actions;
    for (const KeyBinding& binding : c.bindings)
        actions.push_back(keys.bindShortcut(bench.add(L"", binding.scope), L"Ctrl+K", binding.priority));
    auto indexOf = [&](afAction* action) {
        for (size_t i = 0; i < actions.size(); ++i) {
            if (actions[i] == action)
                return static_cast<int>(i);
        }
        return -2;
    };
    if (!c.live)
        bench.handler.deactivate();
    FakeChooser::offered.clear();
    FakeChooser::answer = c.chooserAnswer;
    setActionChooser(&FakeChooser::choose);
    auto context = pathOf({L"ui.editor", L"ui.window.main"});
    bool consumed = keys.invokeKey(*context, nullptr, afKey::CTRL | 'K');
    setActionChooser(nullptr);

    std::vector<int> offered;
    for (const afActionMatch& match : FakeChooser::offered)
        offered.push_back(indexOf(match.action));
    int ran = bench.handler.ran.empty() ? -1 : indexOf(bench.handler.ran[0]);
    if (consumed == c.consumed && offered == c.offered && ran == c.ran && bench.handler.ran.size() <= 1 &&
        (ran < 0 || bench.handler.types[0] == afActionEventType::KEY))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << c.name << ": consumed " << consumed << ", chooser saw ["
                                         << indicesText(offered) << "], ran " << ran;
}

TEST(ActionInvokerKeyTest, InvokeKeyPicksByScorePriorityAndChooser) {
    const KeyCase cases[] = {
        {"the higher score runs", {{L"ui.window.main", false}, {L"ui.editor", false}}, 0, true, true, {}, 1},
        {"equal scores go to the chooser in binding order",
         {{L"ui.editor", false}, {L"ui.editor", false}},
         1,
         true,
         true,
         {0, 1},
         1},
        {"an empty scope matches with score 1", {{L"", false}}, 0, true, true, {}, 0},
        {"an empty scope loses to any specific match", {{L"", false}, {L"ui.window", false}}, 0, true, true, {}, 1},
        {"a single priority binding runs at once", {{L"ui.editor", false}, {L"ui.editor", true}}, 0, true, true, {}, 1},
        {"a priority binding admitted first stays alone",
         {{L"ui.window", true}, {L"ui.editor", false}},
         0,
         true,
         true,
         {},
         0},
        {"a lower priority binding after a better one is not admitted",
         {{L"ui.editor", false}, {L"ui.window", true}},
         0,
         true,
         true,
         {},
         0},
        {"two tied priority bindings go to the chooser with all ties",
         {{L"ui.editor", true}, {L"ui.editor", false}, {L"ui.editor", true}},
         2,
         true,
         true,
         {0, 1, 2},
         2},
        {"nothing matches", {{L"ui.tree", false}}, 0, true, false, {}, -1},
        {"no binding", {}, 0, true, false, {}, -1},
        {"the chooser closed without a choice still consumes",
         {{L"ui.editor", false}, {L"ui.editor", false}},
         -1,
         true,
         true,
         {0, 1},
         -1},
        {"the chooser lost activation", {{L"ui.editor", false}, {L"ui.editor", false}}, -2, true, true, {0, 1}, -1},
        {"no live handler still consumes", {{L"ui.editor", false}}, 0, false, true, {}, -1},
    };
    for (const KeyCase& c : cases)
        EXPECT_TRUE(dispatches(c));
}

TEST(ActionInvokerKeyTest, KeysMatchExactlyTheirCode) {
    ActionBench bench;
    afActionInvokerKey keys(&bench.registry);
    afAction* leftAlt = keys.bindShortcut(bench.add(L"l", L""), L"Alt+X", true);
    keys.bindShortcut(bench.add(L"unknown", L""), L"Ctrl+Nonsense", true);
    keys.bindShortcut(bench.add(L"empty", L""), L"", true);
    keys.bindKey(bench.add(L"zero", L""), 0, true);
    EXPECT_EQ(1u, keys.keyBindingCount());
    EXPECT_EQ(L"Alt+X", leftAlt->getTriggers()[0]->getText());
    auto context = pathOf({L"ui.editor"});
    EXPECT_FALSE(keys.invokeKey(*context, nullptr, afKey::RIGHT_ALT | 'X'));
    EXPECT_FALSE(keys.invokeKey(*context, nullptr, 'X'));
    EXPECT_TRUE(keys.invokeKey(*context, nullptr, afKey::ALT | 'X'));
    ASSERT_EQ(1u, bench.handler.ran.size());
    EXPECT_EQ(leftAlt, bench.handler.ran[0]);
    EXPECT_EQ(leftAlt->getTriggers()[0], bench.handler.triggers[0]);
}

struct CharCase {
    const char* name;
    std::vector<const wchar_t*> scopes; // all bound to '('
    bool answer;                        // what the handler returns
    bool result;
    int ran;
};

::testing::AssertionResult typesAs(const CharCase& c) {
    ActionBench bench;
    bench.handler.answer = c.answer;
    afActionInvokerKey keys(&bench.registry);
    std::vector<afAction*> actions;
    for (const wchar_t* scope : c.scopes)
        actions.push_back(keys.bindChar(bench.add(L"", scope), L'('));
    auto context = pathOf({L"source.c", L"ui.editor"});
    bool result = keys.invokeChar(*context, L'(');
    int ran = -1;
    for (size_t i = 0; i < actions.size(); ++i) {
        if (!bench.handler.ran.empty() && bench.handler.ran[0] == actions[i])
            ran = static_cast<int>(i);
    }
    bool typeRight = bench.handler.types.empty() || bench.handler.types[0] == afActionEventType::CHARACTER;
    if (result == c.result && ran == c.ran && typeRight && bench.handler.ran.size() <= 1)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << c.name << ": result " << result << ", ran " << ran;
}

TEST(ActionInvokerKeyTest, InvokeCharRunsTheBestThenTheLastBinding) {
    const CharCase cases[] = {
        {"one binding", {L""}, true, true, 0},
        {"the handler's answer is the result", {L""}, false, false, 0},
        {"ties go to the last bound", {L"source.c", L"source.c"}, true, true, 1},
        // Caught: the general pair loaded after a language's own pair won by load order.
        {"a language's own pair beats a later general one", {L"source.c", L""}, true, true, 0},
        {"a scope that does not match lets the character through", {L"source.python"}, true, false, -1},
        {"no binding", {}, true, false, -1},
    };
    for (const CharCase& c : cases)
        EXPECT_TRUE(typesAs(c));
}

TEST(ActionInvokerKeyTest, CharactersOfARemovedActionFallThrough) {
    ActionBench bench;
    afActionInvokerKey keys(&bench.registry);
    bench.registry.addInvoker(&keys, afActionEventType::CHARACTER);
    bench.registry.addInvoker(&keys, afActionEventType::KEY);
    afAction* general = keys.bindChar(bench.add(L"g", L""), L'"');
    afAction* special = keys.bindChar(bench.add(L"s", L"source.c"), L'"');
    keys.bindChar(special, 0);
    EXPECT_EQ(1u, special->getTriggers().size());
    EXPECT_EQ(L"\"", special->getTriggers()[0]->getText());
    // A trigger of another action is ignored.
    keys.removeTrigger(special, general->getTriggers()[0]);
    EXPECT_EQ(2u, keys.charBindingCount());
    bench.registry.removeAction(special);
    auto context = pathOf({L"source.c"});
    EXPECT_TRUE(keys.invokeChar(*context, L'"'));
    ASSERT_EQ(1u, bench.handler.ran.size());
    EXPECT_EQ(general, bench.handler.ran[0]);
    bench.registry.removeInvoker(&keys);
}

} // namespace
