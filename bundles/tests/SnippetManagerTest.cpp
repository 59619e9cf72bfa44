#include "corvel/bundles/SnippetManager.h"

#include "corvel/bundles/BundleUiHost.h"
#include "corvel/bundles/Snippet.h"
#include "support/ManagerFixture.h"
#include "zem/jasmine/JasmineParser.h"
#include "zem/value/Values.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using corvel::Snippet;
using corvel::SnippetManager;

class ActionHost : public corvel::BundleUiHost {
public:
    void addAction(const corvel::BundleAction& action) override {
        added.push_back(action.name + L"|" + action.title + L"|" + action.context + L"|" + action.key + L"|" +
                        action.tabWord + L"|" + action.group);
    }
    void removeAction(const std::wstring& name) override { removed.push_back(name); }
    std::vector<std::wstring> added;
    std::vector<std::wstring> removed;
};

class SnippetManagerTest : public bundletest::ManagerFixture {
protected:
    void SetUp() override {
        ManagerFixture::SetUp();
        makeManager();
        snippets.reset(new SnippetManager(*m_manager, host));
        snippet = static_cast<Snippet*>(snippets->createEntry(corvel::SNIPPET_TYPE_ID, uuid(3)));
        std::unique_ptr<zem::Value> value(zem::parseJasmine(
            L"{title: 'For', scope: 'source.c', shortcut: 'Ctrl+F', tab_trigger: 'for', content: 'for ($1)'}"));
        snippet->readProperties(static_cast<zem::DictionaryValue*>(value.get()));
    }
    void TearDown() override {
        snippets.reset();
        snippet->release();
        ManagerFixture::TearDown();
    }
    ActionHost host;
    std::unique_ptr<SnippetManager> snippets;
    Snippet* snippet = nullptr;
};

TEST_F(SnippetManagerTest, AnInstalledSnippetHasOneActionNamedByItsUuid) {
    corvel::BundleEntryTypeInfo info;
    snippets->getEntryType(info);
    EXPECT_EQ(L"cvSnippet", info.extension);
    EXPECT_NE(nullptr, info.validator);
    EXPECT_TRUE(snippets->installEntry(snippet));
    ASSERT_EQ(1u, host.added.size());
    const std::wstring name = snippet->getUuid().toString();
    EXPECT_EQ(name + L"|For|source.c|Ctrl+F|for|<Unknown>", host.added[0]);
    ASSERT_NE(nullptr, snippet->getAction());
    EXPECT_EQ(snippet, snippet->getAction()->snippet);
    snippets->onEntryChanged(snippet);
    EXPECT_EQ(std::vector<std::wstring>{name}, host.removed);
    EXPECT_EQ(2u, host.added.size());
    EXPECT_EQ(1u, snippets->getActions().size());
    snippets->uninstallEntry(snippet);
    EXPECT_EQ(2u, host.removed.size());
    EXPECT_EQ(nullptr, snippet->getAction());
    EXPECT_TRUE(snippets->getActions().empty());
}

TEST_F(SnippetManagerTest, RunningWithoutAnActiveDocumentDoesNothing) {
    snippets->installEntry(snippet);
    ASSERT_NE(nullptr, snippet->getAction());
    EXPECT_NO_THROW(snippet->getAction()->run());
}

} // namespace
