// Hit testing of a laid-out line: offsets to x and back, rows, caret stops.
#include "corvel/ui/afUnicode.h"

#include "corvel/ui/afUnicodeContext.h"
#include "zem/log/LogManager.h"

#include <algorithm>

namespace corvel {

namespace {
constexpr uint32_t UI_LOG_SOURCE = 0x629B9E5Bu;
}

int afUnicode::widthBefore(int firstPosition, int position) const {
    int x = 0;
    for (int p = firstPosition; p < position; ++p)
        x += m_items[m_visualOrder[p]].width;
    return x;
}

int afUnicode::itemXFromOffset(const afUnicodeItem& item, int cp, bool trailing) const {
    int x = 0;
    if (FAILED(ScriptCPtoX(cp, trailing ? TRUE : FALSE, item.charCount, item.glyphCount,
                           m_clusters.data() + item.firstChar, m_visattrs.data() + item.firstGlyph,
                           m_advances.data() + item.firstGlyph, &item.analysis, &x)))
        return 0;
    return item.rightToLeft() ? item.width - x : x;
}

namespace {

// The item holding ch, or for offsets beyond the text the last one, not counting a final
// line break.
int itemForOffset(const std::vector<afUnicodeItem>& items, int ch) {
    for (size_t i = 0; i < items.size(); ++i) {
        if (ch < items[i].endChar())
            return static_cast<int>(i);
    }
    int last = static_cast<int>(items.size()) - 1;
    if (last > 0 && items[last].kind == afUnicodeItem::LINE_BREAK)
        --last;
    return last;
}

} // namespace

int afUnicode::getXFromOffset(int offset, bool trailing, int extraColumns) {
    int spaceWidth = m_context ? m_context->spaceWidth() : 0;
    if (m_items.empty())
        return extraColumns * spaceWidth;
    int ch = std::max(0, offset - (trailing ? 1 : 0));
    int index = itemForOffset(m_items, ch);
    int position = static_cast<int>(std::find(m_visualOrder.begin(), m_visualOrder.end(), index) - m_visualOrder.begin());
    const afUnicodeItem& item = m_items[index];
    int cp = std::min(ch - item.firstChar, item.charCount);
    return widthBefore(0, position) + itemXFromOffset(item, cp, trailing) + extraColumns * spaceWidth;
}

int afUnicode::getRowFromOffset(int offset, bool trailing) const {
    if (m_items.empty() || m_rowEnds.empty())
        return 0;
    int ch = std::max(0, offset - (trailing ? 1 : 0));
    int index = itemForOffset(m_items, ch);
    // Rows are contiguous stretches of items, bounded by the same indices in both orders.
    for (int row = 0; row < rowCount(); ++row) {
        if (index <= m_rowEnds[row])
            return row;
    }
    return rowCount() - 1;
}

int afUnicode::getRowXFromOffset(int offset, bool trailing, int extraColumns, int* row) {
    *row = getRowFromOffset(offset, trailing);
    int spaceWidth = m_context ? m_context->spaceWidth() : 0;
    int indent = m_context ? m_context->getRowIndent(*this, *row) : 0;
    if (m_items.empty())
        return indent + extraColumns * spaceWidth;
    int ch = std::max(0, offset - (trailing ? 1 : 0));
    int index = itemForOffset(m_items, ch);
    int first = rowFirstPosition(*row);
    int position = first;
    while (position <= m_rowEnds[*row] && m_visualOrder[position] != index)
        ++position;
    const afUnicodeItem& item = m_items[index];
    int cp = std::min(ch - item.firstChar, item.charCount);
    return indent + widthBefore(first, position) + itemXFromOffset(item, cp, trailing) + extraColumns * spaceWidth;
}

int afUnicode::getRowStart(int row) const {
    row = std::min(row, rowCount() - 1);
    if (m_items.empty() || row <= 0)
        return 0;
    return m_items[m_rowEnds[row - 1] + 1].firstChar;
}

int afUnicode::getRowEnd(int row, bool* soft) const {
    *soft = true;
    if (m_items.empty())
        return 0;
    row = std::max(0, std::min(row, rowCount() - 1));
    const afUnicodeItem& last = m_items[m_rowEnds[row]];
    if (last.kind == afUnicodeItem::LINE_BREAK) {
        *soft = false;
        return last.firstChar;
    }
    return last.endChar();
}

int afUnicode::getOffsetFromX(int x, bool* trailing, int* extraColumns) {
    return getOffsetFromXRange(static_cast<int>(m_visualOrder.size()) - 1, 0, x, m_lineWidth, true, trailing,
                               extraColumns);
}

int afUnicode::getOffsetFromRowX(int row, int x, bool* trailing, int* extraColumns) {
    if (m_rowEnds.empty())
        return getOffsetFromX(x, trailing, extraColumns);
    row = std::max(0, std::min(row, rowCount() - 1));
    int indent = m_context ? m_context->getRowIndent(*this, row) : 0;
    return getOffsetFromXRange(m_rowEnds[row], rowFirstPosition(row), x - indent, m_rowWidths[row],
                               row == rowCount() - 1, trailing, extraColumns);
}

int afUnicode::getOffsetFromXRange(int lastPosition, int firstPosition, int x, int rangeWidth, bool isLastRow,
                                   bool* trailing, int* extraColumns) {
    if (extraColumns)
        *extraColumns = 0;
    // A closing line break is not a place to click into.
    int endOffset = lastPosition >= firstPosition ? m_items[lastPosition].endChar() : 0;
    if (lastPosition >= firstPosition && m_items[lastPosition].kind == afUnicodeItem::LINE_BREAK) {
        rangeWidth -= m_items[lastPosition].width;
        endOffset = m_items[lastPosition].firstChar;
        --lastPosition;
    }
    if (lastPosition < firstPosition || x >= rangeWidth) {
        if (isLastRow && extraColumns) {
            int unit = std::max(1, m_context ? m_context->spaceWidth() : 1);
            int beyond = std::max(0, x - rangeWidth);
            *extraColumns = beyond / unit + (beyond % unit > unit / 2 ? 1 : 0);
            *trailing = true;
            return m_logicalLength;
        }
        *trailing = lastPosition >= firstPosition ? !m_items[m_visualOrder[lastPosition]].rightToLeft() : false;
        return lastPosition >= firstPosition ? endOffset : (firstPosition < static_cast<int>(m_items.size())
                                                                ? m_items[firstPosition].firstChar
                                                                : 0);
    }
    bool negative = x < 0;
    if (negative)
        x = 0;
    int position = firstPosition;
    int start = 0;
    while (position < lastPosition && x >= start + m_items[m_visualOrder[position]].width) {
        start += m_items[m_visualOrder[position]].width;
        ++position;
    }
    const afUnicodeItem& item = m_items[m_visualOrder[position]];
    int itemX = x - start;
    if (item.analysis.fLayoutRTL)
        itemX = item.width - itemX;
    int cp = 0;
    int trailingUnits = 0;
    if (FAILED(ScriptXtoCP(itemX, item.charCount, item.glyphCount, m_clusters.data() + item.firstChar,
                           m_visattrs.data() + item.firstGlyph, m_advances.data() + item.firstGlyph, &item.analysis,
                           &cp, &trailingUnits))) {
        zem::logMessage(1, UI_LOG_SOURCE, L"afUnicode::getOffsetFromXRange(): Converting X to offset failed.\n");
        return -1;
    }
    int offset = item.firstChar + cp + trailingUnits;
    *trailing = trailingUnits != 0;
    if (offset == endOffset)
        *trailing = true;
    if (negative)
        *trailing = m_items[m_visualOrder[firstPosition]].rightToLeft();
    return offset;
}

int afUnicode::findCaretStop(int offset, bool forward, bool byWord) const {
    const int length = static_cast<int>(m_text.size());
    if (offset >= length)
        return offset;
    const uint8_t mask = byWord ? (WORD_STOP | WHITE_SPACE) : CHAR_STOP;
    if (forward) {
        int end = std::min(length, m_logicalLength);
        for (int k = std::max(0, offset); k < end; ++k) {
            if (m_attrs[k] & mask)
                return k;
        }
        return m_logicalLength;
    }
    for (int k = offset; k >= 0; --k) {
        if (m_attrs[k] & mask)
            return k;
    }
    return -1;
}

} // namespace corvel
