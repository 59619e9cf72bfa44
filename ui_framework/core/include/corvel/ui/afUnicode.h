// The layout of one text line: UTF-16 text plus one style cell per character become
// shaped, placed runs in visual order, broken into rows when wrapping is on, with
// hit testing between offsets and x positions. Owned by its user and reused from line
// to line (arrays are resized, not reallocated). Main thread only.
#pragma once
#include "corvel/ui/afUnicodeItem.h"
#include "corvel/ui/afUnicodeStyle.h"

#include <cstdint>
#include <string>
#include <vector>

namespace corvel {

class afUnicodeContext;

class afUnicode {
public:
    // SCRIPT_LOGATTR bits of the per-character attributes.
    enum Attr : uint8_t { SOFT_BREAK = 1, WHITE_SPACE = 2, CHAR_STOP = 4, WORD_STOP = 8, INVALID = 16 };

    afUnicode();

    // Empties text and cells, zeroes logical length, indent and whitespace bounds (the
    // end-of-line colour stays) and asks for a restyle.
    void reset();
    bool process(afUnicodeContext& context);

    // What the editor fills before process().
    std::wstring& text() { return m_text; }
    const std::wstring& text() const { return m_text; }
    void setText(const std::wstring& text) { m_text = text; }
    std::vector<afUnicodeStyleCell>& cells() { return m_cells; }
    const std::vector<afUnicodeStyleCell>& cells() const { return m_cells; }
    // The cells' layer masks must be cleared before the layers write them again.
    void markCellsDirty() { m_cellsDirty = true; }
    bool cellsDirty() const { return m_cellsDirty; }
    void clearCellsDirty() { m_cellsDirty = false; }
    int logicalLength() const { return m_logicalLength; }
    void setLogicalLength(int length) { m_logicalLength = length; }
    uint32_t endOfLineColor() const { return m_endOfLineColor; }
    void setEndOfLineColor(uint32_t packed) { m_endOfLineColor = packed; }
    int indent() const { return m_indent; }
    void setIndent(int columns) { m_indent = columns; }
    int leadingWhitespaceEnd() const { return m_leadingEnd; }
    int trailingWhitespaceStart() const { return m_trailingStart; }
    void setWhitespaceBounds(int leadingEnd, int trailingStart) {
        m_leadingEnd = leadingEnd;
        m_trailingStart = trailingStart;
    }
    bool needsRestyle() const { return m_restyle != 0; }
    void setRestyleMark(bool on) { m_restyle = on ? 1 : 0; }

    // Results of process().
    const std::vector<afUnicodeItem>& items() const { return m_items; }
    const std::vector<int32_t>& visualOrder() const { return m_visualOrder; }
    const std::vector<int32_t>& rowEnds() const { return m_rowEnds; }
    const std::vector<int32_t>& rowWidths() const { return m_rowWidths; }
    int rowCount() const { return static_cast<int>(m_rowEnds.size()); }
    // Positions in visualOrder() of row's items: [first, last]; empty when last < first.
    int rowFirstPosition(int row) const { return row <= 0 ? 0 : m_rowEnds[row - 1] + 1; }
    int rowLastPosition(int row) const { return m_rowEnds[row]; }
    int lineWidth() const { return m_lineWidth; }
    int widestRow() const { return m_widestRow; }
    uint8_t attributes(int i) const { return m_attrs[i]; }
    const WORD* clusters() const { return m_clusters.data(); }
    const WORD* glyphs() const { return m_glyphs.data(); }
    const int* advances() const { return m_advances.data(); }
    const GOFFSET* glyphOffsets() const { return m_offsets.data(); }
    const SCRIPT_VISATTR* visualAttributes() const { return m_visattrs.data(); }
    // First and last glyph of the characters [from, to) of an item (offsets in the item).
    void clusterGlyphRange(const afUnicodeItem& item, int fromChar, int toChar, int* first, int* last) const;

    // Hit testing.
    int getXFromOffset(int offset, bool trailing, int extraColumns);
    int getRowXFromOffset(int offset, bool trailing, int extraColumns, int* row);
    int getRowFromOffset(int offset, bool trailing) const;
    int getRowStart(int row) const;
    int getRowEnd(int row, bool* soft) const;
    int getOffsetFromX(int x, bool* trailing, int* extraColumns);
    int getOffsetFromRowX(int row, int x, bool* trailing, int* extraColumns);
    int findCaretStop(int offset, bool forward, bool byWord) const;
    // The item's logical widths, computed on first use.
    const int* getLogicalWidths(size_t item);

private:
    struct ItemizerItem;

    bool itemize(afUnicodeContext& context, std::vector<SCRIPT_ITEM>* out);
    void merge(afUnicodeContext& context, std::vector<SCRIPT_ITEM>* items);
    void splitRuns(afUnicodeContext& context, const std::vector<SCRIPT_ITEM>& items);
    void buildItems(afUnicodeContext& context);
    bool shapeItem(afUnicodeContext& context, afUnicodeItem& item, const wchar_t* chars);
    bool placeItem(afUnicodeContext& context, afUnicodeItem& item);
    void setSpecialWidths(afUnicodeContext& context);
    void orderRows();
    void wrapRows(afUnicodeContext& context);
    int findBreakOffset(int item, int room, int totalRoom, int rowStart);
    void splitItem(size_t item, int count);
    void closeRow(int lastItem, int firstItem);
    int itemAt(int offset) const;
    int widthBefore(int firstPosition, int position) const;
    int itemXFromOffset(const afUnicodeItem& item, int cp, bool trailing) const;
    int getOffsetFromXRange(int lastPosition, int firstPosition, int x, int rangeWidth, bool isLastRow,
                            bool* trailing, int* extraColumns);

    afUnicodeContext* m_context = nullptr; // the context of the last process()
    std::wstring m_text;
    std::vector<afUnicodeStyleCell> m_cells; // at least one per character
    bool m_cellsDirty = false;
    int m_logicalLength = 0;
    uint32_t m_endOfLineColor = 0;
    int m_indent = 0;
    int m_leadingEnd = 0;
    int m_trailingStart = 0;
    std::vector<afUnicodeItem> m_items;       // logical order, covering the text
    std::vector<int32_t> m_visualOrder;       // item indices, row by row
    std::vector<int32_t> m_rowEnds;           // per row: position of its last item in m_visualOrder
    std::vector<int32_t> m_rowWidths;
    std::vector<uint8_t> m_attrs;             // SCRIPT_LOGATTR per character
    std::vector<WORD> m_clusters;             // per character, relative to its item's first glyph
    std::vector<int> m_logicalWidths;         // per character, filled per item on demand
    std::vector<WORD> m_glyphs;               // shared by all items
    std::vector<SCRIPT_VISATTR> m_visattrs;
    std::vector<GOFFSET> m_offsets;
    std::vector<int> m_advances;
    int m_glyphCount = 0;
    int m_lineWidth = 0;
    int m_widestRow = 0;
    uint8_t m_restyle = 1;
};

} // namespace corvel
