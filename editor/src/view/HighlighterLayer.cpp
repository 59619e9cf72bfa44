#include "HighlighterLayer.h"

#include "corvel/document/TextHighlighter.h"

namespace corvel {

void HighlighterLayer::restyle(int lineNumber, int firstOffset, int endOffset, std::vector<afUnicodeStyleCell>& cells) {
    // The highlighter marks with the bit this context gave the layer.
    const uint8_t bit = mask();
    m_highlighter.setMarkBit(bit);
    // One cell past the text: a range running over the line break shows there.
    m_marks.reset(static_cast<size_t>(endOffset - firstOffset) + 1);
    m_highlighter.highlight(lineNumber, firstOffset, endOffset, m_marks);
    if (!m_marks.isChanged())
        return;
    const size_t count = m_marks.size();
    for (size_t i = 0; i < count; ++i) {
        const bool range = (m_marks.rangeBits(i) & bit) != 0;
        const bool point = (m_marks.pointBits(i) & bit) != 0;
        if (!range && !point)
            continue;
        if (i >= cells.size())
            cells.resize(i + 1);
        if (range)
            cells[i].layerMask |= mask();
        if (point)
            cells[i].barMask |= mask();
    }
}

void HighlighterLayer::getStyle(afUnicodeBlendedStyle* style) {
    const HighlightStyle own = m_highlighter.getStyle();
    style->background = own.fill;
    style->foreground = ColorF();
    style->flags = static_cast<uint16_t>(own.flags);
}

} // namespace corvel
