#include "corvel/editor/LineCache.h"

#include "corvel/editor/LineTextSource.h"
#include "corvel/text/StringUtils.h"
#include "corvel/ui/afUnicodeContext.h"

#include "zem/base/Exception.h"

#include <utility>

namespace corvel {

LineCache::LineCache(afUnicodeContext& context) : m_context(context), m_records(new LineRecordCache()) {}

void LineCache::setSource(LineTextSource* source) {
    m_source = source;
    if (source) {
        m_context.setNoDocumentMark(false);
        reset(source->getLineCount());
    } else {
        m_context.setNoDocumentMark(true);
        reset(0);
    }
}

afUnicode* LineCache::getLine(int32_t line) {
    if (!m_source || line < 0 || line >= getLineCount())
        return nullptr;
    bool hit = false;
    afUnicode& record = m_records->acquire(line, &hit);
    if (hit)
        return &record;
    try {
        fill(line, record);
    } catch (...) {
        // A slot left naming the line would answer the next lookup with an empty record.
        m_records->dropRange(line, line);
        throw;
    }
    return &record;
}

void LineCache::fill(int32_t line, afUnicode& record) {
    m_source->readLine(line, record);
    const std::wstring& text = record.text();
    int length = static_cast<int>(text.size());
    record.setLogicalLength(length);
    int indent = measureIndent(length, text.c_str(), m_source->getTabWidth(), true);
    record.setIndent(indent < 0 ? 0 : indent);
    record.setWhitespaceBounds(countLeadingBlanks(text.c_str(), length),
                               lengthWithoutTrailingBlanks(length, text.c_str()));
    if (record.cells().size() < static_cast<size_t>(length))
        record.cells().resize(length);
    record.setRestyleMark(true);
    if (!record.process(m_context))
        throw zem::IllegalStateException(L"Unicode processing failed.");
    int space = m_context.spaceWidth() < 1 ? 1 : m_context.spaceWidth();
    // Wrapped lines are as wide as their widest row: that is what scrolls sideways.
    const int width = m_context.wrapEnabled() ? record.widestRow() : record.lineWidth();
    int32_t columns = width / space;
    if (columns > m_widest) {
        m_widest = columns;
        if (m_widthCallback)
            m_widthCallback(m_widthData, columns);
    }
}

const LineCache::LineEntry& LineCache::getLineEntry(int32_t line) {
    static const LineEntry none{1, 0};
    if (m_entries.empty())
        return none;
    line = clampLine(line);
    LineEntry& entry = m_entries[line];
    if (entry.subLineCount == 0) {
        afUnicode* record = getLine(line);
        if (!record)
            return none;
        int rows = record->rowCount();
        entry.subLineCount = rows < 1 ? 1 : rows;
        entry.width = record->lineWidth();
    }
    return entry;
}

void LineCache::markDirty(int32_t lineA, int32_t lineB) {
    if (m_entries.empty())
        return;
    int32_t first = clampLine(lineA < lineB ? lineA : lineB);
    int32_t last = clampLine(lineA < lineB ? lineB : lineA);
    for (int i = 0; i < LineRecordCache::SLOT_COUNT; ++i) {
        const LineRecordCache::Header& header = m_records->header(i);
        if (header.stamp != 0 && header.line >= first && header.line <= last)
            m_records->record(i).setRestyleMark(true);
    }
}

int32_t LineCache::clampLine(int32_t line) const {
    int32_t last = static_cast<int32_t>(m_entries.size()) - 1;
    if (line > last)
        line = last;
    return line < 0 ? 0 : line;
}

void LineCache::zeroEntries(int32_t first, int32_t last) {
    int32_t count = getLineCount();
    if (first < 0)
        first = 0;
    for (int32_t i = first; i <= last && i < count; ++i)
        m_entries[i] = LineEntry();
}

void LineCache::invalidateRange(int32_t first, int32_t last) {
    if (m_entries.empty())
        return;
    first = clampLine(first);
    last = clampLine(last);
    if (first > last)
        std::swap(first, last);
    m_records->dropRange(first, last);
    zeroEntries(first, last);
}

void LineCache::invalidateFrom(int32_t line) {
    int32_t count = getLineCount();
    int32_t n = line < 0 ? 0 : (line > count ? count : line);
    m_records->dropFrom(n);
    zeroEntries(n, count - 1);
}

void LineCache::invalidateUpTo(int32_t line) {
    int32_t count = getLineCount();
    int32_t n = line < 0 ? 0 : (line > count ? count : line);
    m_records->dropUpTo(n);
    zeroEntries(0, n);
}

void LineCache::invalidateAll() {
    m_records->clear();
    zeroEntries(0, getLineCount() - 1);
}

void LineCache::reset(int32_t lineCount) {
    m_entries.assign(lineCount < 0 ? 0 : lineCount, LineEntry());
    m_records->clear();
}

void LineCache::insertLines(int32_t line, int32_t count) {
    if (count <= 0)
        return;
    int32_t size = getLineCount();
    if (line < 0)
        line = 0;
    if (line > size)
        line = size;
    if (line < size) {
        invalidateRange(line, line);
        m_records->insertLines(count, line + 1);
    }
    m_entries.insert(m_entries.begin() + line, count, LineEntry());
}

void LineCache::removeLines(int32_t line, int32_t count) {
    int32_t size = getLineCount();
    if (count <= 0 || line < 0 || line >= size)
        return;
    m_records->removeLines(line, line + count);
    int32_t end = line + count > size ? size : line + count;
    m_entries.erase(m_entries.begin() + line, m_entries.begin() + end);
}

SubLineIterator LineCache::makeIterator(int32_t line, int32_t subLine) {
    return SubLineIterator(this, line, subLine);
}

SubLineIterator LineCache::begin() {
    return SubLineIterator(this, 0, 0);
}

SubLineIterator LineCache::end() {
    int32_t last = getLineCount() - 1;
    return SubLineIterator(this, last, getSubLineCount(last, false));
}

int32_t LineCache::getSubLineCount(int32_t line, bool fallback) {
    if (line < 0 || line >= getLineCount())
        return fallback ? 1 : 0;
    if (isOneSubLinePerLine())
        return 1;
    return getLineEntry(line).subLineCount;
}

bool LineCache::isOneSubLinePerLine() {
    return !m_context.wrapEnabled();
}

int32_t LineCache::distance(const SubLineIterator& a, const SubLineIterator& b) {
    if (a == b)
        return 0;
    if (isOneSubLinePerLine())
        return b.line - a.line;
    SubLineIterator step = a;
    int32_t count = 0;
    if (step < b) {
        while (step < b) {
            step.advance(1);
            ++count;
        }
    } else {
        while (step > b) {
            step.retreat(1);
            --count;
        }
    }
    return count;
}

} // namespace corvel
