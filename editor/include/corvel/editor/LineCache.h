// An editor's laid-out lines and, per document line, how many rows it takes and how
// wide it is. Records are made on demand and kept in a 200-slot cache; the editor
// invalidates them as text, wrap width, font or tabs change. Main thread only.
#pragma once
#include "corvel/editor/LineRecordCache.h"
#include "corvel/editor/SubLineIteratorBuilderInterface.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace corvel {

class LineTextSource;
class afUnicodeContext;

class LineCache : public SubLineIteratorBuilderInterface {
public:
    struct LineEntry {
        int32_t subLineCount = 0; // 0: not known yet
        int32_t width = 0;        // pixels
    };
    // Told the widest line so far, in space widths.
    typedef void (*WidthCallback)(void* data, int32_t columns);

    explicit LineCache(afUnicodeContext& context);
    LineCache(const LineCache&) = delete;
    LineCache& operator=(const LineCache&) = delete;

    // Binds the lines of a source (reset to its line count); null unbinds.
    void setSource(LineTextSource* source);
    LineTextSource* getSource() const { return m_source; }
    void setWidthCallback(void* data, WidthCallback callback) {
        m_widthData = data;
        m_widthCallback = callback;
    }
    afUnicodeContext& context() { return m_context; }

    // The laid-out line; null when unbound or out of range. Throws
    // zem::IllegalStateException when the layout fails.
    afUnicode* getLine(int32_t line);
    const LineEntry& getLineEntry(int32_t line);
    // The line's row count when known, without laying it out; 0 when not known.
    int32_t knownSubLineCount(int32_t line) const {
        return line >= 0 && line < static_cast<int32_t>(m_entries.size()) ? m_entries[line].subLineCount : 0;
    }
    // Asks cached layouts of lines a..b (either order) to be restyled.
    void markDirty(int32_t lineA, int32_t lineB);

    void invalidateRange(int32_t first, int32_t last);
    void invalidateFrom(int32_t line);
    void invalidateUpTo(int32_t line);
    void invalidateAll();
    void reset(int32_t lineCount);
    void insertLines(int32_t line, int32_t count);
    void removeLines(int32_t line, int32_t count);

    int32_t getWidestLine() const { return m_widest; }
    void resetWidestLine() { m_widest = 0; }
    // What an earlier view of the same text had seen; only wider lines are told from here.
    void setWidestLine(int32_t columns) { m_widest = columns < 0 ? 0 : columns; }
    LineRecordCache& records() { return *m_records; }

    SubLineIterator makeIterator(int32_t line, int32_t subLine) override;
    SubLineIterator begin() override;
    SubLineIterator end() override;
    int32_t getLineCount() override { return static_cast<int32_t>(m_entries.size()); }
    int32_t getSubLineCount(int32_t line, bool fallback) override;
    bool isOneSubLinePerLine() override;
    int32_t distance(const SubLineIterator& a, const SubLineIterator& b) override;

private:
    void fill(int32_t line, afUnicode& record);
    int32_t clampLine(int32_t line) const;
    void zeroEntries(int32_t first, int32_t last);

    void* m_widthData = nullptr;
    WidthCallback m_widthCallback = nullptr;
    LineTextSource* m_source = nullptr; // not owned
    afUnicodeContext& m_context;
    std::unique_ptr<LineRecordCache> m_records;
    int32_t m_widest = 0;
    std::vector<LineEntry> m_entries;
};

} // namespace corvel
