// A controller's highlighter (the selection, the span binding's placeholders) as a style
// layer of the editor's text context: its range marks colour the cells, its single-place
// marks become bars.
#pragma once
#include "corvel/document/CellMarks.h"
#include "corvel/ui/afUnicodeStyle.h"

namespace corvel {

class TextHighlighter;

class HighlighterLayer : public afUnicodeStyleLayer {
public:
    explicit HighlighterLayer(TextHighlighter& highlighter) : m_highlighter(highlighter) {}

    void restyle(int lineNumber, int firstOffset, int endOffset, std::vector<afUnicodeStyleCell>& cells) override;
    void getStyle(afUnicodeBlendedStyle* style) override;
    TextHighlighter& highlighter() const { return m_highlighter; }

private:
    TextHighlighter& m_highlighter;
    CellMarks m_marks; // reused between lines
};

} // namespace corvel
