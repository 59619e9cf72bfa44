#include "corvel/editor/SearchManager.h"

#include "corvel/config/ConfigManager.h"
#include "corvel/editor/SearchDialog.h"
#include "corvel/editor/SearchRequest.h"
#include "corvel/editor/SearchStrip.h"
#include "corvel/editor/SearchSubscriber.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/ui/afLayoutParams.h"
#include "corvel/widgets/afActionTable.h"

namespace corvel {

namespace {

SearchManager* s_current = nullptr;

constexpr wchar_t SEARCH_CONTEXT[] = L"ui.editor, ui.container.search_strip";

} // namespace

SearchManager::SearchManager(afActionRegistry* registry, ConfigManager* configManager)
    : afActionHandler(L"SearchManager", registry), m_configManager(configManager) {
    if (m_configManager) {
        m_configManager->settingsLoaded.add(&SearchManager::onSettingsLoaded, this);
        m_configManager->settingsStore.add(&SearchManager::onSettingsStore, this);
    }
    s_current = this;
}

SearchManager::~SearchManager() {
    if (m_configManager) {
        m_configManager->settingsLoaded.remove(&SearchManager::onSettingsLoaded, this);
        m_configManager->settingsStore.remove(&SearchManager::onSettingsStore, this);
    }
    if (s_current == this)
        s_current = nullptr;
}

SearchManager* SearchManager::current() {
    return s_current;
}

void SearchManager::setMainWindow(afView* mainWindow, afLayoutLinear* innerLayout) {
    m_mainWindow = mainWindow;
    m_innerLayout = innerLayout;
}

void SearchManager::onSettingsLoaded(void* self, Config*) {
    static_cast<SearchManager*>(self)->registerActions();
}

void SearchManager::onSettingsStore(void* self, Config*) {
    static_cast<SearchManager*>(self)->forgetDialog();
}

void SearchManager::registerScope(const SearchScope& scope) {
    if (scope.id == 0 || m_scopes.count(scope.id))
        return;
    m_scopes[scope.id] = scope;
    tellScopeListeners();
}

bool SearchManager::setScopeSubscriber(uint32_t scopeId, SearchSubscriber* subscriber, bool active) {
    SearchScope* scope = findScope(scopeId);
    if (!scope)
        return false;
    if (active) {
        scope->subscriber = subscriber;
        m_currentScope = scopeId;
    } else if (scope->subscriber == subscriber) {
        scope->subscriber = nullptr;
    }
    tellScopeListeners();
    return true;
}

SearchScope* SearchManager::findScope(uint32_t scopeId) {
    auto it = m_scopes.find(scopeId);
    return it == m_scopes.end() ? nullptr : &it->second;
}

SearchRequest* SearchManager::createRequest(SearchUI* frontEnd) {
    auto* request = new SearchRequest;
    request->manager = this;
    request->frontEnd = frontEnd;
    return request;
}

bool SearchManager::dispatch(SearchRequest* request, uint32_t action, bool backward) {
    if (!request)
        return false;
    // Owned from here on; the last request is already ours.
    std::unique_ptr<SearchRequest> owned(request == m_lastRequest.get() ? nullptr : request);
    SearchScope* scope = findScope(request->scopeId);
    if (!scope || !scope->subscriber)
        return false;
    bool found = scope->subscriber->ssOnAction(request, action, backward);
    if (owned)
        m_lastRequest = std::move(owned);
    return found;
}

void SearchManager::openDialog(uint32_t mode) {
    if (!m_dialog)
        return;
    uint32_t scopeId =
        (mode & MODE_SELECTION) ? SearchRequest::SCOPE_CURRENT_SELECTION : SearchRequest::SCOPE_CURRENT_DOCUMENT;
    m_dialog->setReplaceMode((mode & MODE_REPLACE) != 0);
    m_dialog->selectScope(scopeId);
    if (m_dialog->isShown()) {
        m_dialog->focusFindText();
        return;
    }
    SearchScope* scope = m_currentScope ? findScope(scopeId) : nullptr;
    if (scope && scope->subscriber) {
        std::wstring findText;
        std::wstring replaceText;
        scope->subscriber->fillSearchText(findText, replaceText, scopeId);
        m_dialog->putTexts(findText, replaceText);
    }
    showDialog();
}

void SearchManager::showDialog() {
    if (!m_dialog)
        return;
    if (m_strip && m_strip->isShown())
        m_strip->setShown(false);
    m_dialog->activate();
    m_dialog->setShown(true);
}

void SearchManager::showStrip() {
    if (!m_strip && m_innerLayout)
        m_strip = createStrip(m_innerLayout);
    if (!m_strip)
        return;
    if (m_dialog && m_dialog->isShown())
        m_dialog->setShown(false);
    m_strip->activate();
    m_strip->setShown(true);
}

bool SearchManager::findAgain(bool backward) {
    if (m_activeFrontEnd && m_activeFrontEnd->isShown()) {
        SearchRequest* request = createRequest(m_activeFrontEnd);
        m_activeFrontEnd->getRequest(request);
        return dispatch(request, SearchActionFind, backward);
    }
    if (m_lastRequest)
        return dispatch(m_lastRequest.get(), SearchActionFind, backward);
    showDialog();
    return false;
}

void SearchManager::registerActions() {
    if (m_actionsRegistered)
        return;
    m_actionsRegistered = true;
    if (!m_dialog && m_mainWindow)
        m_dialog = createDialog(m_mainWindow);
    const afActionTableRow rows[] = {
        {L"search.find.dialog.find.current_document", L"Find in Current Document", SEARCH_CONTEXT, L"Ctrl+F", nullptr,
         &SearchManager::onFindDocument},
        {L"search.find.dialog.find.current_selection", L"Find in Current Selection", SEARCH_CONTEXT, L"Ctrl+Shift+F",
         nullptr, &SearchManager::onFindSelection},
        {L"search.find.dialog.replace.current_document", L"Replace in Current Document", SEARCH_CONTEXT, L"Ctrl+H",
         nullptr, &SearchManager::onReplaceDocument},
        {L"search.find.dialog.replace.current_selection", L"Replace in Current Selection", SEARCH_CONTEXT,
         L"Ctrl+Shift+H", nullptr, &SearchManager::onReplaceSelection},
        {L"search.find.strip", L"Open Quick Find", L"ui.window.main ui.editor, ui.container.search_strip", L"Ctrl+J",
         nullptr, &SearchManager::onShowStrip},
        {L"search.find.next", L"Find Next", SEARCH_CONTEXT, L"F3", nullptr, &SearchManager::onFindNext},
        {L"search.find.previous", L"Find Previous", SEARCH_CONTEXT, L"Shift+F3", nullptr,
         &SearchManager::onFindPrevious},
    };
    registerActionTable(*this, rows);
    activate();
}

void SearchManager::forgetDialog() {
    if (m_activeFrontEnd == m_dialog)
        m_activeFrontEnd = nullptr;
    m_dialog = nullptr;
}

SearchDialogUI* SearchManager::createDialog(afView* owner) {
    // Made hidden: the main window owns it from here on.
    auto* dialog = new SearchDialog(owner, this, m_controllers);
    dialog->afViewPlatform::create();
    return dialog;
}

SearchUI* SearchManager::createStrip(afLayoutLinear* innerLayout) {
    afView* owner = innerLayout->getOwner();
    SearchStrip* strip = SearchStrip::create(owner, this);
    if (!strip)
        return nullptr;
    // Just above the layout's last child, the tool strip.
    int index = innerLayout->getChildCount() > 0 ? innerLayout->getChildCount() - 1 : -1;
    innerLayout->addChild(strip, new afLayoutParamsLinear(afLayoutParams::FILL_PARENT, afLayoutParams::WRAP_CONTENT),
                          index);
    return strip;
}

bool SearchManager::onFindDocument(afActionEvent*) {
    openDialog(MODE_FIND | MODE_DOCUMENT);
    return true;
}

bool SearchManager::onFindSelection(afActionEvent*) {
    openDialog(MODE_FIND | MODE_SELECTION);
    return true;
}

bool SearchManager::onReplaceDocument(afActionEvent*) {
    openDialog(MODE_REPLACE | MODE_DOCUMENT);
    return true;
}

bool SearchManager::onReplaceSelection(afActionEvent*) {
    openDialog(MODE_REPLACE | MODE_SELECTION);
    return true;
}

bool SearchManager::onShowStrip(afActionEvent*) {
    showStrip();
    // Shown now, the strip can take the focus.
    if (m_strip)
        m_strip->activate();
    return true;
}

bool SearchManager::onFindNext(afActionEvent*) {
    findAgain(false);
    return true;
}

bool SearchManager::onFindPrevious(afActionEvent*) {
    findAgain(true);
    return true;
}

} // namespace corvel
