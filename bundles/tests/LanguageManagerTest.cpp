#include "support/ManagerFixture.h"

#include "corvel/bundles/Language.h"
#include "corvel/bundles/LanguageAction.h"
#include "corvel/bundles/LanguageManager.h"
#include "corvel/document/GrammarRegistry.h"
#include "corvel/document/ParserRuleRepository.h"
#include "corvel/jasmine/JasmineValue.h"
#include "zem/jasmine/JasmineParser.h"
#include "zem/value/DictionaryValue.h"

#include <gtest/gtest.h>

using namespace corvel;
using namespace bundletest;

namespace {

class LanguageManagerTest : public ManagerFixture {
protected:
    void SetUp() override {
        ManagerFixture::SetUp();
        makeManager();
    }
    void makeLanguages() {
        m_languages = new LanguageManager(*m_manager); // owned by the bundle manager once registered
        m_languages->onConfigReady(*m_config);
    }
    Language* install(const std::wstring& text) {
        Language* language = static_cast<Language*>(m_manager->createEntry(LANGUAGE_TYPE_ID, newUuid()));
        std::unique_ptr<zem::Value> value(zem::parseJasmine(text));
        language->readProperties(static_cast<zem::DictionaryValue*>(value.get()));
        m_manager->addEntry(language);
        language->release(); // the manager holds it now
        return language;
    }
    ::testing::AssertionResult choosesFor(const std::wstring& file, const std::wstring& expected) {
        std::wstring actual = m_languages->getLanguageForFile(file)->getName();
        if (actual == expected)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << std::string(file.begin(), file.end()) << ": "
                                             << std::string(actual.begin(), actual.end());
    }
    LanguageManager* m_languages = nullptr;
};

} // namespace

TEST_F(LanguageManagerTest, ChoosesTheLongestSuffixConfiguredFirst) {
    ConfigValue::List list;
    JasmineValue pair(JasmineValue::TYPE_DICTIONARY);
    pair.getOrAddEntry(L"grammar_name").setString(L"text.x");
    pair.getOrAddEntry(L"extensions") = JasmineValue(JasmineValue::TYPE_LIST);
    pair.getOrAddEntry(L"extensions").appendElement().setString(L"TXT"); // stored lower-cased
    list.emplace_back(ConfigValue::TYPE_JASMINE);
    list.back().setJasmine(pair);
    m_config->declareValue(LanguageManager::EXTENSIONS_KEY, ConfigValue::TYPE_LIST)->setList(list);
    makeLanguages();
    m_manager->beginUpdate();
    install(L"{ title: 'HTML', name: 'text.html', file_types: ['html', 'txt'], patterns: [] }");
    install(L"{ title: 'ERB', name: 'text.erb', file_types: ['HTML.erb', 'md.txt'], patterns: [] }");
    install(L"{ title: 'X', name: 'text.x', file_types: [], patterns: [] }");
    install(L"{ title: 'C', name: 'source.c', file_types: ['c', 'html'], patterns: [] }");
    m_manager->endUpdate();
    EXPECT_TRUE(choosesFor(L"a.HTML.ERB", L"text.erb"));
    EXPECT_TRUE(choosesFor(L"a.html", L"text.html")); // the first grammar claiming it keeps it
    EXPECT_TRUE(choosesFor(L"notes.txt", L"text.x"));
    EXPECT_TRUE(choosesFor(L"a.md.txt", L"text.erb"));
    EXPECT_TRUE(choosesFor(L"main.c", L"source.c"));
    EXPECT_TRUE(choosesFor(L"c", L"source.c"));
    EXPECT_TRUE(choosesFor(L"abc", L""));
    EXPECT_TRUE(choosesFor(L"dir.c\\abc", L""));
    EXPECT_EQ(L"None", m_languages->getLanguage(L"")->getTitle());

    m_languages->rememberExtension(L"source.c", L"INL");
    m_languages->onConfigExit(*m_config);
    ConfigValue* stored = m_config->getValue(LanguageManager::EXTENSIONS_KEY);
    ASSERT_EQ(2u, stored->getList().size());
    const JasmineValue* remembered = stored->getList()[1].getJasmine();
    ASSERT_NE(nullptr, remembered);
    EXPECT_EQ(std::wstring(L"source.c"), remembered->find(L"grammar_name").asString(L""));
    const JasmineValue* first = nullptr;
    const JasmineValue* last = nullptr;
    remembered->find(L"extensions").listRange(first, last);
    ASSERT_EQ(1, last - first);
    EXPECT_EQ(std::wstring(L"inl"), first->asString(L""));
    EXPECT_TRUE(choosesFor(L"a.inl", L"source.c"));
}

TEST_F(LanguageManagerTest, CompilesOncePerBracketAndUninstallDropsActionsAndPairs) {
    makeLanguages();
    int compiled = 0;
    m_languages->onCompiled.add([](void* p, LanguageManager*) { ++*static_cast<int*>(p); }, &compiled);
    m_manager->beginUpdate();
    Language* first = install(L"{ title: 'A', name: 'text.a', file_types: ['a'], patterns: [ { match: /a/, name: 'x' } ] }");
    Language* second = install(L"{ title: 'A2', name: 'text.a', file_types: ['a2'], patterns: [] }");
    EXPECT_FALSE(m_languages->isCompiling());
    m_manager->endUpdate();
    EXPECT_TRUE(m_languages->isCompiling());
    ASSERT_TRUE(m_window.pumpUntil([&] { return !m_languages->isCompiling(); }));
    EXPECT_EQ(1, compiled);
    ASSERT_NE(nullptr, m_languages->getRepository());
    EXPECT_NE(nullptr, m_languages->getRepository()->findRule(L"text.a"));
    EXPECT_EQ(3u, m_languages->getLanguageList().size()); // None and both grammars
    EXPECT_EQ(first, m_languages->getLanguage(L"text.a"));

    // The second of the name holds no map entry; its own action goes all the same.
    m_manager->removeEntry(second);
    EXPECT_EQ(2u, m_languages->getLanguageList().size());
    // Removing the first drops every pair of the name.
    m_manager->removeEntry(first);
    std::vector<std::wstring> patterns;
    m_languages->getGrammarFilePatterns(L"text.a", patterns);
    EXPECT_TRUE(patterns.empty());
    EXPECT_EQ(L"None", m_languages->getLanguageForFile(L"x.a")->getTitle());
    ASSERT_TRUE(m_window.pumpUntil([&] { return !m_languages->isCompiling(); }));
}

TEST_F(LanguageManagerTest, ACancelledCompilationKeepsTheInstalledRules) {
    makeLanguages();
    install(L"{ title: 'A', name: 'text.a', patterns: [ { match: /a/, name: 'x' } ] }");
    ASSERT_TRUE(m_window.pumpUntil([&] { return !m_languages->isCompiling(); }));
    ParserRuleRepository* installed = m_languages->getRepository();
    ASSERT_NE(nullptr, installed);
    m_languages->startCompilation(false);
    m_languages->cancelCompilation();
    EXPECT_FALSE(m_languages->isCompiling());
    m_window.pumpUntil([] { return false; }, 200);
    EXPECT_EQ(installed, m_languages->getRepository());
}

TEST_F(LanguageManagerTest, InstallsThroughTheGrammarRegistry) {
    GrammarRegistry registry;
    m_languages = new LanguageManager(*m_manager, registry);
    m_languages->onConfigReady(*m_config);
    install(L"{ title: 'A', name: 'text.a', patterns: [ { match: /a/, name: 'x' } ] }");
    ASSERT_TRUE(m_window.pumpUntil([&] { return !m_languages->isCompiling(); }));
    ASSERT_NE(nullptr, registry.getRepository());
    EXPECT_NE(nullptr, registry.resolve(L"text.a", true));
    EXPECT_EQ(nullptr, m_languages->getRepository());
    m_manager.reset(); // the languages go before the registry
}
