// The editor as the search manager's subscriber of the current document and the current
// selection: finds and replaces through its controller's search session.
#include "corvel/editor/Editor.h"

#include "corvel/document/ControllerBrackets.h"
#include "corvel/document/DocumentControllerSearchSession.h"
#include "corvel/document/Selection.h"
#include "corvel/document/Span.h"
#include "corvel/document/SpanBinding.h"
#include "corvel/document/SpanContext.h"
#include "corvel/editor/SearchManager.h"
#include "corvel/editor/SearchRequest.h"
#include "zem/log/LogManager.h"

#include <algorithm>

namespace corvel {

namespace {

const uint32_t DEFAULT_LOG_SOURCE = 0xE35E00DFu;

// No scope carries this id; a manager that held it would take the editors' scopes itself.
const uint32_t RESERVED_SCOPE = 0x7706ECCFu;

// Gives the session the ranges of its scope: the selection's ranges as spans of a search
// context, or the whole document.
void enterScope(DocumentController& controller, DocumentControllerSearchSession& session, uint32_t scope,
                bool backward) {
    session.setMode(scope);
    SpanBinding* spans = controller.spans();
    if (scope != SearchRequest::SCOPE_CURRENT_SELECTION) {
        session.setSearchContext(nullptr);
        spans->reset();
        return;
    }
    Span* primary = spans->createSelectionSpans(L"app.document.context.search");
    auto* context = primary ? dynamic_cast<SpanContext*>(primary->getParent()) : nullptr;
    session.setSearchContext(context);
    if (!context)
        return;
    spans->setSpan(context);
    controller.getSelection()->setCaretOffset(backward ? context->getEnd() : context->getStart());
}

} // namespace

void Editor::registerSearchScopes() {
    if (SearchManager* manager = SearchManager::current()) {
        if (!manager->findScope(RESERVED_SCOPE)) {
            manager->registerScope(SearchScope{SearchRequest::SCOPE_CURRENT_DOCUMENT, L"Current document", nullptr});
            manager->registerScope(SearchScope{SearchRequest::SCOPE_CURRENT_SELECTION, L"Current selection", nullptr});
        }
    }
    m_searchable = true;
}

void Editor::notifySearchFocus(bool focused) {
    SearchManager* manager = SearchManager::current();
    if (!m_searchable || !manager)
        return;
    manager->setScopeSubscriber(SearchRequest::SCOPE_CURRENT_DOCUMENT, this, focused);
    manager->setScopeSubscriber(SearchRequest::SCOPE_CURRENT_SELECTION, this, focused);
}

void Editor::fillSearchText(std::wstring& findText, std::wstring& replaceText, uint32_t scopeId) {
    (void)replaceText;
    if (scopeId != SearchRequest::SCOPE_CURRENT_DOCUMENT || !m_controller)
        return;
    EditBracket bracket(*m_controller, DocumentController::EDIT_READ);
    Selection* selection = m_controller->getSelection();
    if (selection->isEmpty())
        return;
    const std::vector<SelectionRange>& ranges = selection->getRanges();
    if (ranges.empty() || ranges.front().isEmpty())
        return;
    m_controller->getText(findText, ranges.front().end() - ranges.front().start(), ranges.front().start());
}

void Editor::focusFromSearch() {
    requestFocus();
}

bool Editor::ssOnAction(SearchRequest* request, uint32_t action, bool backward) {
    if (!m_controller || !request)
        return false;
    // Every way out closes the batch and the bracket: a replace-all is one undo step.
    EditBracket bracket(*m_controller, DocumentController::EDIT_WRITE);
    ChangeBatchScope batch(*m_controller);
    if (m_controller->getTextLength() == 0)
        return false;
    DocumentControllerSearchSession* session = m_controller->getSearchSession();
    if (!session->setFinder(request->findText, request->regularExpression, request->matchCase, request->wholeWords))
        return false;
    Selection* selection = m_controller->getSelection();
    uint32_t scope = request->scopeId;
    if (scope == SearchRequest::SCOPE_CURRENT_SELECTION && session->getMode() != scope && selection->isEmpty())
        scope = SearchRequest::SCOPE_CURRENT_DOCUMENT;
    if (scope != session->getMode())
        enterScope(*m_controller, *session, scope, backward);
    const std::vector<SelectionRange>& ranges = selection->getRanges();
    int32_t s = m_controller->getCaretOffset();
    int32_t e = s;
    if (!ranges.empty()) {
        s = ranges.front().start();
        e = ranges.back().end();
    }
    const DocumentControllerSearchSession::WrapQuery wrap = [request] { return request->confirmWrapAround(); };
    switch (action) {
    case SearchActionReplace:
        if (!session->setReplacer(request->replaceText, request->regularExpression))
            return false;
        return session->replace(s, e, wrap);
    case SearchActionReplaceAll:
        if (!session->setReplacer(request->replaceText, request->regularExpression))
            return false;
        return session->replaceAll();
    case SearchActionFind: {
        const int32_t start = backward ? s : e;
        if (session->getAnchorOffset() == DocumentControllerSearchSession::ANCHOR_UNSET)
            session->setAnchorOffset(start);
        session->setLastPosition(start);
        return session->find(backward, wrap);
    }
    case SearchActionFindAsYouType:
        // Again from where typing began, so that each letter extends the match in place.
        if (session->getAnchorOffset() == DocumentControllerSearchSession::ANCHOR_UNSET)
            session->setAnchorOffset(s);
        session->restartAt(session->getAnchorOffset());
        return session->find(false, wrap);
    default:
        zem::logMessage(zem::LOG_INFO, DEFAULT_LOG_SOURCE, L"Editor::ssOnAction(): Invalid search action (%x).\n",
                        action);
        return false;
    }
}

} // namespace corvel
