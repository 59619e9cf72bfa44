#include "corvel/editor/EditorPositionMap.h"

#include "corvel/editor/LineCache.h"
#include "corvel/ui/afUnicode.h"
#include "corvel/ui/afUnicodeContext.h"

#include "zem/log/LogManager.h"

#include <algorithm>

namespace corvel {

namespace {

const uint8_t WORD_MASK = afUnicode::WORD_STOP | afUnicode::WHITE_SPACE;
const uint32_t DEFAULT_LOG_SOURCE = 0xE35E00DFu;

void logNoIterator() {
    zem::logMessage(zem::LOG_INFO, DEFAULT_LOG_SOURCE, L"Editor::getOffset(): Cannot get subline iterator.\n");
}

} // namespace

EditorPositionMap::EditorPositionMap(LineCache& cache) : m_cache(cache) {}

bool EditorPositionMap::bound() {
    return m_cache.getSource() != nullptr && m_cache.getLineCount() > 0;
}

afUnicode* EditorPositionMap::lineAt(int32_t line) {
    return m_cache.getLine(line);
}

TextPosition EditorPositionMap::getEndPosition() {
    int32_t last = m_cache.getLineCount() - 1;
    if (last < 0)
        return TextPosition();
    afUnicode* record = lineAt(last);
    return TextPosition(last, record ? record->logicalLength() : 0, 1);
}

int32_t EditorPositionMap::getXAtPosition(const TextPosition& position, bool wholeLine, int32_t* outRow) {
    if (!bound())
        return 0;
    afUnicodeContext& context = m_cache.context();
    if (position.line >= m_cache.getLineCount())
        return position.offset * context.averageCharWidth();
    afUnicode* record = lineAt(position.line < 0 ? 0 : position.line);
    if (!record)
        return 0;
    int32_t length = record->logicalLength();
    int32_t column = std::max<int32_t>(0, position.offset);
    int32_t extra = column > length ? column - length : 0;
    int32_t offset = std::min(column, length);
    bool trailing = position.virtualFlag != 0 && offset > 0;
    if (wholeLine)
        return record->getXFromOffset(offset, trailing, extra);
    int row = 0;
    int32_t x = record->getRowXFromOffset(offset, trailing, extra, &row);
    if (outRow)
        *outRow = row;
    return x;
}

void EditorPositionMap::getPositionAtX(int32_t x, int32_t line, int32_t row, TextPosition& out, bool allowVirtual,
                                       bool wholeLine) {
    if (x < 0) {
        out = TextPosition(line, 0, 0);
        return;
    }
    line = std::max<int32_t>(0, line);
    if (line < m_cache.getLineCount()) {
        afUnicode* record = lineAt(line);
        if (!record) {
            out = TextPosition(line, 0, 0);
            return;
        }
        bool trailing = false;
        int extra = 0;
        int offset = wholeLine ? record->getOffsetFromX(x, &trailing, &extra)
                               : record->getOffsetFromRowX(row, x, &trailing, &extra);
        out = TextPosition(line, offset + (allowVirtual ? extra : 0), trailing ? 1 : 0);
        return;
    }
    if (allowVirtual)
        out = TextPosition(line, m_cache.context().columnFromX(x), 0);
    else
        out = getEndPosition();
}

bool EditorPositionMap::getSubLineIterator(const TextPosition& position, SubLineIterator& out) {
    int32_t count = m_cache.getLineCount();
    if (count <= 0)
        return false;
    int32_t line = std::max<int32_t>(0, std::min(position.line, count - 1));
    afUnicode* record = lineAt(line);
    if (!record)
        return false;
    int32_t offset = std::max<int32_t>(0, std::min(position.offset, record->logicalLength()));
    int row = record->getRowFromOffset(offset, position.virtualFlag != 0 && offset > 0);
    out = m_cache.makeIterator(line, row);
    return out.isValid();
}

EditorPositionMap::Move EditorPositionMap::computeMove(const TextPosition& from, int code, bool allowVirtual,
                                                       int32_t desiredX, int32_t pageRows) {
    if (!bound())
        return Move{from, false};
    switch (code) {
    case CHAR_RIGHT:
        return Move{moveCharRight(from, allowVirtual), true};
    case CHAR_LEFT:
        return Move{moveCharLeft(from, allowVirtual, true), true};
    case CHAR_LEFT_IN_LINE:
        return Move{moveCharLeft(from, allowVirtual, false), true};
    case WORD_RIGHT:
        return Move{moveWordRight(from), true};
    case WORD_LEFT:
        return Move{moveWordLeft(from, true), true};
    case WORD_LEFT_IN_LINE:
        return Move{moveWordLeft(from, false), true};
    case ROW_UP:
        return Move{moveRowsUp(from, 1, desiredX, allowVirtual), false};
    case ROW_DOWN:
        return Move{moveRowsDown(from, 1, desiredX, allowVirtual), false};
    case PAGE_UP:
        return Move{moveRowsUp(from, std::max<int32_t>(1, pageRows), desiredX, allowVirtual), false};
    case PAGE_DOWN:
        return Move{moveRowsDown(from, std::max<int32_t>(1, pageRows), desiredX, allowVirtual), false};
    case SMART_END:
        return Move{moveSmartEnd(from), true};
    case SMART_HOME:
        return Move{moveSmartHome(from), true};
    case DOCUMENT_START:
        return Move{TextPosition(0, 0, 0), true};
    case DOCUMENT_END:
        return Move{getEndPosition(), true};
    default:
        return Move{from, false};
    }
}

// The end-of-line cases shared by character and word moves to the right.
TextPosition EditorPositionMap::endOfLineBeyond(const TextPosition& p) {
    int32_t count = m_cache.getLineCount();
    if (p.line >= count)
        return getEndPosition();
    if (p.line < count - 1)
        return TextPosition(p.line + 1, 0, 0);
    return p;
}

TextPosition EditorPositionMap::moveCharRight(const TextPosition& p, bool allowVirtual) {
    if (!bound())
        return p;
    afUnicode* record = p.line >= 0 ? lineAt(p.line) : nullptr;
    if (record && p.offset < record->logicalLength()) {
        int32_t next = record->findCaretStop(std::max<int32_t>(0, p.offset) + 1, true, false);
        return TextPosition(p.line, std::min(next, record->logicalLength()), 0);
    }
    if (allowVirtual)
        return TextPosition(p.line, p.offset + 1, 0);
    return endOfLineBeyond(p);
}

TextPosition EditorPositionMap::moveCharLeft(const TextPosition& p, bool allowVirtual, bool mayLeaveLine) {
    if (!bound())
        return p;
    afUnicode* record = p.line >= 0 ? lineAt(p.line) : nullptr;
    int32_t length = record ? record->logicalLength() : 0;
    if (p.offset > 0) {
        if (allowVirtual && p.offset > length)
            return TextPosition(p.line, p.offset - 1, 0);
        int32_t column = std::min(p.offset, length);
        if (!record || column == 0)
            return TextPosition(p.line, 0, 0);
        int32_t stop = record->findCaretStop(column - 1, false, false);
        return TextPosition(p.line, std::max<int32_t>(0, stop), 0);
    }
    if (p.line > 0 && mayLeaveLine) {
        if (p.line - 1 < m_cache.getLineCount()) {
            afUnicode* previous = lineAt(p.line - 1);
            return TextPosition(p.line - 1, previous ? previous->logicalLength() : 0, 1);
        }
        return allowVirtual ? TextPosition(p.line - 1, 0, 0) : getEndPosition();
    }
    return p;
}

TextPosition EditorPositionMap::moveWordRight(const TextPosition& p) {
    if (!bound())
        return p;
    afUnicode* record = p.line >= 0 ? lineAt(p.line) : nullptr;
    if (record && p.offset < record->logicalLength()) {
        int32_t next = record->findCaretStop(std::max<int32_t>(0, p.offset) + 1, true, true);
        return TextPosition(p.line, std::min(next, record->logicalLength()), 0);
    }
    return endOfLineBeyond(p);
}

TextPosition EditorPositionMap::moveWordLeft(const TextPosition& p, bool mayLeaveLine) {
    if (!bound())
        return p;
    afUnicode* record = p.line >= 0 ? lineAt(p.line) : nullptr;
    if (p.offset > 0) {
        int32_t column = std::min(p.offset, record ? record->logicalLength() : 0);
        if (!record || column == 0)
            return TextPosition(p.line, 0, 0);
        int32_t stop = record->findCaretStop(column - 1, false, true);
        return TextPosition(p.line, std::max<int32_t>(0, stop), 0);
    }
    if (p.line > 0 && mayLeaveLine) {
        if (p.line >= m_cache.getLineCount())
            return getEndPosition();
        afUnicode* previous = lineAt(p.line - 1);
        return TextPosition(p.line - 1, previous ? previous->logicalLength() : 0, 1);
    }
    return p;
}

bool EditorPositionMap::placeRows(const TextPosition& p, int32_t rows, int32_t desiredX, bool allowVirtual,
                                  TextPosition& target) {
    SubLineIterator it;
    if (!getSubLineIterator(p, it)) {
        logNoIterator();
        target = TextPosition(0, 0, 0);
        return true;
    }
    it.advance(rows);
    if (!it.isValid())
        return false;
    getPositionAtX(desiredX, it.line, it.clampedSubLine(), target, allowVirtual, false);
    return true;
}

TextPosition EditorPositionMap::moveRowsUp(const TextPosition& p, int32_t rows, int32_t desiredX, bool allowVirtual) {
    if (!bound())
        return p;
    TextPosition target;
    return placeRows(p, -rows, desiredX, allowVirtual, target) ? target : TextPosition(0, 0, 0);
}

TextPosition EditorPositionMap::moveRowsDown(const TextPosition& p, int32_t rows, int32_t desiredX, bool allowVirtual) {
    if (!bound())
        return p;
    TextPosition target;
    if (placeRows(p, rows, desiredX, allowVirtual, target))
        return target;
    afUnicode* record = p.line >= 0 ? lineAt(p.line) : nullptr;
    if (record && p.offset <= record->logicalLength())
        return getEndPosition();
    return p;
}

TextPosition EditorPositionMap::moveSmartEnd(const TextPosition& p) {
    afUnicode* record = bound() && p.line >= 0 ? lineAt(p.line) : nullptr;
    if (!record)
        return p;
    int32_t length = record->logicalLength();
    int32_t trimmed = record->trailingWhitespaceStart();
    if (p.offset == length)
        return TextPosition(p.line, trimmed, 0);
    int32_t offset = std::max<int32_t>(0, std::min(p.offset, length));
    int row = record->getRowFromOffset(offset, p.virtualFlag != 0 && offset > 0);
    bool soft = false;
    int32_t rowEnd = record->getRowEnd(row, &soft);
    int32_t low = std::min(rowEnd, trimmed);
    int32_t high = std::max(rowEnd, trimmed);
    if (rowEnd == trimmed)
        low = rowEnd;
    int32_t target = p.offset < low ? low : (p.offset < high ? high : length);
    return TextPosition(p.line, target, target == rowEnd && soft ? 1 : 0);
}

TextPosition EditorPositionMap::moveSmartHome(const TextPosition& p) {
    afUnicode* record = bound() && p.line >= 0 ? lineAt(p.line) : nullptr;
    if (!record)
        return p;
    int32_t blanks = record->leadingWhitespaceEnd();
    if (p.offset == 0)
        return TextPosition(p.line, blanks, 0);
    int32_t offset = std::min(p.offset, record->logicalLength());
    int row = record->getRowFromOffset(offset, p.virtualFlag != 0 && offset > 0);
    if (row > 0) {
        int32_t start = record->getRowStart(row);
        if (start < p.offset)
            return TextPosition(p.line, start, 0);
        return TextPosition(p.line, blanks >= p.offset ? 0 : blanks, 0);
    }
    return TextPosition(p.line, p.offset == blanks ? 0 : blanks, 0);
}

TextPosition EditorPositionMap::wordEnd(const TextPosition& p) {
    if (!bound())
        return p;
    if (p.line >= m_cache.getLineCount())
        return getEndPosition();
    afUnicode* record = lineAt(std::max<int32_t>(0, p.line));
    if (!record)
        return p;
    int32_t length = record->logicalLength();
    if (p.offset >= length)
        return TextPosition(p.line, length, 0);
    // The character under the position belongs to the word even when it starts one.
    int32_t end = std::max<int32_t>(0, p.offset) + 1;
    while (end < length && !(record->attributes(end) & WORD_MASK))
        ++end;
    return TextPosition(p.line, end, 0);
}

TextPosition EditorPositionMap::wordEndBeforeBlank(const TextPosition& p) {
    if (!bound() || p.line < 0 || p.line >= m_cache.getLineCount())
        return wordEnd(p);
    afUnicode* record = lineAt(p.line);
    if (record && p.offset >= 0 && p.offset < record->logicalLength() &&
        (record->attributes(p.offset) & afUnicode::WHITE_SPACE))
        return TextPosition(p.line, p.offset, 0);
    return wordEnd(p);
}

void EditorPositionMap::selectWordAt(const TextPosition& p, TextPosition& start, TextPosition& end) {
    end = wordEnd(p);
    start = moveWordLeft(end, true);
}

} // namespace corvel
