// Breaking a laid-out line into visual rows: where a row may end, and splitting the
// item a row ends inside.
#include "corvel/ui/afUnicode.h"

#include "corvel/ui/afUnicodeContext.h"

#include <algorithm>

namespace corvel {

void afUnicode::splitItem(size_t index, int count) {
    afUnicodeItem second = m_items[index];
    afUnicodeItem& first = m_items[index];
    const int* widths = getLogicalWidths(index);
    int firstWidth = 0;
    for (int i = 0; i < count; ++i)
        firstWidth += widths[i];
    int glyphSplit = m_clusters[first.firstChar + count] - m_clusters[first.firstChar];
    second.firstChar += count;
    second.charCount -= count;
    second.firstGlyph += glyphSplit;
    second.glyphCount -= glyphSplit;
    second.width -= firstWidth;
    second.analysis.fLinkBefore = 0;
    // The second part's clusters count from its own first glyph.
    for (int i = 0; i < second.charCount; ++i)
        m_clusters[second.firstChar + i] = static_cast<WORD>(m_clusters[second.firstChar + i] - glyphSplit);
    first.charCount = count;
    first.glyphCount = glyphSplit;
    first.width = firstWidth;
    first.analysis.fLinkAfter = 0;
    m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(index) + 1, second);
}

int afUnicode::findBreakOffset(int index, int room, int totalRoom, int rowStart) {
    const int length = static_cast<int>(m_text.size());
    int j = m_items[index].firstChar;
    int r = room;
    for (size_t k = index; k < m_items.size(); ++k) {
        const int* widths = getLogicalWidths(k);
        const afUnicodeItem& item = m_items[k];
        for (j = item.firstChar; j < item.endChar(); ++j) {
            r -= widths[j - item.firstChar];
            if (r < 0)
                break;
        }
        if (r < 0)
            break;
    }
    if (j >= length)
        return length;
    int result = j;
    if (!(m_attrs[j] & WHITE_SPACE) && j > 0) {
        // The walk back may reach into the items before.
        for (int k = itemAt(j); k >= 0; --k)
            getLogicalWidths(k);
        int sum = 0;
        int charStop = -1;
        int found = -1;
        for (int k = j; k >= 0; --k) {
            sum += m_logicalWidths[k];
            if (sum > totalRoom)
                break;
            if (m_attrs[k] & (SOFT_BREAK | WHITE_SPACE | WORD_STOP)) {
                found = k;
                break;
            }
            if (charStop < 0 && (m_attrs[k] & CHAR_STOP))
                charStop = k;
        }
        // A break at or before the row's start would leave the row empty.
        if (found > rowStart)
            result = found;
        else
            result = charStop >= 0 ? charStop : j;
    }
    while (result < length && (m_attrs[result] & WHITE_SPACE))
        ++result;
    return result;
}

void afUnicode::closeRow(int lastItem, int firstItem) {
    int width = 0;
    for (int i = firstItem; i <= lastItem; ++i)
        width += m_items[i].width;
    m_rowEnds.push_back(lastItem);
    m_rowWidths.push_back(width);
    m_widestRow = std::max(m_widestRow, width);
}

void afUnicode::wrapRows(afUnicodeContext& context) {
    m_rowEnds.clear();
    m_rowWidths.clear();
    m_widestRow = 0;
    const int length = static_cast<int>(m_text.size());
    const int wrapWidth = context.wrapWidth();
    if (!context.wrapEnabled() || wrapWidth <= 0 || wrapWidth >= m_lineWidth) {
        m_rowEnds.push_back(static_cast<int32_t>(m_items.size()) - 1);
        m_rowWidths.push_back(m_lineWidth);
        m_widestRow = m_lineWidth;
        return;
    }
    int row = 0;
    int rowFirst = 0;
    int room = context.rowRoom(*this, 0);
    for (size_t i = 0; i < m_items.size();) {
        int width = m_items[i].width;
        if (width <= room) {
            room -= width;
            ++i;
            continue;
        }
        int rowStart = m_items[rowFirst].firstChar;
        int offset = findBreakOffset(static_cast<int>(i), room, context.rowRoom(*this, row), rowStart);
        if (offset <= rowStart) {
            // A row takes at least one cluster, or a room of 0 or less would split here for ever.
            offset = rowStart + 1;
            while (offset < length && !(m_attrs[offset] & CHAR_STOP))
                ++offset;
        }
        if (offset >= length || m_items[itemAt(offset)].kind == afUnicodeItem::LINE_BREAK) {
            room -= width;
            ++i;
            continue;
        }
        int k = itemAt(offset);
        int lastItem = k - 1;
        if (offset > m_items[k].firstChar) {
            splitItem(k, offset - m_items[k].firstChar);
            lastItem = k;
        }
        closeRow(lastItem, rowFirst);
        ++row;
        rowFirst = lastItem + 1;
        room = context.rowRoom(*this, row);
        i = rowFirst;
    }
    closeRow(static_cast<int>(m_items.size()) - 1, rowFirst);
    orderRows();
}

} // namespace corvel
