#include "corvel/document/GrammarRegistry.h"
#include "corvel/document/ParserRule.h"
#include "support/ControllerFixture.h"
#include "support/TestGrammar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using corvel::GrammarRegistry;
using corvel::ParserRule;

struct Calls {
    std::vector<std::pair<std::wstring, const ParserRule*>> seen;
    static void record(void* self, const std::wstring& name, const ParserRule* rule) {
        static_cast<Calls*>(self)->seen.emplace_back(name, rule);
    }
};

TEST(GrammarRegistryTest, SubscribersFollowEveryRepository) {
    GrammarRegistry registry;
    Calls calls;
    EXPECT_FALSE(registry.subscribe(L"source.test", &calls, &Calls::record)) << "no repository yet";
    EXPECT_TRUE(calls.seen.empty());

    documenttest::TestGrammar first(L"source.test");
    const ParserRule* firstRule = first.root();
    registry.setRepository(first.release().release());
    ASSERT_EQ(1u, calls.seen.size());
    EXPECT_EQ(firstRule, calls.seen[0].second);

    documenttest::TestGrammar second(L"source.test");
    const ParserRule* secondRule = second.root();
    registry.setRepository(second.release().release());
    ASSERT_EQ(3u, calls.seen.size());
    EXPECT_EQ(nullptr, calls.seen[1].second) << "told there is no rule before the old one goes";
    EXPECT_EQ(secondRule, calls.seen[2].second);

    registry.setRepository(nullptr);
    ASSERT_EQ(4u, calls.seen.size());
    EXPECT_EQ(nullptr, calls.seen[3].second);
}

TEST(GrammarRegistryTest, ASubscriberIsEnteredOnceAndNeverForAnEmptyName) {
    GrammarRegistry registry;
    Calls calls;
    documenttest::TestGrammar grammar(L"source.test");
    registry.setRepository(grammar.release().release());
    EXPECT_TRUE(registry.subscribe(L"source.test", &calls, &Calls::record));
    EXPECT_TRUE(registry.subscribe(L"source.test", &calls, &Calls::record));
    EXPECT_EQ(1u, registry.subscriptionCount(L"source.test"));
    EXPECT_FALSE(registry.subscribe(L"", &calls, &Calls::record));
    EXPECT_EQ(0u, registry.subscriptionCount(L""));
    EXPECT_FALSE(registry.subscribe(L"source.other", &calls, &Calls::record)) << "a name it does not hold";
    calls.seen.clear();
    registry.notifyAll(true);
    EXPECT_EQ(1u, calls.seen.size()) << "recompiles rebind once, not once per past call";
    registry.unsubscribeAll(&calls, &Calls::record);
    EXPECT_EQ(0u, registry.subscriptionCount());
}

class DocumentLanguageTest : public documenttest::ControllerFixture {};

TEST_F(DocumentLanguageTest, DocumentsFollowTheRegistryAndCountTheirLanguage) {
    documenttest::TestGrammar grammar(L"source.test");
    const ParserRule* rule = grammar.root();
    grammars->setRepository(grammar.release().release());
    controller->setLanguage(L"source.test");
    EXPECT_EQ(rule, document()->getGrammar());
    EXPECT_EQ(L"source.test", controller->getLanguageName());

    corvel::DocumentController* other = controllers->createUntitledDocument();
    other->setLanguage(L"source.test");
    EXPECT_EQ(2, documents->getLanguageUse(L"source.test"));

    grammars->setRepository(nullptr);
    EXPECT_EQ(nullptr, document()->getGrammar()) << "no repository unbinds";
    documenttest::TestGrammar again(L"source.test");
    const ParserRule* newRule = again.root();
    grammars->setRepository(again.release().release());
    EXPECT_EQ(newRule, document()->getGrammar()) << "a new repository rebinds";
    EXPECT_EQ(newRule, other->getDocument()->getGrammar());

    controllers->destroyController(other);
    EXPECT_EQ(1, documents->getLanguageUse(L"source.test"));
    EXPECT_EQ(1u, grammars->subscriptionCount(L"source.test")) << "one document still uses it";
    controller->setLanguage(L"");
    EXPECT_EQ(0, documents->getLanguageUse(L"source.test"));
    EXPECT_EQ(0u, grammars->subscriptionCount(L"source.test"));
    EXPECT_EQ(nullptr, document()->getGrammar());
}

} // namespace
