// The grammar and snippet launchers by their keys: the candidates the bundles give, in the
// order they are offered, and which of them runs.
#include "corvel/bundles/BundleManager.h"
#include "corvel/bundles/Language.h"
#include "corvel/bundles/LanguageAction.h"
#include "corvel/bundles/Snippet.h"
#include "corvel/bundles/SnippetManager.h"
#include "corvel/editor/EditorContext.h"
#include "corvel/widgets/afActionChooser.h"
#include "corvel/widgets/afActionSystem.h"
#include "support/CommandFixture.h"

#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::wstring> g_offered;
int g_answer = -1;
bool g_asked = false;

int answerChooser(corvel::afActionMatchList& matches, corvel::afView*) {
    g_asked = true;
    for (const corvel::afActionMatch& match : matches)
        g_offered.push_back(match.action->getTitle());
    return g_answer;
}

struct Ran {
    std::wstring title;
    uint32_t eventType = 0;
    bool withContext = false;
};

class LaunchersTest : public edtest::CommandFixture {
protected:
    void SetUp() override {
        edtest::CommandFixture::SetUp();
        corvel::fillStandardEntryType(corvel::LANGUAGE_TYPE_ID, grammarKind);
        corvel::fillStandardEntryType(corvel::SNIPPET_TYPE_ID, snippetKind);
        bundles.reset(new corvel::BundleManager());
        corvel::EditorContext::get().bundles = bundles.get();
        target.reset(new corvel::afActionHandler(L"LauncherTarget", registry.get()));
        target->activate();
        savedChooser = corvel::getActionChooser();
        corvel::setActionChooser(&answerChooser);
        g_offered.clear();
        g_answer = -1;
        g_asked = false;
    }
    void TearDown() override {
        clear();
        corvel::setActionChooser(savedChooser);
        corvel::EditorContext::get().bundles = nullptr;
        bundles.reset();
        target.reset();
        edtest::CommandFixture::TearDown();
    }

    // No grammar, no snippet, nothing offered or run yet.
    void clear() {
        bundles->removeEntries(std::vector<corvel::BundleEntry*>(bundles->getEntries()), false);
        for (corvel::afAction* action : made)
            registry->removeAction(action);
        made.clear();
        languageActions.clear();
        snippetActions.clear();
        ran.clear();
        g_offered.clear();
        g_asked = false;
    }
    // What a handler answers when run through its action, as a menu would run it.
    bool run(const wchar_t* name) {
        corvel::afAction* action = registry->findAction(name);
        EXPECT_NE(nullptr, action) << testing::PrintToString(std::wstring(name));
        corvel::afActionEvent event;
        event.action = action;
        return action && action->execute(&event);
    }

    // The action the grammar's or snippet's manager would register under the entry's name.
    corvel::afAction* addAction(const std::wstring& name, const wchar_t* title, const wchar_t* scope) {
        corvel::afActionMethod method(
            corvel::afActionMethod::Call([this, title](corvel::afActionHandler&, corvel::afActionEvent* e) {
                ran.push_back(Ran{title, e->type, e->context != nullptr});
                EXPECT_EQ(title, e->action->getTitle());
                return true;
            }));
        made.push_back(registry->addAction(new corvel::afActionSystem(
            title, registry->getHandlerClass(L"LauncherTarget"), name.c_str(), scope, method)));
        return made.back();
    }
    void addGrammar(const wchar_t* title) {
        auto* language = new corvel::Language(&grammarKind, uuid());
        languageActions.emplace_back(new corvel::LanguageAction(language));
        language->setAction(languageActions.back().get());
        addAction(languageActions.back()->getName(), title, L"ui.editor");
        bundles->addEntry(language);
        language->release();
    }
    void addSnippet(const wchar_t* title, const wchar_t* scope) {
        auto* snippet = new corvel::Snippet(&snippetKind, uuid());
        snippetActions.emplace_back(new corvel::SnippetAction);
        snippetActions.back()->name = snippet->getUuid().toString();
        snippet->setAction(snippetActions.back().get());
        addAction(snippetActions.back()->name, title, scope);
        bundles->addEntry(snippet);
        snippet->release();
    }
    zem::Uuid uuid() {
        zem::Uuid id;
        id.create();
        return id;
    }

    corvel::BundleEntryTypeInfo grammarKind;
    corvel::BundleEntryTypeInfo snippetKind;
    std::unique_ptr<corvel::BundleManager> bundles;
    std::unique_ptr<corvel::afActionHandler> target;
    std::vector<std::unique_ptr<corvel::LanguageAction>> languageActions;
    std::vector<std::unique_ptr<corvel::SnippetAction>> snippetActions;
    corvel::afActionChooserFunction savedChooser = nullptr;
    std::vector<corvel::afAction*> made; // registered here
    std::vector<Ran> ran;
};

TEST_F(LaunchersTest, CandidatesAreSortedAndOneRunsAtOnceOrByChoice) {
    struct Snip {
        const wchar_t* title;
        const wchar_t* scope;
    };
    const struct {
        const char* what;
        const wchar_t* key;
        std::vector<const wchar_t*> grammars;
        std::vector<Snip> snippets;
        int answer;
        std::vector<std::wstring> offered; // empty: the chooser is not asked
        const wchar_t* runs;               // null: nothing runs
    } cases[] = {
        {"no grammar", L"Ctrl+Shift+G", {}, {}, 0, {}, nullptr},
        {"one grammar runs at once", L"Ctrl+Shift+G", {L"Python"}, {}, 0, {}, L"Python"},
        {"grammars by title, any case", L"Ctrl+Shift+G", {L"ruby", L"C++", L"Python", L"json"}, {}, 3,
         {L"C++", L"json", L"Python", L"ruby"}, L"ruby"},
        {"a dismissed chooser", L"Ctrl+Shift+G", {L"B", L"A"}, {}, -1, {L"A", L"B"}, nullptr},
        {"a chooser that lost activation", L"Ctrl+Shift+G", {L"B", L"A"}, {}, -2, {L"A", L"B"}, nullptr},
        {"no snippet fits", L"Ctrl+Space", {L"Python"}, {{L"for", L"source.python"}}, 0, {}, nullptr},
        {"one snippet fits", L"Ctrl+Space", {}, {{L"for", L"source.python"}, {L"todo", L""}}, 0, {}, L"todo"},
        {"the better fit first, then by title", L"Ctrl+Space", {},
         {{L"zeta", L"ui.editor"}, {L"beta", L""}, {L"alpha", L""}, {L"for", L"source.python"}}, 1,
         {L"zeta", L"alpha", L"beta"}, L"alpha"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        clear();
        for (const wchar_t* title : c.grammars)
            addGrammar(title);
        for (const Snip& snip : c.snippets)
            addSnippet(snip.title, snip.scope);
        g_answer = c.answer;
        EXPECT_TRUE(press(c.key));
        EXPECT_EQ(!c.offered.empty(), g_asked);
        EXPECT_EQ(c.offered, g_offered);
        if (c.runs) {
            ASSERT_EQ(1u, ran.size());
            EXPECT_EQ(c.runs, ran[0].title);
            EXPECT_EQ(corvel::afActionEventType::PLAIN, ran[0].eventType);
            EXPECT_TRUE(ran[0].withContext) << "the launching key's context travels on";
        } else {
            EXPECT_TRUE(ran.empty());
        }
    }
}

corvel::afActionRegistry* g_registry = nullptr;

// A reload of the bundles while the chooser is open: the first candidate's action goes.
int removeFirstAndPickIt(corvel::afActionMatchList& matches, corvel::afView*) {
    g_registry->removeAction(matches[0].action);
    return 0;
}

TEST_F(LaunchersTest, AnActionThatWentWhileChoosingDoesNotRun) {
    addGrammar(L"A");
    addGrammar(L"B");
    made.erase(made.begin()); // removed by the chooser
    g_registry = registry.get();
    corvel::setActionChooser(&removeFirstAndPickIt);
    EXPECT_TRUE(press(L"Ctrl+Shift+G"));
    EXPECT_TRUE(ran.empty());
}

TEST_F(LaunchersTest, WithoutADocumentOrBundlesTheLaunchersDoNothing) {
    addGrammar(L"Python");
    addSnippet(L"todo", L"");
    corvel::EditorContext::get().bundles = nullptr;
    EXPECT_TRUE(run(L"launch.grammar"));
    EXPECT_TRUE(run(L"launch.snippet"));
    EXPECT_TRUE(ran.empty());
    corvel::EditorContext::get().bundles = bundles.get();
    controller->setEditor(nullptr);
    EXPECT_FALSE(run(L"launch.grammar"));
    EXPECT_FALSE(run(L"launch.snippet"));
    EXPECT_TRUE(ran.empty());
    // Run by name, without a key's context, the editor's own place is used.
    controller->setEditor(editor);
    EXPECT_TRUE(run(L"launch.snippet"));
    ASSERT_EQ(1u, ran.size());
    EXPECT_FALSE(ran[0].withContext) << "nothing to pass on";
}

} // namespace
