#include "corvel/app/ActionSelectWindow.h"

#include "../../ui_framework/widgets/tests/ModalSteps.h"
#include "../../ui_framework/widgets/tests/WidgetHost.h"
#include "../../ui_framework/widgets/tests/support/ActionBench.h"
#include "corvel/ui/afKey.h"
#include "corvel/ui/afCanvas.h"
#include "corvel/widgets/afActionChooser.h"
#include "corvel/widgets/afActionInvokerKey.h"
#include "corvel/widgets/afActionInvokerTab.h"
#include "corvel/widgets/afControlEdit.h"
#include "corvel/widgets/afControlLister.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace corvel;
using corveltest::ActionBench;
using widgetstest::HostWindow;

namespace {

// An action made from a bundle entry: its source is the bundle's name.
class BundleAction : public afAction {
public:
    BundleAction(afActionHandlerClass* handlerClass, const wchar_t* name, const wchar_t* title, const wchar_t* bundle)
        : afAction(1, handlerClass, name, L"ui.editor", 2, &corveltest::RecordingHandler::run), m_title(title),
          m_bundle(bundle) {}
    std::wstring getTitle() const override { return m_title; }
    const std::wstring& getSource() const override { return m_bundle; }

private:
    std::wstring m_title;
    std::wstring m_bundle;
};

// Four actions on Ctrl+K as the key dispatch would offer them: two built in, two from
// bundles, one of them with a tab word too.
struct Candidates {
    Candidates() : keys(&bench.registry), tabs(&bench.registry) {
        afAction* save = keys.bindShortcut(bench.add(L"file.save", L"ui.editor", L"Save File"), L"Ctrl+K", false);
        afAction* wrap = keys.bindShortcut(bench.registry.addAction(new BundleAction(
                                               bench.handler.getHandlerClass(), L"b.wrap", L"Wrap in Tag", L"Markup")),
                                           L"Ctrl+K", false);
        afAction* comment =
            keys.bindShortcut(bench.registry.addAction(new BundleAction(bench.handler.getHandlerClass(), L"b.comment",
                                                                        L"Toggle Comment", L"Source")),
                              L"Ctrl+K", false);
        tabs.bindWord(L"cm", comment);
        afAction* kill = keys.bindShortcut(bench.add(L"edit.kill", L"ui.editor", L"Kill Line"), L"Ctrl+K", false);
        for (afAction* action : {save, wrap, comment, kill})
            matches.push_back(afActionMatch{1, 0, action, action->findTrigger(afActionEventType::KEY)});
    }
    ActionBench bench;
    afActionInvokerKey keys;
    afActionInvokerTab tabs;
    afActionMatchList matches;
};

// The chooser this thread shows, or null.
ActionSelectWindow* openChooser() {
    struct Search {
        ActionSelectWindow* found = nullptr;
        static BOOL CALLBACK visit(HWND hwnd, LPARAM data) {
            auto* search = reinterpret_cast<Search*>(data);
            if (IsWindowVisible(hwnd))
                search->found = dynamic_cast<ActionSelectWindow*>(afViewPlatform::viewFromHandle(hwnd));
            return search->found ? FALSE : TRUE;
        }
    } search;
    EnumThreadWindows(GetCurrentThreadId(), &Search::visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void typeInto(ActionSelectWindow* window, const wchar_t* text) {
    HWND field = window->getFilterField()->getHandle();
    SendMessageW(field, EM_SETSEL, 0, -1);
    SendMessageW(field, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
}

void press(ActionSelectWindow* window, int virtualKey) {
    afEvent event = widgetstest::makeEvent(window->getFilterField()->getHandle(), WM_KEYDOWN, virtualKey);
    window->getFilterField()->onKeyDown(&event);
}

TEST(ActionSelectWindowTest, ListsTheActionsAndMatchesBundleAndTitleTogether) {
    Candidates candidates;
    HostWindow host;
    auto* window = new ActionSelectWindow(&host, candidates.matches);
    window->afViewPlatform::create();
    EXPECT_STREQ(L"ui.suggestions", window->getTypeName());
    EXPECT_EQ(L"Type to search", window->getFilterField()->getCueText());
    EXPECT_TRUE(window->getList()->isPassive());
    EXPECT_EQ(4, window->getList()->getCount());
    EXPECT_EQ(candidates.matches[2].action, window->getAction(2));
    EXPECT_EQ(nullptr, window->getAction(4));

    struct Case {
        const wchar_t* filter;
        std::vector<int> rows;
    } cases[] = {
        {L"", {0, 1, 2, 3}},  {L"markup", {1}}, // the bundle's name alone
        {L"source tog", {2}},                   // bundle and title as one candidate
        {L"line", {3}},                         // a built-in action by its title
        {L"zzz", {}},
    };
    for (const Case& c : cases) {
        window->refilter(c.filter);
        std::vector<int> rows;
        for (const auto& row : window->getVisibleRows())
            rows.push_back(row.second);
        EXPECT_EQ(c.rows, rows) << std::string(c.filter, c.filter + wcslen(c.filter));
    }
    // Rows are tall enough for their text and never below 16 pixels.
    window->refilter(L"");
    EXPECT_GE(window->getList()->getRowHeight(), 16);
    DestroyWindow(window->getHandle());
}

// Caught: the list took its width from its own empty client area, so the window sized to
// its content was a sliver as wide as its frame and no title could be read.
TEST(ActionSelectWindowTest, TheChooserIsWideEnoughForItsWidestRow) {
    Candidates candidates;
    HostWindow host;
    auto* window = new ActionSelectWindow(&host, candidates.matches);
    window->afViewPlatform::create();
    window->validateLayout();
    // Title column, key column, tab word column and bundle column of the widest row.
    int widest = 0;
    {
        std::unique_ptr<afCanvas> canvas = window->getList()->getCanvas();
        ASSERT_NE(nullptr, canvas);
        const int title = canvas->measureText(std::wstring(L"Toggle Comment"), 0).cx + 41;
        const int key = canvas->measureText(std::wstring(L"Ctrl+K"), 0).cx + 20;
        const int tab = canvas->measureText(std::wstring(L"cm"), 0).cx + 41;
        const int bundle = canvas->measureText(std::wstring(L"Markup"), 0).cx + 41;
        widest = title + key + tab + bundle;
    }
    RECT client{};
    GetClientRect(window->getList()->getHandle(), &client);
    EXPECT_GE(client.right - client.left, widest) << "the list shows every column of the widest row";
    GetClientRect(window->getHandle(), &client);
    EXPECT_GE(client.right - client.left, widest) << "the window follows the list's width";
    DestroyWindow(window->getHandle());
}

TEST(ActionSelectWindowTest, TheChooserAnswersThePickCloseOrDismissal) {
    Candidates candidates;
    HostWindow host;
    struct Case {
        const char* name;
        std::function<void(ActionSelectWindow*)> act;
        int answer;
    } cases[] = {
        {"typed and Enter",
         [](ActionSelectWindow* w) {
             typeInto(w, L"comment");
             press(w, VK_RETURN);
         },
         2},
        {"arrow down and Enter",
         [](ActionSelectWindow* w) {
             press(w, VK_DOWN);
             press(w, VK_RETURN);
         },
         1},
        {"closed", [](ActionSelectWindow* w) { w->cancel(); }, -1},
        {"left for another window",
         [](ActionSelectWindow* w) { SendMessageW(w->getHandle(), WM_ACTIVATE, WA_INACTIVE, 0); }, -2},
    };
    for (const Case& c : cases) {
        bool seen = false;
        int answer = static_cast<int>(widgetstest::runWithSteps(
            [&] { return static_cast<uint32_t>(ActionSelectWindow::choose(candidates.matches, &host)); },
            {[&] {
                 if (ActionSelectWindow* window = openChooser()) {
                     seen = true;
                     c.act(window);
                 }
             },
             [] {
                 // A fault that left the window open fails instead of hanging.
                 if (ActionSelectWindow* window = openChooser())
                     window->cancel();
             }}));
        EXPECT_TRUE(seen) << c.name;
        EXPECT_EQ(c.answer, answer) << c.name;
        EXPECT_EQ(nullptr, openChooser()) << c.name;
    }
}

TEST(ActionSelectWindowTest, AKeyBoundToSeveralActionsRunsTheOnePicked) {
    Candidates candidates;
    HostWindow host;
    setActionChooser(&ActionSelectWindow::choose);
    auto context = corveltest::pathOf({L"ui.editor"});
    widgetstest::runWithSteps([&] { return candidates.keys.invokeKey(*context, &host, afKey::CTRL | 'K') ? 1u : 0u; },
                              {[&] {
                                   if (ActionSelectWindow* window = openChooser()) {
                                       typeInto(window, L"kill");
                                       press(window, VK_RETURN);
                                   }
                               },
                               [] {
                                   if (ActionSelectWindow* window = openChooser())
                                       window->cancel();
                               }});
    setActionChooser(nullptr);
    ASSERT_EQ(1u, candidates.bench.handler.ran.size());
    EXPECT_EQ(L"edit.kill", candidates.bench.handler.ran[0]->getName());
}

} // namespace
