#include "corvel/bundles/SnippetManager.h"

#include "corvel/bundles/BundleItem.h"
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
    EXPECT_TRUE(snippets->uninstallEntry(snippet));
    EXPECT_EQ(2u, host.removed.size());
    EXPECT_EQ(nullptr, snippet->getAction());
    EXPECT_TRUE(snippets->getActions().empty());
}

TEST_F(SnippetManagerTest, UninstallingAnswersWhetherTheEntryWasASnippet) {
    corvel::BundleEntryTypeInfo themes;
    corvel::fillStandardEntryType(corvel::THEME_TYPE_ID, themes);
    corvel::BundleItem* theme = new corvel::BundleItem(&themes, uuid(4));
    snippets->installEntry(snippet);
    EXPECT_FALSE(snippets->uninstallEntry(theme));
    EXPECT_TRUE(host.removed.empty());
    EXPECT_TRUE(snippets->uninstallEntry(snippet));
    EXPECT_EQ(std::vector<std::wstring>{snippet->getUuid().toString()}, host.removed);
    EXPECT_TRUE(snippets->uninstallEntry(snippet)) << "a snippet without an action is still a snippet";
    theme->release();
}

TEST_F(SnippetManagerTest, RunningWithoutAnActiveDocumentDoesNothing) {
    snippets->installEntry(snippet);
    ASSERT_NE(nullptr, snippet->getAction());
    EXPECT_NO_THROW(snippet->getAction()->run());
}

// A snippet that says when it is deleted.
class WatchedSnippet : public Snippet {
public:
    WatchedSnippet(const corvel::BundleEntryTypeInfo* info, bool& deleted)
        : Snippet(info, zem::Uuid()), m_deleted(deleted) {
        std::unique_ptr<zem::Value> value(zem::parseJasmine(L"{title: 'W', tab_trigger: 'w', content: 'w$1'}"));
        readProperties(static_cast<zem::DictionaryValue*>(value.get()));
    }
    ~WatchedSnippet() override { m_deleted = true; }

private:
    bool& m_deleted;
};

// Caught: an installed snippet its owners released was deleted under its action, and the
// manager's destructor and uninstallEntry then followed the dangling pointer.
TEST_F(SnippetManagerTest, AnInstalledSnippetLivesAsLongAsItsAction) {
    corvel::BundleEntryTypeInfo info;
    snippets->getEntryType(info);
    bool deleted = false;
    Snippet* watched = new WatchedSnippet(&info, deleted);
    snippets->installEntry(watched);
    watched->release();
    ASSERT_FALSE(deleted) << "released while its action still runs it";
    ASSERT_EQ(1u, snippets->getActions().size());
    EXPECT_EQ(L"W", snippets->getActions()[0]->snippet->getTitle());
    snippets->uninstallEntry(watched);
    EXPECT_TRUE(deleted);
    EXPECT_TRUE(snippets->getActions().empty());

    deleted = false;
    watched = new WatchedSnippet(&info, deleted);
    snippets->installEntry(watched);
    const std::wstring name = watched->getUuid().toString();
    watched->release();
    host.removed.clear();
    snippets.reset();
    EXPECT_TRUE(deleted) << "the manager let go of its actions' snippets";
    EXPECT_EQ(std::vector<std::wstring>{name}, host.removed) << "the host's action would call into a gone manager";
}

} // namespace
