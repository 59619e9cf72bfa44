#include "../../ui_framework/widgets/tests/ModalSteps.h"
#include "../../ui_framework/widgets/tests/OpenMessageBox.h"
#include "../../ui_framework/widgets/tests/WidgetHost.h"
#include "corvel/editor/SearchDialog.h"
#include "corvel/editor/SearchManager.h"
#include "corvel/editor/SearchRequest.h"
#include "corvel/editor/SearchStrip.h"
#include "corvel/editor/SearchSubscriber.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/widgets/afActionRegistry.h"
#include "corvel/widgets/afControlButton.h"
#include "corvel/widgets/afControlCheckBox.h"
#include "corvel/widgets/afControlEdit.h"
#include "corvel/widgets/afControlTabs.h"
#include "corvel/widgets/afLabel.h"
#include "corvel/widgets/afMessageBox.h"
#include "support/EditorFixture.h"

#include <string>
#include <vector>

using namespace corvel;

namespace {

constexpr uint32_t DOCUMENT = SearchRequest::SCOPE_CURRENT_DOCUMENT;
constexpr uint32_t SELECTION = SearchRequest::SCOPE_CURRENT_SELECTION;

struct Seen {
    uint32_t action;
    bool backward;
    SearchRequest request;
};

class Subscriber : public SearchSubscriber {
public:
    bool ssOnAction(SearchRequest* request, uint32_t action, bool backward) override {
        seen.push_back({action, backward, *request});
        return found;
    }
    void fillSearchText(std::wstring& findText, std::wstring&, uint32_t) override { findText = L"picked"; }
    void focusFromSearch() override { ++focused; }
    std::vector<Seen> seen;
    bool found = true;
    int focused = 0;
};

void click(afControlButton* button) {
    SendMessageW(button->getHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageW(button->getHandle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
}

// The search manager over the fixture's host as main window, with both scopes served by
// one recording subscriber.
class SearchFrontEndsTest : public edtest::EditorFixture {
protected:
    void SetUp() override {
        edtest::EditorFixture::SetUp();
        inner = new afLayoutLinear(host, afLayoutLinear::VERTICAL);
        host->setContentView(inner);
        manager.reset(new SearchManager(&registry));
        manager->setControllerManager(controllers.get());
        manager->setMainWindow(host, inner);
        manager->registerScope({DOCUMENT, L"Current document", nullptr});
        manager->registerScope({SELECTION, L"Current selection", nullptr});
        manager->setScopeSubscriber(DOCUMENT, &subscriber, true);
        manager->setScopeSubscriber(SELECTION, &subscriber, true);
        manager->registerActions();
        dialog = dynamic_cast<SearchDialog*>(manager->getDialog());
        ASSERT_NE(nullptr, dialog);
    }
    void TearDown() override {
        if (dialog && dialog->getHandle())
            DestroyWindow(dialog->getHandle());
        manager.reset();
        edtest::EditorFixture::TearDown();
    }

    afActionRegistry registry;
    std::unique_ptr<SearchManager> manager;
    Subscriber subscriber;
    afLayoutLinear* inner = nullptr;
    SearchDialog* dialog = nullptr;
};

TEST_F(SearchFrontEndsTest, TheDialogSwitchesBetweenFindAndReplace) {
    EXPECT_FALSE(dialog->isShown());
    EXPECT_EQ(L"ui.window.search", dialog->getContextName());
    // Caught: the dialog that Find Next opens before any search was titled "Find".
    EXPECT_FALSE(manager->findAgain(false));
    EXPECT_TRUE(dialog->isShown());
    EXPECT_EQ(L"Search", dialog->getTitle());
    EXPECT_FALSE(dialog->getReplaceField()->isVisible());
    EXPECT_TRUE(dialog->getNextButton()->isDefault());

    manager->openDialog(0x12);
    EXPECT_TRUE(dialog->isShown());
    EXPECT_EQ(L"Find & Replace", dialog->getTitle());
    EXPECT_EQ(L"&Find", dialog->getFindLabel()->getText());
    EXPECT_TRUE(dialog->getReplaceLabel()->isVisible());
    EXPECT_TRUE(dialog->getReplaceField()->isVisible());
    EXPECT_TRUE(dialog->getReplaceButton()->isDefault());
    EXPECT_EQ(0, dialog->getTabs()->getCurrentTab());

    manager->openDialog(0x21);
    EXPECT_EQ(L"Find", dialog->getTitle());
    EXPECT_EQ(L"&Find:", dialog->getFindLabel()->getText());
    EXPECT_FALSE(dialog->getReplaceLabel()->isVisible());
    EXPECT_FALSE(dialog->getReplaceField()->isVisible());
    EXPECT_TRUE(dialog->getNextButton()->isDefault());
    EXPECT_EQ(1, dialog->getTabs()->getCurrentTab());
}

TEST_F(SearchFrontEndsTest, TheDialogsButtonsSendItsFieldsAndOptions) {
    manager->openDialog(0x12);
    SearchRequest shown;
    shown.findText = L"fo+";
    shown.replaceText = L"bar";
    shown.regularExpression = true;
    shown.wholeWords = true;
    shown.wrapAround = false;
    dialog->setRequest(&shown);
    dialog->getUseEscapes()->setChecked(true);
    struct Case {
        afControlButton* button;
        uint32_t action;
        bool backward;
    };
    const Case cases[] = {{dialog->getNextButton(), SearchActionFind, false},
                          {dialog->getPreviousButton(), SearchActionFind, true},
                          {dialog->getReplaceButton(), SearchActionReplace, false},
                          {dialog->getReplaceAllButton(), SearchActionReplaceAll, false}};
    for (const Case& c : cases) {
        click(c.button);
        ASSERT_FALSE(subscriber.seen.empty());
        const Seen& seen = subscriber.seen.back();
        EXPECT_EQ(c.action, seen.action);
        EXPECT_EQ(c.backward, seen.backward);
        EXPECT_EQ(L"fo+", seen.request.findText);
        EXPECT_EQ(L"bar", seen.request.replaceText);
        EXPECT_EQ(DOCUMENT, seen.request.scopeId);
        EXPECT_TRUE(seen.request.regularExpression && seen.request.wholeWords && seen.request.useEscapes);
        EXPECT_FALSE(seen.request.wrapAround || seen.request.matchCase);
        EXPECT_EQ(static_cast<SearchUI*>(dialog), seen.request.frontEnd);
    }
    EXPECT_EQ(4u, subscriber.seen.size());
    // Regular expressions colour both fields by their grammars.
    EXPECT_EQ(L"source.regexp", dialog->getFindField()->getDocumentController()->getLanguageName());
    EXPECT_EQ(L"source.formatstring", dialog->getReplaceField()->getDocumentController()->getLanguageName());
    dialog->getRegEx()->toggle();
    EXPECT_EQ(L"", dialog->getFindField()->getDocumentController()->getLanguageName());
}

TEST_F(SearchFrontEndsTest, OpeningTakesTheEditorsTextOnlyWhileHidden) {
    manager->openDialog(0x11);
    SearchRequest request;
    dialog->getRequest(&request);
    EXPECT_EQ(L"picked", request.findText);
    dialog->putTexts(L"kept", L"");
    manager->openDialog(0x11);
    dialog->getRequest(&request);
    EXPECT_EQ(L"kept", request.findText);
}

TEST_F(SearchFrontEndsTest, TheDialogAsksBeforeWrappingOnlyWhenWrappingIsOff) {
    SearchRequest request;
    request.wrapAround = true;
    EXPECT_TRUE(dialog->confirmWrapAround(&request));
    request.wrapAround = false;
    struct Case {
        const char* how;
        bool expected;
        int key; // 0: the box's close button
    };
    const Case cases[] = {{"Y", true, 'Y'}, {"N", false, 'N'}, {"closed", false, 0}};
    for (const Case& c : cases) {
        std::wstring texts;
        bool answer = widgetstest::runWithSteps([&] { return dialog->confirmWrapAround(&request) ? 1u : 0u; }, {[&] {
                                                    afMessageBox* message = widgetstest::findOpenMessageBox();
                                                    if (!message) {
                                                        texts = L"no box";
                                                        return;
                                                    }
                                                    texts = message->getTitle() + L": ";
                                                    for (afControlButton* button : message->getButtons())
                                                        texts += button->getText() + L"|";
                                                    if (c.key)
                                                        message->close(c.key == 'Y' ? afWindow::RESULT_OK
                                                                                    : afWindow::RESULT_CANCEL);
                                                    else
                                                        message->cancel();
                                                }}) == 1u;
        EXPECT_EQ(c.expected, answer) << c.how;
        // The box once showed the framework's window class name as its caption.
        EXPECT_EQ(L"Corvel: &Continue|&Stop|", texts) << c.how;
    }
}

TEST_F(SearchFrontEndsTest, TheStripSearchesAsTheUserTypesAndSaysWhenNothingIsFound) {
    manager->showStrip();
    auto* strip = dynamic_cast<SearchStrip*>(manager->getStrip());
    ASSERT_NE(nullptr, strip);
    EXPECT_EQ(L"ui.container.search_strip", strip->getContextName());
    EXPECT_TRUE(strip->isShown());
    EXPECT_FALSE(dialog->isShown());
    EXPECT_EQ(static_cast<SearchUI*>(strip), manager->getActiveFrontEnd());

    HWND edit = strip->getEdit()->getHandle();
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L"abc"));
    ASSERT_FALSE(subscriber.seen.empty());
    EXPECT_EQ(SearchActionFindAsYouType, subscriber.seen.back().action);
    EXPECT_EQ(L"abc", subscriber.seen.back().request.findText);
    EXPECT_TRUE(subscriber.seen.back().request.wrapAround);
    EXPECT_FALSE(subscriber.seen.back().request.regularExpression);
    EXPECT_FALSE(strip->getMessage()->isVisible());

    subscriber.found = false;
    click(strip->getPreviousButton());
    EXPECT_EQ(SearchActionFind, subscriber.seen.back().action);
    EXPECT_TRUE(subscriber.seen.back().backward);
    EXPECT_TRUE(strip->getMessage()->isVisible());
    EXPECT_EQ(L"No matches found.", strip->getMessage()->getText());
    EXPECT_TRUE(strip->confirmWrapAround(&subscriber.seen.back().request));

    // Find Next repeats the visible strip's search.
    size_t before = subscriber.seen.size();
    manager->findAgain(false);
    EXPECT_EQ(before + 1, subscriber.seen.size());
    EXPECT_EQ(L"abc", subscriber.seen.back().request.findText);

    afEvent escape = widgetstest::makeEvent(edit, WM_KEYDOWN, VK_ESCAPE);
    strip->getEdit()->onKeyDown(&escape);
    EXPECT_FALSE(strip->isShown());
    EXPECT_EQ(1, subscriber.focused);

    manager->showStrip();
    manager->openDialog(0x11);
    EXPECT_FALSE(strip->isShown());
}

// The strip over a real editor, as the user meets it: every search says at once whether it
// found something, and Enter past the last match goes on from the first without a question
// (a question box would hold the test in its modal loop).
TEST_F(SearchFrontEndsTest, TheStripTellsEachSearchItsOwnResultAndWrapsSilently) {
    setText(L"foo bar foo");
    setCaret(0, 0);
    manager->setScopeSubscriber(DOCUMENT, editor, true);
    manager->setScopeSubscriber(SELECTION, editor, true);
    manager->showStrip();
    auto* strip = dynamic_cast<SearchStrip*>(manager->getStrip());
    ASSERT_NE(nullptr, strip);
    HWND edit = strip->getEdit()->getHandle();
    struct Step {
        const wchar_t* typed; // null: Enter
        int32_t start, end;
        bool noMatch;
    };
    const Step steps[] = {
        {L"f", 0, 1, false},   {L"fo", 0, 2, false}, {L"fox", 0, 2, true}, {L"fo", 0, 2, false},
        {nullptr, 8, 10, false}, {nullptr, 0, 2, false}, {L"zz", 0, 2, true}, {L"foo", 0, 3, false},
    };
    for (const Step& step : steps) {
        std::string how = step.typed ? std::string(step.typed, step.typed + wcslen(step.typed)) : "Enter";
        if (step.typed) {
            SendMessageW(edit, EM_SETSEL, 0, -1);
            SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(step.typed));
        } else {
            afEvent enter = widgetstest::makeEvent(edit, WM_KEYDOWN, VK_RETURN);
            strip->getEdit()->onKeyDown(&enter);
        }
        const std::vector<SelectionRange>& ranges = selection()->getRanges();
        ASSERT_FALSE(ranges.empty()) << how;
        EXPECT_EQ(step.start, ranges.front().start()) << how;
        EXPECT_EQ(step.end, ranges.back().end()) << how;
        EXPECT_EQ(step.noMatch, strip->getMessage()->isVisible()) << how;
    }
    EXPECT_EQ(L"No matches found.", strip->getMessage()->getText());
}

} // namespace
