// Paints the ranges of the spans a document controller shows (the fields of an inserted
// snippet while it is being filled in). The painted ranges are worked out again from the
// spans whenever the list changed.
#pragma once
#include "corvel/document/TextHighlighter.h"

#include <map>
#include <vector>

namespace corvel {

class DocumentController;
class Span;

class SpanHighlighter : public TextHighlighter {
public:
    // Registers with the controller.
    explicit SpanHighlighter(DocumentController* controller);
    // Repaints and forgets every span, then unregisters.
    ~SpanHighlighter() override;
    SpanHighlighter(const SpanHighlighter&) = delete;
    SpanHighlighter& operator=(const SpanHighlighter&) = delete;

    void highlight(int32_t line, int32_t lineStart, int32_t lineEnd, CellMarks& cells) override;

    // Adds a span to paint (once) and repaints its range.
    void addSpan(Span* span);
    // Repaints the span's range and stops painting it.
    void removeSpan(Span* span);
    // Repaints every span's range in one change batch and forgets them all.
    void clearSpans();
    // Repaints every painted range; the ranges are worked out again at the next paint.
    void invalidateRanges();
    // Asks the controller to repaint the document range [from, to].
    void repaintRange(int32_t from, int32_t to);

    const std::vector<Span*>& getSpans() const { return m_spans; }
    const HighlightStyle& getSecondStyle() const { return m_secondStyle; }

private:
    void rebuildRanges();

    DocumentController* m_controller;
    std::vector<Span*> m_spans;          // not owned; a span leaves the list before it is deleted
    bool m_outOfDate = true;             // m_ranges no longer follow m_spans
    std::map<int32_t, int32_t> m_ranges; // start -> end of each painted range
    HighlightStyle m_secondStyle;
    uint16_t m_reserved = 0;
};

} // namespace corvel
