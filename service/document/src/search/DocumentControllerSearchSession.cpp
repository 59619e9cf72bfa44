#include "corvel/document/DocumentControllerSearchSession.h"

#include "corvel/document/DocumentController.h"
#include "corvel/document/Finder.h"
#include "corvel/document/Replacer.h"
#include "corvel/document/Selection.h"
#include "corvel/document/SpanBinding.h"
#include "corvel/document/SpanContext.h"

#include <algorithm>

namespace corvel {

bool DocumentControllerSearchSession::inTree(const Span* node, const Span* wanted) {
    if (node == wanted)
        return true;
    for (const Span* child = node->getFirstChild(); child; child = child->getNextSibling()) {
        if (inTree(child, wanted))
            return true;
    }
    return false;
}

DocumentControllerSearchSession::DocumentControllerSearchSession(DocumentController* controller)
    : m_controller(controller) {
    (void)m_words;
    m_controller->getSelection()->selectionChanged.add(&onSelectionChanged, this);
    m_startOffset = m_controller->getSelection()->getCaretOffset();
    if (m_anchorOffset == ANCHOR_UNSET)
        m_anchorOffset = m_startOffset;
}

DocumentControllerSearchSession::~DocumentControllerSearchSession() {
    dropMatchContextListener();
    if (m_controller->getSelection())
        m_controller->getSelection()->selectionChanged.remove(&onSelectionChanged, this);
}

// A selection moved by anything but a search restarts searching at the caret.
void DocumentControllerSearchSession::onSelectionChanged(void* self, Selection* selection,
                                                         const SelectionBehaviorRange*) {
    DocumentControllerSearchSession* session = static_cast<DocumentControllerSearchSession*>(self);
    if (session->m_busy || !selection)
        return;
    session->m_lastPosition = selection->getCaretOffset();
    session->m_lastMatch = std::make_pair(-1, -1);
}

void DocumentControllerSearchSession::onMatchContextRemoved(void* self, Span* span) {
    DocumentControllerSearchSession* session = static_cast<DocumentControllerSearchSession*>(self);
    if (session->m_matchContext == span)
        session->m_matchContext = nullptr;
}

// A tree read back from the undo journal replaces every span without notice: the
// pointer is only trusted while the context is still in the tree.
SpanContext* DocumentControllerSearchSession::liveMatchContext() const {
    const SpanBinding* binding = m_controller->spans();
    if (!m_matchContext || !binding || !inTree(binding->getRoot(), m_matchContext))
        return nullptr;
    return m_matchContext;
}

void DocumentControllerSearchSession::dropMatchContextListener() {
    SpanContext* context = liveMatchContext();
    if (context)
        context->removalListeners().remove(&onMatchContextRemoved, this);
    m_matchContext = nullptr;
}

void DocumentControllerSearchSession::setMode(uint32_t mode) {
    if (mode == m_mode)
        return;
    SpanContext* context = liveMatchContext();
    if (context) {
        SpanBinding* binding = m_controller->getSpanBinding();
        context->removalListeners().remove(&onMatchContextRemoved, this);
        m_matchContext = nullptr;
        binding->leaveSpan(context);
        m_controller->endChangeBatch();
    }
    m_matchContext = nullptr;
    m_anchorOffset = ANCHOR_UNSET;
    m_mode = mode;
}

SpanContext* DocumentControllerSearchSession::showMatches(const Ranges& ranges) {
    if (ranges.empty())
        return liveMatchContext();
    Selection* selection = m_controller->beginChangeBatch();
    SpanBinding* binding = m_controller->getSpanBinding();
    selection->collapse();
    const std::pair<int32_t, int32_t>& first = ranges.front();
    const std::pair<int32_t, int32_t>& last = ranges.back();
    const int32_t from = std::min(first.first, first.second);
    const int32_t to = std::max(last.first, last.second);
    dropMatchContextListener();
    Span* enclosing = binding->findEnclosingSpan(from, to);
    enclosing->removeAllChildren();
    SpanContext* context = new SpanContext(std::wstring(), binding, enclosing->getLength());
    Span::attachWithText(nullptr, context, enclosing, enclosing->getStart(), nullptr);
    context->removalListeners().add(&onMatchContextRemoved, this);
    m_matchContext = context;
    int32_t index = 1;
    for (const std::pair<int32_t, int32_t>& range : ranges) {
        const int32_t start = std::min(range.first, range.second);
        const int32_t length = std::abs(range.second - range.first);
        if (length == 0)
            continue;
        Span* span = new Span(std::wstring(), length);
        Span::attachWithText(nullptr, span, context, start < 0 ? -1 : start, nullptr);
        context->setMaster(index++, span);
    }
    m_controller->endChangeBatch();
    m_controller->endChangeBatch();
    return context;
}

} // namespace corvel
