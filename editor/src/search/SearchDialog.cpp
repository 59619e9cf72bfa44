#include "corvel/editor/SearchDialog.h"

#include "corvel/document/ControllerBrackets.h"
#include "corvel/document/DocumentControllerManager.h"
#include "corvel/editor/EditingCommands.h"
#include "corvel/editor/Editor.h"
#include "corvel/editor/SearchManager.h"
#include "corvel/editor/SearchRequest.h"
#include "corvel/editor/SearchSubscriber.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/ui/afLayoutParams.h"
#include "corvel/ui/afResources.h"
#include "corvel/widgets/afActionTable.h"
#include "corvel/widgets/afControlButton.h"
#include "corvel/widgets/afControlCheckBox.h"
#include "corvel/widgets/afControlTabs.h"
#include "corvel/widgets/afLabel.h"
#include "corvel/widgets/afMessageBox.h"
#include "corvel/widgets/createControl.h"

namespace corvel {

namespace {

constexpr int PADDING = 10;
constexpr int SPACING = 4;
constexpr int FIELD_HEIGHT = 48;
constexpr int INITIAL_WIDTH = 560;
constexpr int INITIAL_HEIGHT = 260;
constexpr int BUTTON_GRAVITY = 0x15; // right, vertically centred
constexpr int WINDOW_ICON = 5;
constexpr int WRAP_ICON = 14;

afLayoutParamsLinear* params(int width, int height, float weight = 0.0f) {
    return new afLayoutParamsLinear(width, height, weight);
}

afLayoutParamsLinear* spaced(int width, int height) {
    afLayoutParamsLinear* made = params(width, height);
    made->setMargins(0, 0, SPACING, SPACING);
    return made;
}

} // namespace

SearchDialog::SearchDialog(afView* owner, SearchManager* manager, DocumentControllerManager* controllers)
    : afWindowDialog(owner), afActionHandler(L"SearchDialog", manager ? manager->getRegistry() : nullptr),
      m_manager(manager), m_controllers(controllers) {
    m_title = L"Search";
    setPlacementKey(L"search_dialog");
    if (getRegistry()) {
        const wchar_t* context = L"ui.window.search, ui.window.search ui.editor";
        const afActionTableRow rows[] = {
            {L"search.dialog.find.next", L"Find Next In Dialog", context, L"F3", nullptr, &SearchDialog::onFindNext},
            {L"search.dialog.find.previous", L"Find Previous In Dialog", context, L"Shift+F3", nullptr,
             &SearchDialog::onFindPrevious},
        };
        registerActionTable(*this, rows);
        activate();
    }
}

const wchar_t* SearchDialog::getTypeName() const {
    return L"ui.window";
}

bool SearchDialog::buildSeed(Seed& seed) {
    afWindowDialog::buildSeed(seed);
    seed.width = INITIAL_WIDTH;
    seed.height = INITIAL_HEIGHT;
    return true;
}

Editor* SearchDialog::makeField(const wchar_t* name, DocumentController*& controller) {
    Editor* field = Editor::create(this, Editor::BORDER_CLIENT_EDGE);
    field->setName(name);
    controller = m_controllers ? m_controllers->createUntitledDocument() : nullptr;
    FacePreset preset = controller ? controller->getFacePreset() : field->getFacePreset();
    preset.wordWrap = true;
    preset.gutterLineNumbers = false;
    if (!controller) {
        field->applyFacePreset(preset);
        return field;
    }
    // The editor takes its controller's preset on binding.
    controller->setFacePreset(preset);
    controller->setEditor(field);
    return field;
}

void SearchDialog::onCreated() {
    setName(L"search");
    const int fill = afLayoutParams::FILL_PARENT;
    const int wrap = afLayoutParams::WRAP_CONTENT;
    auto* root = new afLayoutLinear(this, afLayoutLinear::VERTICAL);
    root->setPadding(PADDING);
    setContentView(root);

    // Both tabs choose only the scope: their pages stay empty and the fields sit below.
    m_tabs = afControlTabs::create(this);
    m_tabs->addTab(L"Current document", new afLayoutLinear(this, afLayoutLinear::VERTICAL));
    m_tabs->addTab(L"Current selection", new afLayoutLinear(this, afLayoutLinear::VERTICAL));
    root->addChild(m_tabs, spaced(fill, wrap));

    auto* labels = new afLayoutLinear(this, afLayoutLinear::HORIZONTAL);
    root->addChild(labels, spaced(fill, wrap));
    m_findLabel = new afLabel(this);
    m_findLabel->setText(L"&Find:");
    labels->addChild(m_findLabel, params(wrap, wrap));
    m_replaceLabel = new afLabel(this);
    m_replaceLabel->setText(L" and &Replace:");
    labels->addChild(m_replaceLabel, params(wrap, wrap));

    m_find = makeField(L"find", m_findController);
    root->addChild(m_find, spaced(fill, FIELD_HEIGHT));
    m_findLabel->setPartner(m_find);
    m_replace = makeField(L"replace", m_replaceController);
    root->addChild(m_replace, spaced(fill, FIELD_HEIGHT));
    m_replaceLabel->setPartner(m_replace);

    auto* options = new afLayoutLinear(this, afLayoutLinear::HORIZONTAL);
    root->addChild(options, spaced(fill, wrap));
    afControlCheckBox** boxes[] = {&m_regEx, &m_matchCase, &m_wholeWords, &m_wrapAround, &m_useEscapes};
    const wchar_t* boxTexts[] = {L"Re&gEx", L"&Match case", L"&Whole words", L"Wrap ar&ound", L"&Use escapes"};
    for (size_t i = 0; i < 5; ++i) {
        *boxes[i] = afControlCheckBox::create(this);
        (*boxes[i])->setText(boxTexts[i]);
        options->addChild(*boxes[i], spaced(wrap, wrap));
    }
    m_regEx->changeCallback.set(this, &SearchDialog::onRegExChanged);

    auto* buttons = new afLayoutLinear(this, afLayoutLinear::HORIZONTAL);
    buttons->setGravity(BUTTON_GRAVITY);
    root->addChild(buttons, params(fill, wrap));
    afControlButton** buttonSlots[] = {&m_replaceButton, &m_replaceAll, &m_previous, &m_next};
    const wchar_t* buttonTexts[] = {L"R&eplace", L"Replace &all", L"Find &prev", L"Find &next"};
    for (size_t i = 0; i < 4; ++i) {
        *buttonSlots[i] = afControlButton::create(this);
        (*buttonSlots[i])->setText(buttonTexts[i]);
        (*buttonSlots[i])->clickCallback.set(this, &SearchDialog::onButton);
        buttons->addChild(*buttonSlots[i], spaced(wrap, wrap));
    }

    afWindowDialog::onCreated();
    if (afResources::exists())
        SendMessageW(m_hwnd, WM_SETICON, ICON_SMALL,
                     reinterpret_cast<LPARAM>(afResources::getIcon(WINDOW_ICON).getHandle()));
    m_tabs->setCurrentTab(0);
    // The fields and buttons of find mode under the title "Search": the dialog names its
    // mode only once a find or replace command opens it.
    showMode(false);
}

void SearchDialog::onBeforeDestroy() {
    for (DocumentController* controller : {m_findController, m_replaceController}) {
        if (!controller)
            continue;
        controller->setEditor(nullptr);
        if (m_controllers)
            m_controllers->destroyController(controller);
    }
    m_findController = m_replaceController = nullptr;
    if (m_manager && m_manager->getDialog() == this)
        m_manager->forgetDialog();
    afWindowDialog::onBeforeDestroy();
}

bool SearchDialog::onCloseRequest() {
    setShown(false);
    if (m_manager) {
        if (SearchScope* scope = m_manager->findScope(selectedScope())) {
            if (scope->subscriber)
                scope->subscriber->focusFromSearch();
        }
    }
    return false;
}

void SearchDialog::setShown(bool shown) {
    if (shown) {
        show();
        focusFindText();
    } else {
        hide();
    }
}

uint32_t SearchDialog::selectedScope() const {
    return m_tabs && m_tabs->getCurrentTab() == 1 ? SearchRequest::SCOPE_CURRENT_SELECTION
                                                  : SearchRequest::SCOPE_CURRENT_DOCUMENT;
}

void SearchDialog::setReplaceMode(bool replace) {
    if (showMode(replace))
        setTitle(replace ? L"Find & Replace" : L"Find");
}

bool SearchDialog::showMode(bool replace) {
    m_replaceMode = replace;
    if (!m_replace)
        return false;
    m_replace->setVisible(replace);
    m_replaceLabel->setVisible(replace);
    m_findLabel->setText(replace ? L"&Find" : L"&Find:");
    setDefaultButton(replace ? m_replaceButton : m_next, false);
    requestLayout("search dialog mode");
    return true;
}

void SearchDialog::selectScope(uint32_t scopeId) {
    if (m_tabs)
        m_tabs->setCurrentTab(scopeId == SearchRequest::SCOPE_CURRENT_SELECTION ? 1 : 0);
}

void SearchDialog::focusFindText() {
    if (!m_find)
        return;
    if (m_find->getHandle() && IsWindowVisible(m_hwnd))
        SetFocus(m_find->getHandle());
    if (m_findController)
        EditingCommands::selectAll(*m_findController);
}

std::wstring SearchDialog::textOf(DocumentController* controller) {
    std::wstring text;
    if (!controller)
        return text;
    EditBracket bracket(*controller, DocumentController::EDIT_READ);
    controller->getText(text, controller->getTextLength(), 0);
    return text;
}

void SearchDialog::putText(Editor*, DocumentController* controller, const std::wstring& text) {
    if (!controller)
        return;
    {
        EditBracket bracket(*controller, DocumentController::EDIT_WRITE);
        controller->setText(text);
    }
    EditingCommands::selectAll(*controller);
}

void SearchDialog::putTexts(const std::wstring& findText, const std::wstring& replaceText) {
    if (!findText.empty())
        putText(m_find, m_findController, findText);
    if (!replaceText.empty())
        putText(m_replace, m_replaceController, replaceText);
}

void SearchDialog::setRequest(const SearchRequest* request) {
    if (!request || !m_find)
        return;
    putText(m_find, m_findController, request->findText);
    putText(m_replace, m_replaceController, request->replaceText);
    m_wrapAround->setChecked(request->wrapAround);
    m_matchCase->setChecked(request->matchCase);
    m_regEx->setChecked(request->regularExpression);
    m_wholeWords->setChecked(request->wholeWords);
    m_useEscapes->setChecked(request->useEscapes);
    onRegExChanged(this, m_regEx);
}

bool SearchDialog::getRequest(SearchRequest* request) {
    if (!request || !m_find)
        return false;
    request->scopeId = selectedScope();
    request->findText = textOf(m_findController);
    request->replaceText = textOf(m_replaceController);
    request->wrapAround = m_wrapAround->isChecked();
    request->matchCase = m_matchCase->isChecked();
    request->regularExpression = m_regEx->isChecked();
    request->wholeWords = m_wholeWords->isChecked();
    request->useEscapes = m_useEscapes->isChecked();
    return true;
}

bool SearchDialog::confirmWrapAround(SearchRequest* request) {
    if (request && request->wrapAround)
        return true;
    afView* owner = isVisible() ? static_cast<afView*>(this) : getOwner();
    afMessageBox* box = afMessageBox::create(owner);
    if (!box)
        return false;
    if (afResources::exists())
        box->setIcon(&afResources::getIcon(WRAP_ICON));
    // Nothing names this question: it carries the program's name, as the system's own would.
    box->setTitle(L"Corvel");
    box->addLabel(L"Search end reached", 0, 1, 0);
    box->addLabel(L"Continue from the beginning?", 2, 1, 0);
    box->addButton(L"&Continue", RESULT_OK, true, 'Y');
    box->addButton(L"&Stop", RESULT_CANCEL, false, 'N');
    uint32_t answer = box->runModal();
    if (HWND handle = box->getHandle())
        DestroyWindow(handle);
    return answer == RESULT_OK;
}

bool SearchDialog::search(uint32_t action, bool backward) {
    if (!m_manager)
        return false;
    SearchRequest* request = m_manager->createRequest(this);
    getRequest(request);
    return m_manager->dispatch(request, action, backward);
}

void SearchDialog::onButton(void* self, afControlButton* button) {
    auto* dialog = static_cast<SearchDialog*>(self);
    if (button == dialog->m_next)
        dialog->search(SearchActionFind, false);
    else if (button == dialog->m_previous)
        dialog->search(SearchActionFind, true);
    else if (button == dialog->m_replaceButton)
        dialog->search(SearchActionReplace, false);
    else if (button == dialog->m_replaceAll)
        dialog->search(SearchActionReplaceAll, false);
}

void SearchDialog::onRegExChanged(void* self, afControlCheckBox* box) {
    auto* dialog = static_cast<SearchDialog*>(self);
    bool on = box->isChecked();
    if (dialog->m_findController)
        dialog->m_findController->setLanguage(on ? L"source.regexp" : L"");
    if (dialog->m_replaceController)
        dialog->m_replaceController->setLanguage(on ? L"source.formatstring" : L"");
}

bool SearchDialog::onFindNext(afActionEvent*) {
    search(SearchActionFind, false);
    return true;
}

bool SearchDialog::onFindPrevious(afActionEvent*) {
    search(SearchActionFind, true);
    return true;
}

} // namespace corvel
