#include "corvel/document/SelectionBehaviorRectangle.h"

#include "corvel/document/DocumentController.h"
#include "corvel/document/IEditor.h"

#include <algorithm>

namespace corvel {

SelectionBehaviorRectangle::~SelectionBehaviorRectangle() {
    detach();
}

IEditor* SelectionBehaviorRectangle::editor() const {
    return m_controller->getEditor();
}

void SelectionBehaviorRectangle::sizeTable() {
    const size_t needed = static_cast<size_t>(lineCount());
    if (m_spans.capacity() < needed)
        m_spans.reserve(needed + 10);
    m_spans.assign(needed, LineSpan());
    m_computed = 0;
}

void SelectionBehaviorRectangle::resetSpans() {
    for (LineSpan& span : m_spans)
        span = LineSpan();
    m_computed = 0;
}

SelectionBehaviorRectangle::LineSpan* SelectionBehaviorRectangle::spanOf(int32_t line) {
    const int32_t index = line - top().line;
    if (index < 0 || static_cast<size_t>(index) >= m_spans.size())
        return nullptr;
    return &m_spans[static_cast<size_t>(index)];
}

void SelectionBehaviorRectangle::computeSpans(int32_t first, int32_t last, bool clamp) {
    IEditor* view = editor();
    if (!view)
        return;
    if (first == last) {
        const LineSpan* known = spanOf(first);
        if (known && known->start >= 0)
            return;
    }
    m_controller->beginEdit(DocumentController::EDIT_READ);
    const int32_t xTop = view->getXAtPosition(top());
    const int32_t xBottom = view->getXAtPosition(bottom());
    const int32_t documentLines = m_controller->getLineCount();
    for (int32_t line = first; line <= last; ++line) {
        LineSpan* span = spanOf(line);
        if (!span)
            continue;
        const bool wasComputed = span->start >= 0;
        const int32_t a = view->getPositionAtX(xTop, line).offset;
        const int32_t b = view->getPositionAtX(xBottom, line).offset;
        span->start = std::min(a, b);
        span->end = std::max(a, b);
        if (clamp) {
            const int32_t length = m_controller->getLineTextLength(line);
            span->start = std::max(0, std::min(span->start, length));
            span->end = std::max(0, std::min(span->end, length));
        }
        if (line >= documentLines) {
            // Only lines of the document count as computed.
            if (wasComputed)
                --m_computed;
            *span = LineSpan();
        } else if (!wasComputed) {
            ++m_computed;
        }
    }
    m_controller->endEdit();
}

void SelectionBehaviorRectangle::recomputeSpans() {
    resetSpans();
    computeSpans(top().line, bottom().line, true);
}

void SelectionBehaviorRectangle::begin(const TextPosition& anchor, const TextPosition& caret, uint32_t& options) {
    options |= OPTION_VIRTUAL;
    m_anchor = anchor;
    m_caret = caret;
    sizeTable();
    if (!editor())
        return;
    const bool anchorOnTop = !m_caret.before(m_anchor);
    const int32_t topLine = top().line;
    const int32_t bottomLine = bottom().line;
    computeSpans(topLine, topLine, false);
    computeSpans(bottomLine, bottomLine, false);
    const LineSpan* topSpan = spanOf(topLine);
    const LineSpan* bottomSpan = spanOf(bottomLine);
    TextPosition newTop = top();
    TextPosition newBottom = bottom();
    if (topSpan && topSpan->start >= 0)
        newTop.offset = topSpan->start;
    if (bottomSpan && bottomSpan->start >= 0)
        newBottom.offset = bottomSpan->end;
    m_anchor = anchorOnTop ? newTop : newBottom;
    m_caret = anchorOnTop ? newBottom : newTop;
    resetSpans();
}

void SelectionBehaviorRectangle::onRecompute(void* self, DocumentController*) {
    static_cast<SelectionBehaviorRectangle*>(self)->recomputeSpans();
}

void SelectionBehaviorRectangle::onEditorChanged(void* self, DocumentController*, IEditor*) {
    static_cast<SelectionBehaviorRectangle*>(self)->recomputeSpans();
}

void SelectionBehaviorRectangle::onEditorGone(void* self, DocumentController*, IEditor*) {
    static_cast<SelectionBehaviorRectangle*>(self)->resetSpans();
}

void SelectionBehaviorRectangle::attach() {
    if (m_attached)
        return;
    m_attached = true;
    m_controller->editEnded.add(&onRecompute, this);
    m_controller->editorAttached.add(&onEditorChanged, this);
    m_controller->editorDetached.add(&onEditorGone, this);
}

void SelectionBehaviorRectangle::detach() {
    if (!m_attached)
        return;
    m_attached = false;
    m_controller->editEnded.remove(&onRecompute, this);
    m_controller->editorAttached.remove(&onEditorChanged, this);
    m_controller->editorDetached.remove(&onEditorGone, this);
}

int32_t SelectionBehaviorRectangle::getRangeCount() {
    if (!editor())
        return 0;
    if (m_computed == 0)
        recomputeSpans();
    return m_computed;
}

void SelectionBehaviorRectangle::collapse() {
    m_anchor = m_caret;
    sizeTable();
}

bool SelectionBehaviorRectangle::getLineRange(int32_t line, int32_t& start, int32_t& end) {
    if (isEmptySelection() || line < top().line || line > bottom().line)
        return false;
    computeSpans(line, line, true);
    const LineSpan* span = spanOf(line);
    if (!span || span->start < 0)
        return false;
    start = span->start;
    end = span->end;
    return true;
}

int32_t SelectionBehaviorRectangle::buildRanges(SelectionRangeMap& tree, int32_t index) {
    recomputeSpans();
    if (m_computed == 0)
        return index;
    const bool downwards = !m_caret.before(m_anchor);
    const int32_t first = downwards ? top().line : bottom().line;
    const int32_t last = downwards ? bottom().line : top().line;
    const int32_t step = downwards ? 1 : -1;
    m_controller->beginEdit(DocumentController::EDIT_READ);
    for (int32_t line = first;; line += step) {
        const LineSpan* span = spanOf(line);
        if (span && span->start >= 0) {
            const int32_t lineStart = m_controller->positionToOffset(TextPosition(line, 0));
            const int32_t length = m_controller->getLineTextLength(line);
            addSelectionRange(tree, true, lineStart + span->start, lineStart + std::min(span->end, length), index++);
        }
        if (line == last)
            break;
    }
    m_controller->endEdit();
    return index;
}

bool SelectionBehaviorRectangle::contains(const TextPosition& position, bool acceptEmpty) {
    (void)acceptEmpty;
    if (isEmptySelection() || position.line < top().line || position.line > bottom().line)
        return false;
    int32_t start = 0;
    int32_t end = 0;
    if (!getLineRange(position.line, start, end))
        return false;
    return start <= position.offset && position.offset <= end;
}

} // namespace corvel
