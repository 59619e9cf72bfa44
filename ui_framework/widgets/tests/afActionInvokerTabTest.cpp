#include "corvel/widgets/afActionInvokerTab.h"

#include "corvel/widgets/afActionTriggerTab.h"
#include "support/ActionBench.h"

#include <gtest/gtest.h>

using namespace corvel;
using corveltest::ActionBench;
using corveltest::pathOf;

namespace {

struct TabBinding {
    const wchar_t* word;
    const wchar_t* scope;
};

struct TabCase {
    const char* name;
    std::vector<TabBinding> bindings;
    const wchar_t* text;       // the text before the caret
    std::vector<int> expected; // indices of the bound words offered, in order
};

::testing::AssertionResult offers(const TabCase& c) {
    ActionBench bench;
    afActionInvokerTab tabs(&bench.registry);
    std::vector<afAction*> actions;
    for (const TabBinding& binding : c.bindings)
        actions.push_back(tabs.bindWord(binding.word, bench.add(L"", binding.scope)));
    auto context = pathOf({L"source.rust", L"ui.editor"});
    afActionMatchList matches;
    size_t count = tabs.invoke(matches, *context, c.text, wcslen(c.text));
    std::vector<int> got;
    for (const afActionMatch& match : matches) {
        for (size_t i = 0; i < actions.size(); ++i) {
            if (actions[i] == match.action)
                got.push_back(static_cast<int>(i));
        }
        if (match.secondary != static_cast<afActionTriggerTab*>(match.trigger)->getWord().size())
            return ::testing::AssertionFailure() << c.name << ": secondary key is not the word length";
    }
    if (count == got.size() && got == c.expected)
        return ::testing::AssertionSuccess();
    std::string text;
    for (int index : got)
        text += std::to_string(index) + " ";
    return ::testing::AssertionFailure() << c.name << ": offered [" << text << "] count " << count;
}

TEST(ActionInvokerTabTest, CandidatesByScoreThenLongestWord) {
    const TabCase cases[] = {
        {"longest word first", {{L"fn", L""}, {L"afn", L""}}, L"x afn", {1}},
        {"inside a word", {{L"fn", L""}}, L"xafn", {}},
        {"after a parenthesis", {{L"fn", L""}}, L"x(fn", {0}},
        {"at the very start", {{L"fn", L""}}, L"fn", {0}},
        {"ties in binding order", {{L"fn", L"source.rust"}, {L"fn", L"source.rust"}}, L" fn", {0, 1}},
        {"a better-scoring word inside the longer one", {{L"afn", L""}, {L"fn", L"source.rust"}}, L" afn", {0}},
        {"a better score beats a longer word", {{L"(fn", L""}, {L"fn", L"source.rust"}}, L"x(fn", {1}},
        {"shorter text than every word", {{L"function", L""}}, L"fun", {}},
        {"scope must match", {{L"fn", L"source.python"}}, L" fn", {}},
        {"case-sensitive", {{L"Fn", L""}}, L" fn", {}},
        {"a surrogate pair before the word is one letter",
         {{L"fn", L""}},
         L"\xD835\xDC00"
         L"fn",
         {}},
        {"white space then the word", {{L"fn", L""}}, L"\tfn", {0}},
    };
    for (const TabCase& c : cases)
        EXPECT_TRUE(offers(c));
}

TEST(ActionInvokerTabTest, WordsStayLongestFirstAndGoWithTheirAction) {
    ActionBench bench;
    afActionInvokerTab tabs(&bench.registry);
    bench.registry.addInvoker(&tabs, afActionEventType::TAB);
    afAction* a = tabs.bindWord(L"ab", bench.add(L"a", L""));
    afAction* b = tabs.bindWord(L"abcd", bench.add(L"b", L""));
    tabs.bindWord(L"", a);
    tabs.bindWord(nullptr, a);
    EXPECT_EQ(2u, tabs.size());
    EXPECT_EQ(1u, a->getTriggers().size());
    // A trigger of another action is ignored.
    tabs.removeTrigger(a, b->getTriggers()[0]);
    EXPECT_EQ(2u, tabs.size());
    bench.registry.removeAction(b);
    EXPECT_EQ(1u, tabs.size());
    bench.registry.removeInvoker(&tabs);
}

} // namespace
