#include "corvel/editor/SearchManager.h"
#include "corvel/editor/SearchDialogUI.h"
#include "corvel/editor/SearchRequest.h"
#include "corvel/editor/SearchSubscriber.h"
#include "corvel/widgets/afAction.h"
#include "corvel/widgets/afActionEvent.h"
#include "corvel/widgets/afActionInvokerKey.h"
#include "corvel/widgets/afActionRegistry.h"
#include "corvel/widgets/afActionTrigger.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace corvel;

namespace {

constexpr uint32_t DOCUMENT = SearchRequest::SCOPE_CURRENT_DOCUMENT;
constexpr uint32_t SELECTION = SearchRequest::SCOPE_CURRENT_SELECTION;

struct Call {
    std::wstring findText;
    uint32_t action;
    bool backward;
    const SearchRequest* request;
};

class Subscriber : public SearchSubscriber {
public:
    bool ssOnAction(SearchRequest* request, uint32_t action, bool backward) override {
        calls.push_back({request->findText, action, backward, request});
        return answer;
    }
    void fillSearchText(std::wstring& findText, std::wstring& replaceText, uint32_t scopeId) override {
        filledFor = scopeId;
        findText = proposedFind;
        replaceText = proposedReplace;
    }
    void focusFromSearch() override { ++focused; }

    std::vector<Call> calls;
    bool answer = true;
    uint32_t filledFor = 0;
    std::wstring proposedFind = L"word";
    std::wstring proposedReplace;
    int focused = 0;
};

// Records what the manager asks of a front end.
class FrontEnd : public SearchDialogUI {
public:
    bool confirmWrapAround(SearchRequest*) override {
        ++wrapQuestions;
        return wrapAnswer;
    }
    void setRequest(const SearchRequest* request) override { findText = request->findText; }
    bool getRequest(SearchRequest* request) override {
        request->findText = findText;
        request->scopeId = DOCUMENT;
        return true;
    }
    void activate() override { ++activations; }
    bool isShown() const override { return shown; }
    void setShown(bool on) override { shown = on; }
    void setReplaceMode(bool on) override { replace = on; }
    void selectScope(uint32_t scopeId) override { scope = scopeId; }
    void focusFindText() override { ++findFocused; }
    void putTexts(const std::wstring& find, const std::wstring& replaceWith) override {
        if (!find.empty())
            findText = find;
        if (!replaceWith.empty())
            replaceText = replaceWith;
    }

    bool shown = false;
    bool replace = false;
    bool wrapAnswer = true;
    int wrapQuestions = 0;
    int activations = 0;
    int findFocused = 0;
    uint32_t scope = 0;
    std::wstring findText;
    std::wstring replaceText;
};

// The manager with recording front ends in place of its windows.
class Manager : public SearchManager {
public:
    explicit Manager(afActionRegistry* registry) : SearchManager(registry) {}
    FrontEnd dialog;
    FrontEnd strip;

protected:
    SearchDialogUI* createDialog(afView*) override { return &dialog; }
    SearchUI* createStrip(afLayoutLinear*) override { return &strip; }
};

struct Fixture {
    Fixture() {
        registry.addInvoker(&keys, afActionEventType::KEY);
        manager.setMainWindow(reinterpret_cast<afView*>(&manager), reinterpret_cast<afLayoutLinear*>(&manager));
        manager.registerScope({DOCUMENT, L"Current document", nullptr});
        manager.registerScope({SELECTION, L"Current selection", nullptr});
    }
    ~Fixture() { registry.removeInvoker(&keys); }

    SearchRequest* request(const wchar_t* text, uint32_t scopeId = DOCUMENT, SearchUI* frontEnd = nullptr) {
        SearchRequest* made = manager.createRequest(frontEnd);
        made->findText = text;
        made->scopeId = scopeId;
        return made;
    }

    afActionRegistry registry;
    afActionInvokerKey keys{&registry};
    Manager manager{&registry};
    Subscriber editor;
};

TEST(SearchRequestTest, ResetGivesTheDefaultsAndWrapAskingNeedsAFrontEnd) {
    FrontEnd frontEnd;
    SearchRequest request;
    request.frontEnd = &frontEnd;
    request.findText = L"a";
    request.replaceText = L"b";
    request.scopeId = DOCUMENT;
    request.matchCase = request.regularExpression = request.useEscapes = request.wholeWords = true;
    request.wrapAround = false;
    frontEnd.wrapAnswer = false;
    EXPECT_FALSE(request.confirmWrapAround());
    EXPECT_EQ(1, frontEnd.wrapQuestions);

    request.reset();
    EXPECT_EQ(nullptr, request.frontEnd);
    EXPECT_TRUE(request.findText.empty() && request.replaceText.empty());
    EXPECT_EQ(0x7f9000cfu, request.scopeId);
    EXPECT_FALSE(request.matchCase || request.regularExpression || request.useEscapes || request.wholeWords);
    EXPECT_TRUE(request.wrapAround);
    EXPECT_FALSE(request.confirmWrapAround());
}

TEST(SearchManagerTest, ScopesAreRegisteredOnceAndListenersHearEachChange) {
    afActionRegistry registry;
    SearchManager manager(&registry);
    int told = 0;
    uint32_t lastCurrent = 1;
    struct Ear {
        int* told;
        uint32_t* current;
        static void hear(void* self, const SearchManager::ScopeTable&, uint32_t scopeId) {
            auto* ear = static_cast<Ear*>(self);
            ++*ear->told;
            *ear->current = scopeId;
        }
    } ear{&told, &lastCurrent};
    manager.scopeListeners.add(&Ear::hear, &ear);

    manager.registerScope({0, L"nothing", nullptr});
    manager.registerScope({DOCUMENT, L"Current document", nullptr});
    manager.registerScope({DOCUMENT, L"again", nullptr});
    EXPECT_EQ(1, told);
    EXPECT_EQ(0u, lastCurrent);
    ASSERT_NE(nullptr, manager.findScope(DOCUMENT));
    EXPECT_EQ(L"Current document", manager.findScope(DOCUMENT)->title);
    EXPECT_EQ(nullptr, manager.findScope(0));

    Subscriber editor;
    EXPECT_FALSE(manager.setScopeSubscriber(SELECTION, &editor, true));
    EXPECT_EQ(1, told);
    EXPECT_TRUE(manager.setScopeSubscriber(DOCUMENT, &editor, true));
    EXPECT_EQ(2, told);
    EXPECT_EQ(DOCUMENT, lastCurrent);
    EXPECT_EQ(&editor, manager.findScope(DOCUMENT)->subscriber);
}

TEST(SearchManagerTest, AScopeKeepsTheEditorThatTookItLast) {
    Fixture f;
    Subscriber other;
    f.manager.setScopeSubscriber(DOCUMENT, &f.editor, true);
    f.manager.setScopeSubscriber(DOCUMENT, &other, true);
    // The first editor's focus loss arrives after the second took the scope.
    f.manager.setScopeSubscriber(DOCUMENT, &f.editor, false);
    EXPECT_EQ(&other, f.manager.findScope(DOCUMENT)->subscriber);
    f.manager.setScopeSubscriber(DOCUMENT, &other, false);
    EXPECT_EQ(nullptr, f.manager.findScope(DOCUMENT)->subscriber);
    EXPECT_EQ(DOCUMENT, f.manager.getCurrentScope());
}

TEST(SearchManagerTest, DispatchKeepsTheRequestsASubscriberSawAsTheLastOne) {
    Fixture f;
    // Without a subscriber the request is dropped and nothing is found.
    EXPECT_FALSE(f.manager.dispatch(f.request(L"lost"), SearchActionFind, false));
    EXPECT_EQ(nullptr, f.manager.getLastRequest());

    f.manager.setScopeSubscriber(DOCUMENT, &f.editor, true);
    SearchRequest* first = f.request(L"one");
    EXPECT_TRUE(f.manager.dispatch(first, SearchActionFind, true));
    EXPECT_EQ(first, f.manager.getLastRequest());

    // The same record again (Find Next on the last request) stays the last one.
    f.editor.answer = false;
    EXPECT_FALSE(f.manager.dispatch(first, SearchActionFind, false));
    ASSERT_EQ(first, f.manager.getLastRequest());
    EXPECT_EQ(L"one", f.manager.getLastRequest()->findText);

    SearchRequest* second = f.request(L"two");
    f.manager.dispatch(second, SearchActionReplaceAll, false);
    EXPECT_EQ(second, f.manager.getLastRequest());

    // A request for a scope nobody serves leaves the last request alone.
    f.manager.dispatch(f.request(L"three", SELECTION), SearchActionFind, false);
    EXPECT_EQ(second, f.manager.getLastRequest());

    ASSERT_EQ(3u, f.editor.calls.size());
    EXPECT_EQ(SearchActionFind, f.editor.calls[0].action);
    EXPECT_TRUE(f.editor.calls[0].backward);
    EXPECT_EQ(L"one", f.editor.calls[1].findText);
    EXPECT_EQ(SearchActionReplaceAll, f.editor.calls[2].action);
    EXPECT_EQ(&f.manager, f.editor.calls[2].request->manager);
}

TEST(SearchManagerTest, FindAgainAsksTheShownFrontEndThenTheLastRequestThenOpensTheDialog) {
    Fixture f;
    f.manager.registerActions();
    f.manager.setScopeSubscriber(DOCUMENT, &f.editor, true);

    // Nothing searched yet: the dialog opens.
    EXPECT_FALSE(f.manager.findAgain(false));
    EXPECT_TRUE(f.manager.dialog.shown);
    EXPECT_TRUE(f.editor.calls.empty());

    f.manager.dispatch(f.request(L"last"), SearchActionFind, false);
    f.manager.findAgain(true);
    ASSERT_EQ(2u, f.editor.calls.size());
    EXPECT_EQ(L"last", f.editor.calls[1].findText);
    EXPECT_TRUE(f.editor.calls[1].backward);

    f.manager.showStrip();
    f.manager.strip.findText = L"typed";
    f.manager.setActiveFrontEnd(&f.manager.strip);
    f.manager.findAgain(false);
    ASSERT_EQ(3u, f.editor.calls.size());
    EXPECT_EQ(L"typed", f.editor.calls[2].findText);
    EXPECT_EQ(SearchActionFind, f.editor.calls[2].action);

    // A hidden active front end is passed over for the last request, now the strip's.
    f.manager.strip.shown = false;
    f.manager.strip.findText = L"changed";
    f.manager.findAgain(false);
    EXPECT_EQ(L"typed", f.editor.calls.back().findText);
}

TEST(SearchManagerTest, OpeningTheDialogChoosesModeAndScopeAndFillsTextsOnlyWhenHidden) {
    struct Case {
        uint32_t mode;
        bool replace;
        uint32_t scope;
    };
    const Case cases[] = {
        {0x11, false, DOCUMENT}, {0x21, false, SELECTION}, {0x12, true, DOCUMENT}, {0x22, true, SELECTION}};
    for (const Case& c : cases) {
        Fixture f;
        f.manager.registerActions();
        f.manager.setScopeSubscriber(DOCUMENT, &f.editor, true);
        f.manager.setScopeSubscriber(SELECTION, &f.editor, true);
        f.manager.openDialog(c.mode);
        FrontEnd& dialog = f.manager.dialog;
        EXPECT_EQ(c.replace, dialog.replace) << c.mode;
        EXPECT_EQ(c.scope, dialog.scope) << c.mode;
        EXPECT_EQ(c.scope, f.editor.filledFor) << c.mode;
        EXPECT_EQ(L"word", dialog.findText) << c.mode;
        EXPECT_TRUE(dialog.shown) << c.mode;
        EXPECT_EQ(1, dialog.activations) << c.mode;
    }

    // Open already: only mode, scope and focus change; the find text stays.
    Fixture f;
    f.manager.registerActions();
    f.manager.setScopeSubscriber(DOCUMENT, &f.editor, true);
    f.manager.openDialog(0x11);
    f.manager.dialog.findText = L"kept";
    f.editor.proposedFind = L"selection";
    f.manager.openDialog(0x12);
    EXPECT_EQ(L"kept", f.manager.dialog.findText);
    EXPECT_TRUE(f.manager.dialog.replace);
    EXPECT_EQ(1, f.manager.dialog.findFocused);
}

TEST(SearchManagerTest, TheStripAndTheDialogAreNeverShownTogether) {
    Fixture f;
    f.manager.registerActions();
    f.manager.openDialog(0x11);
    f.manager.showStrip();
    EXPECT_TRUE(f.manager.strip.shown);
    EXPECT_FALSE(f.manager.dialog.shown);
    EXPECT_EQ(1, f.manager.strip.activations);
    f.manager.openDialog(0x12);
    EXPECT_TRUE(f.manager.dialog.shown);
    EXPECT_FALSE(f.manager.strip.shown);
}

TEST(SearchManagerTest, RegistersTheSevenActionsWithTheirKeysAndContexts) {
    struct Row {
        const wchar_t* name;
        const wchar_t* title;
        const wchar_t* key;
        const wchar_t* context;
    };
    const wchar_t* editor = L"ui.editor, ui.container.search_strip";
    const Row rows[] = {
        {L"search.find.dialog.find.current_document", L"Find in Current Document", L"Ctrl+F", editor},
        {L"search.find.dialog.find.current_selection", L"Find in Current Selection", L"Ctrl+Shift+F", editor},
        {L"search.find.dialog.replace.current_document", L"Replace in Current Document", L"Ctrl+H", editor},
        {L"search.find.dialog.replace.current_selection", L"Replace in Current Selection", L"Ctrl+Shift+H", editor},
        {L"search.find.strip", L"Open Quick Find", L"Ctrl+J", L"ui.window.main ui.editor, ui.container.search_strip"},
        {L"search.find.next", L"Find Next", L"F3", editor},
        {L"search.find.previous", L"Find Previous", L"Shift+F3", editor},
    };
    Fixture f;
    f.manager.registerActions();
    f.manager.registerActions();
    EXPECT_EQ(7u, f.registry.getActions().size());
    EXPECT_EQ(7u, f.keys.keyBindingCount());
    EXPECT_TRUE(f.manager.isActive());
    for (const Row& row : rows) {
        afAction* action = f.registry.findAction(row.name);
        ASSERT_NE(nullptr, action) << row.name;
        EXPECT_EQ(row.title, action->getTitle());
        EXPECT_EQ(row.context, action->getScopeText());
        afActionTrigger* trigger = action->findTrigger(afActionEventType::KEY);
        ASSERT_NE(nullptr, trigger) << row.name;
        EXPECT_EQ(row.key, trigger->getText()) << row.name;
    }

    // Ctrl+H through its action opens the dialog in replace mode.
    afActionEvent event;
    EXPECT_TRUE(f.registry.findAction(L"search.find.dialog.replace.current_document")->execute(&event));
    EXPECT_TRUE(f.manager.dialog.shown);
    EXPECT_TRUE(f.manager.dialog.replace);
}

} // namespace
