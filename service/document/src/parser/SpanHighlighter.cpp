#include "corvel/document/SpanHighlighter.h"

#include "corvel/document/DocumentController.h"
#include "corvel/document/Span.h"

#include <algorithm>

namespace corvel {

SpanHighlighter::SpanHighlighter(DocumentController* controller) : m_controller(controller) {
    m_style.fill = ColorF::fromPacked(0x4000CCCC);
    m_style.second = ColorF::fromPacked(0x00FFFFFF);
    m_secondStyle = m_style;
    (void)m_reserved;
    m_controller->addHighlighter(this);
}

SpanHighlighter::~SpanHighlighter() {
    clearSpans();
    invalidateRanges();
    m_controller->removeHighlighter(this);
}

void SpanHighlighter::repaintRange(int32_t from, int32_t to) {
    m_controller->markChanged(from, to);
}

void SpanHighlighter::addSpan(Span* span) {
    if (!span || std::find(m_spans.begin(), m_spans.end(), span) != m_spans.end())
        return;
    m_spans.push_back(span);
    repaintRange(span->getStart(), span->getEnd());
    m_outOfDate = true;
}

void SpanHighlighter::removeSpan(Span* span) {
    const auto found = std::find(m_spans.begin(), m_spans.end(), span);
    if (found == m_spans.end())
        return;
    repaintRange(span->getStart(), span->getEnd());
    m_spans.erase(found);
    m_outOfDate = true;
}

void SpanHighlighter::clearSpans() {
    m_controller->beginChangeBatch();
    for (Span* span : m_spans)
        repaintRange(span->getStart(), span->getEnd());
    m_controller->endChangeBatch();
    m_spans.clear();
    m_outOfDate = true;
}

void SpanHighlighter::invalidateRanges() {
    for (const auto& range : m_ranges)
        repaintRange(range.first, range.second);
    m_ranges.clear();
    m_outOfDate = true;
}

void SpanHighlighter::rebuildRanges() {
    invalidateRanges();
    for (const Span* span : m_spans) {
        const int32_t start = span->getStart();
        const int32_t end = span->getEnd();
        int32_t& stored = m_ranges.emplace(start, end).first->second;
        stored = std::max(stored, end);
    }
    m_outOfDate = false;
}

void SpanHighlighter::highlight(int32_t line, int32_t lineStart, int32_t lineEnd, CellMarks& cells) {
    (void)line;
    if (m_outOfDate)
        rebuildRanges();
    auto it = m_ranges.begin();
    while (it != m_ranges.end() && it->second < lineStart)
        ++it;
    for (; it != m_ranges.end(); ++it) {
        if (!markRangeOnLine(it->first, it->second, lineStart, lineEnd, m_markBit, cells))
            break;
    }
}

} // namespace corvel
