// Base of everything that marks ranges of a line for painting (the selection, the span
// highlighter): asked for one line, it sets its mark bit in that line's cells.
#pragma once
#include "corvel/document/CellMarks.h"
#include "corvel/document/ColorF.h"

#include <cstdint>

namespace corvel {

struct HighlightStyle {
    ColorF fill = ColorF::fromPacked(0x40FF0000);
    ColorF second = ColorF::fromPacked(0xFFFFFFFF);
    uint32_t flags = 0;
};

class TextHighlighter {
public:
    virtual ~TextHighlighter() = default;

    // Marks this highlighter's ranges of the line [lineStart, lineEnd] (document offsets)
    // in cells, one cell per character position of the line.
    virtual void highlight(int32_t line, int32_t lineStart, int32_t lineEnd, CellMarks& cells) = 0;
    virtual HighlightStyle getStyle() const { return m_style; }
    virtual void setStyle(const HighlightStyle& style) { m_style = style; }

    uint8_t getMarkBit() const { return m_markBit; }
    void setMarkBit(uint8_t bit) { m_markBit = bit; }

protected:
    // Marks a range [start, end] of document offsets that may run past the line: clipped
    // to the line, a range past lineEnd takes the line-break cell too, an empty range
    // marks its single place. False when the range lies wholly outside the line.
    static bool markRangeOnLine(int32_t start, int32_t end, int32_t lineStart, int32_t lineEnd, uint8_t bit,
                                CellMarks& cells);

    HighlightStyle m_style;
    uint8_t m_markBit = 0;
};

} // namespace corvel
