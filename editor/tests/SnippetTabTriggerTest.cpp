// Snippets run from the editor as the program runs them: Tab after a trigger word replaces
// the word with the snippet, Tab and Shift+Tab walk its fields, typing into a field
// rewrites its mirrors and transformations, and one undo takes the whole insertion back.
// Keys go to the key invoker first and then to the editor, as in the message loop.
#include "corvel/bundles/BundleManager.h"
#include "corvel/bundles/Snippet.h"
#include "corvel/bundles/SnippetManager.h"
#include "corvel/document/Document.h"
#include "corvel/document/SpanBinding.h"
#include "corvel/editor/EditorContext.h"
#include "corvel/widgets/afActionChooser.h"
#include "corvel/widgets/afActionHandler.h"
#include "corvel/widgets/afActionInvokerTab.h"
#include "corvel/widgets/afActionSystem.h"
#include "support/CommandFixture.h"
#include "zem/jasmine/JasmineParser.h"
#include "zem/value/Values.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using corvel::DocumentController;

std::vector<std::wstring> g_offered;
int g_answer = 0;

int answerChooser(corvel::afActionMatchList& matches, corvel::afView*) {
    for (const corvel::afActionMatch& match : matches)
        g_offered.push_back(match.action->getTitle());
    return g_answer;
}

// The program's side of the bundles, as far as snippets need it: a snippet's action is
// registered under its name, bound to its key and its tab word, and runs on the editor's
// document.
class SnippetHost : public corvel::BundleUiHost, public corvel::afActionHandler {
public:
    SnippetHost(corvel::afActionRegistry* registry, corvel::afActionInvokerKey* keys, corvel::afActionInvokerTab* tabs)
        : afActionHandler(L"SnippetTestHost", registry), m_registry(registry), m_keys(keys), m_tabs(tabs) {
        activate();
    }
    ~SnippetHost() override {
        for (auto& made : m_made)
            m_registry->removeAction(made.second);
    }
    void addAction(const corvel::BundleAction& action) override {
        removeAction(action.name);
        std::function<void()> run = action.run;
        corvel::afActionMethod method(
            corvel::afActionMethod::Call([run](corvel::afActionHandler&, corvel::afActionEvent*) {
                run();
                return true;
            }));
        corvel::afAction* made = m_registry->addAction(new corvel::afActionSystem(
            action.title.c_str(), getHandlerClass(), action.name.c_str(), action.context.c_str(), method));
        if (!action.key.empty())
            m_keys->bindShortcut(made, action.key.c_str(), false);
        if (!action.tabWord.empty())
            m_tabs->bindWord(action.tabWord.c_str(), made);
        m_made[action.name] = made;
    }
    void removeAction(const std::wstring& name) override {
        auto found = m_made.find(name);
        if (found == m_made.end())
            return;
        m_registry->removeAction(found->second);
        m_made.erase(found);
    }
    DocumentController* getActiveController() override { return active; }

    DocumentController* active = nullptr;

private:
    corvel::afActionRegistry* m_registry;
    corvel::afActionInvokerKey* m_keys;
    corvel::afActionInvokerTab* m_tabs;
    std::map<std::wstring, corvel::afAction*> m_made;
};

const wchar_t FOR_LOOP[] = L"for (${1:i} = 0; $1 < ${2:n}; $1++) { $0 }";

class SnippetTabTriggerTest : public edtest::CommandFixture {
protected:
    void SetUp() override {
        edtest::CommandFixture::SetUp();
        tabs.reset(new corvel::afActionInvokerTab(registry.get()));
        registry->addInvoker(tabs.get(), corvel::afActionEventType::TAB);
        corvel::EditorContext::get().tabInvoker = tabs.get();
        host.reset(new SnippetHost(registry.get(), keys.get(), tabs.get()));
        host->active = controller;
        bundles.reset(new corvel::BundleManager(host.get()));
        snippets.reset(new corvel::SnippetManager(*bundles, *host));
        savedChooser = corvel::getActionChooser();
        corvel::setActionChooser(&answerChooser);
        g_offered.clear();
        g_answer = 0;
    }
    void TearDown() override {
        corvel::setActionChooser(savedChooser);
        for (corvel::Snippet* snippet : made) {
            snippets->uninstallEntry(snippet);
            snippet->release();
        }
        snippets.reset();
        bundles.reset();
        host.reset();
        corvel::EditorContext::get().tabInvoker = nullptr;
        registry->removeInvoker(tabs.get());
        tabs.reset();
        edtest::CommandFixture::TearDown();
    }

    // An installed snippet with the trigger, the content, an empty scope (fits everywhere)
    // unless one is given, and an optional key.
    corvel::Snippet* addSnippet(const std::wstring& title, const std::wstring& trigger, const std::wstring& content,
                                const std::wstring& scope = L"", const std::wstring& key = L"") {
        zem::Uuid id;
        id.create();
        auto* snippet = static_cast<corvel::Snippet*>(snippets->createEntry(corvel::SNIPPET_TYPE_ID, id));
        auto* properties = new zem::DictionaryValue();
        std::unique_ptr<zem::Value> owned(properties);
        properties->set(L"title", new zem::StringValue(title));
        properties->set(L"tab_trigger", new zem::StringValue(trigger));
        properties->set(L"content", new zem::StringValue(content));
        properties->set(L"scope", new zem::StringValue(scope));
        properties->set(L"shortcut", new zem::StringValue(key));
        snippet->readProperties(properties);
        snippets->installEntry(snippet);
        made.push_back(snippet);
        return snippet;
    }

    // The text with "|" at the caret (one empty caret) or "[" and "]" around each range,
    // anchor and caret in text order.
    void place(const std::wstring& marked) {
        std::wstring plain;
        std::vector<std::pair<int32_t, int32_t>> ranges;
        int32_t open = -1;
        for (wchar_t c : marked) {
            const int32_t at = static_cast<int32_t>(plain.size());
            if (c == L'|')
                ranges.emplace_back(at, at);
            else if (c == L'[')
                open = at;
            else if (c == L']')
                ranges.emplace_back(open, at);
            else
                plain += c;
        }
        setText(plain);
        controller->beginEdit(DocumentController::EDIT_READ);
        for (size_t i = 0; i < ranges.size(); ++i) {
            const corvel::TextPosition a = controller->offsetToPosition(ranges[i].first);
            const corvel::TextPosition b = controller->offsetToPosition(ranges[i].second);
            if (i == 0)
                selection()->select(a, b, 1, corvel::Selection::ID_NORMAL);
            else
                selection()->addSelection(a, b, corvel::Selection::ID_NORMAL);
        }
        controller->endEdit();
    }
    // The text with the selection marked as place reads it.
    std::wstring marked() {
        std::wstring all = text();
        std::vector<std::pair<int32_t, int32_t>> ranges;
        controller->beginEdit(DocumentController::EDIT_READ);
        for (const corvel::SelectionRange& range : selection()->getRanges())
            ranges.emplace_back(range.start(), range.end());
        controller->endEdit();
        for (auto it = ranges.rbegin(); it != ranges.rend(); ++it) {
            if (it->first == it->second) {
                all.insert(static_cast<size_t>(it->first), L"|");
                continue;
            }
            all.insert(static_cast<size_t>(it->second), L"]");
            all.insert(static_cast<size_t>(it->first), L"[");
        }
        return all;
    }

    // A key as the message loop gives it: the key invoker first, then the editor.
    bool key(const wchar_t* keyText) {
        if (press(keyText))
            return true;
        const int code = corvel::afKey::parse(keyText);
        MSG msg{editor->getHandle(), WM_KEYDOWN, static_cast<WPARAM>(code & corvel::afKey::KEY), 0, 0, {0, 0}};
        corvel::afEvent event(msg, static_cast<unsigned>(code));
        return editor->onKeyDown(&event);
    }
    void type(const std::wstring& characters) {
        for (wchar_t c : characters)
            typeChar(c);
    }
    // Runs keys and typing, one step a word: "Tab", "Shift+Tab", "Esc", "Backspace",
    // "Ctrl+Z" ... are keys, anything else is typed.
    void run(const std::vector<std::wstring>& steps) {
        for (const std::wstring& step : steps) {
            if (step == L"Tab" || step == L"Shift+Tab" || step == L"Esc" || step == L"Backspace" ||
                step.compare(0, 5, L"Ctrl+") == 0)
                key(step.c_str());
            else
                type(step);
        }
    }
    bool insideSnippet() {
        corvel::SpanBinding* spans = controller->getSpanBinding();
        return spans->getActiveContext() && spans->getActiveContext() != spans->getRoot();
    }

    struct Case {
        const wchar_t* name;
        std::wstring before;             // marked as place reads it
        std::vector<std::wstring> steps; // keys and typing
        std::wstring after;              // marked as marked() writes it
    };
    ::testing::AssertionResult gives(const Case& c) {
        place(c.before);
        run(c.steps);
        const std::wstring got = marked();
        if (got == c.after)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << testing::PrintToString(std::wstring(c.name)) << ": expected " << testing::PrintToString(c.after)
               << ", got " << testing::PrintToString(got);
    }

    std::unique_ptr<corvel::afActionInvokerTab> tabs;
    std::unique_ptr<SnippetHost> host;
    std::unique_ptr<corvel::BundleManager> bundles;
    std::unique_ptr<corvel::SnippetManager> snippets;
    std::vector<corvel::Snippet*> made;
    corvel::afActionChooserFunction savedChooser = nullptr;
};

// Caught: the trigger and the Tab text were removed forward from the caret, so Tab after a
// trigger deleted the characters after it (a line break and the next line's start).
TEST_F(SnippetTabTriggerTest, TabAfterATriggerReplacesOnlyTheTrigger) {
    addSnippet(L"For loop", L"forx", FOR_LOOP);
    const Case cases[] = {
        {L"line start", L"\nforx|\n/* A comment */", {L"Tab"}, L"\nfor ([i] = 0; i < n; i++) {  }\n/* A comment */"},
        {L"mid-line", L"a = forx|b;", {L"Tab"}, L"a = for ([i] = 0; i < n; i++) {  }b;"},
        {L"document end", L"x\nforx|", {L"Tab"}, L"x\nfor ([i] = 0; i < n; i++) {  }"},
        {L"after a two-unit character and a blank",
         L"\U0001D11E forx|;",
         {L"Tab"},
         L"\U0001D11E for ([i] = 0; i < n; i++) {  };"},
        {L"after an accented letter and a bracket",
         L"\u00e9(forx|)",
         {L"Tab"},
         L"\u00e9(for ([i] = 0; i < n; i++) {  })"},
        // A word glued to the word before it is no trigger: Tab stays a Tab.
        {L"glued to a two-unit character", L"\U0001D11Eforx|\nz", {L"Tab"}, L"\U0001D11Eforx\t|\nz"},
        {L"glued to a letter", L"\u00e9forx|\nz", {L"Tab"}, L"\u00e9forx\t|\nz"},
        {L"no trigger", L"word|\nnext", {L"Tab"}, L"word\t|\nnext"},
        {L"caret before the trigger's end", L"for|x\nz", {L"Tab"}, L"for\t|x\nz"},
        // Several carets and selections indent; nothing is removed.
        // (The second caret goes on as a mirror of the first.)
        {L"several carets", L"forx|\nforx|\nz", {L"Tab"}, L"forx\t|\nforx\t\nz"},
        {L"a selection", L"[forx]\nz", {L"Tab"}, L"[\tforx\n]z"},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(gives(c));
}

TEST_F(SnippetTabTriggerTest, FieldsMirrorsAndTransformationsFollowTyping) {
    addSnippet(L"For loop", L"forx", FOR_LOOP);
    addSnippet(L"Upper", L"up", L"${1:name} = ${1/(\\w+)/\\U$1/g};$0");
    addSnippet(L"Block", L"blk", L"if ($1) {\n\t$0\n}");
    const Case cases[] = {
        {L"type into field 1", L"forx|", {L"Tab", L"k"}, L"for (k| = 0; k < n; k++) {  }"},
        {L"field 2 after Tab", L"forx|", {L"Tab", L"k", L"Tab"}, L"for (k = 0; k < [n]; k++) {  }"},
        {L"type into field 2", L"forx|", {L"Tab", L"k", L"Tab", L"len"}, L"for (k = 0; k < len|; k++) {  }"},
        {L"the end last", L"forx|", {L"Tab", L"Tab", L"Tab"}, L"for (i = 0; i < n; i++) { | }"},
        {L"Shift+Tab goes back", L"forx|", {L"Tab", L"Tab", L"Shift+Tab"}, L"for ([i] = 0; i < n; i++) {  }"},
        {L"a mirror follows every key", L"forx|", {L"Tab", L"ab", L"Backspace"}, L"for (a| = 0; a < n; a++) {  }"},
        {L"transformation", L"up|", {L"Tab"}, L"[name] = NAME;"},
        {L"transformation follows", L"up|", {L"Tab", L"total"}, L"total| = TOTAL;"},
        {L"indentation carried", L"\tblk|", {L"Tab"}, L"\tif (|) {\n\t\t\n\t}"},
        {L"indentation carried to the end", L"\tblk|", {L"Tab", L"a", L"Tab"}, L"\tif (a) {\n\t\t|\n\t}"},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(gives(c));
}

TEST_F(SnippetTabTriggerTest, EditingOutsideTheFieldsEscapeOrTheEndLeaveTheSnippet) {
    addSnippet(L"For loop", L"forx", FOR_LOOP);
    struct Leave {
        const wchar_t* name;
        std::vector<std::wstring> steps;
        std::wstring after; // after the steps and one more Tab
    };
    const Leave cases[] = {
        // Tab after leaving is a plain Tab again.
        {L"the end", {L"Tab", L"Tab", L"Tab"}, L"for (i = 0; i < n; i++) { \t| }\nz"},
        {L"Esc", {L"Tab", L"Esc"}, L"for (i\t| = 0; i < n; i++) {  }\nz"},
        {L"typing past the snippet", {L"Tab", L"Ctrl+End", L"!"}, L"for (i = 0; i < n; i++) {  }\nz!\t|"},
    };
    for (const Leave& c : cases) {
        place(L"forx|\nz");
        run(c.steps);
        EXPECT_FALSE(insideSnippet()) << testing::PrintToString(std::wstring(c.name));
        run({L"Tab"});
        EXPECT_EQ(c.after, marked()) << testing::PrintToString(std::wstring(c.name));
    }
}

TEST_F(SnippetTabTriggerTest, OneUndoTakesTheInsertionBackAndRedoBringsTheFieldsBack) {
    addSnippet(L"For loop", L"forx", FOR_LOOP);
    place(L"x\nforx|\n/* A comment */");
    key(L"Tab");
    ASSERT_EQ(L"x\nfor ([i] = 0; i < n; i++) {  }\n/* A comment */", marked());
    key(L"Ctrl+Z");
    EXPECT_EQ(L"x\nforx|\n/* A comment */", marked());
    key(L"Ctrl+Y");
    EXPECT_EQ(L"x\nfor (i = 0; i < n; i++) {  }\n/* A comment */", text());
    ASSERT_TRUE(insideSnippet());
    run({L"Tab", L"len"});
    EXPECT_EQ(L"x\nfor (i = 0; i < len; i++) {  }\n/* A comment */", text());
}

TEST_F(SnippetTabTriggerTest, TriggersOutsideTheirScopeStayTabs) {
    addSnippet(L"C loop", L"forx", FOR_LOOP, L"source.c");
    place(L"forx|\nz");
    key(L"Tab");
    EXPECT_EQ(L"forx\t|\nz", marked());
}

TEST_F(SnippetTabTriggerTest, TwoSnippetsOfOneTriggerGoToTheChooser) {
    addSnippet(L"Loop A", L"lp", L"A$0");
    addSnippet(L"Loop B", L"lp", L"B$0");
    g_answer = 1;
    place(L"lp|");
    key(L"Tab");
    EXPECT_EQ((std::vector<std::wstring>{L"Loop A", L"Loop B"}), g_offered);
    EXPECT_EQ(L"B|", marked());
    // A dismissed chooser leaves the text as it was.
    g_answer = -2;
    place(L"lp|");
    key(L"Tab");
    EXPECT_EQ(L"lp|", marked());
}

TEST_F(SnippetTabTriggerTest, ASnippetsKeyRunsIt) {
    addSnippet(L"Keyed", L"", L"<${1:b}>$0", L"", L"Ctrl+Shift+K");
    place(L"a|c");
    EXPECT_TRUE(key(L"Ctrl+Shift+K"));
    EXPECT_EQ(L"a<[b]>c", marked());
}

} // namespace
