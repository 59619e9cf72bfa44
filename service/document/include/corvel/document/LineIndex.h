// Maps a document's lines to offsets and keeps one header per line. Headers live in
// recycled slots reached through the used list, so that inserting a line moves one int
// per later line instead of whole headers. The line ends after the last edit carry its
// growth as one pending step, so that typing costs the lines between two edits, not the
// lines after the edit.
#pragma once
#include "corvel/document/IntList.h"
#include "corvel/document/LineHeader.h"
#include "corvel/document/TextChange.h"

#include <cstdint>
#include <memory>

namespace corvel {

class LineIndex {
public:
    LineIndex();
    ~LineIndex();
    LineIndex(const LineIndex&) = delete;
    LineIndex& operator=(const LineIndex&) = delete;

    int32_t getLineCount() const { return m_lineEnds.size(); }
    // The offset just past line `line`'s LF: the start of the next line.
    int32_t getLineEnd(int32_t line) const { return m_lineEnds[line] + (line >= m_stepLine ? m_stepDelta : 0); }
    // 0 for line 0; the text length for a line past the end.
    int32_t getLineStart(int32_t line) const;
    // 0 for a negative offset, the last line at or past the text length; an offset equal
    // to a line end belongs to the next line.
    int32_t getLineOfOffset(int32_t offset) const;
    int32_t getTextLength() const { return getLineEnd(m_lineEnds.size() - 1); }

    // Call after the text changed; the change's line, breaks and offsets describe it.
    void insert(const TextChange& change);
    void remove(const TextChange& change);
    // set: flags |= LINE_DIRTY | LINE_EDITED; else flags &= ~LINE_EDITED.
    void markLines(int32_t first, int32_t count, bool set);
    // One empty line whose header is dirty; 256 fresh slots.
    void reset();

    LineHeader* getHeader(int32_t line) { return &m_slots[m_used[line]]; }
    const LineHeader* getHeader(int32_t line) const { return &m_slots[m_used[line]]; }

    // For tests: the slot of a line, the free slots in order and the slot count.
    int32_t getSlotOfLine(int32_t line) const { return m_used[line]; }
    const IntList& getFreeSlots() const { return m_free; }
    int32_t getSlotCount() const { return m_slotCount; }
    int32_t getLineEndsCapacity() const { return m_lineEnds.capacity(); }

private:
    // Moves the pending step's start to `line`: the entries from there on carry it.
    void moveStepTo(int32_t line);
    // Moves the step to line for an edit that adds or removes no line.
    void bringStepTo(int32_t line);
    void insertLineEnds(int32_t line, int32_t count, int32_t growth);
    void removeLineEnds(int32_t line, int32_t count, int32_t shrink);
    void allocateHeaders(int32_t line, int32_t count);
    void releaseHeaders(int32_t line, int32_t count);
    void growSlots(int32_t count);
    void freeSlots();

    // m_lineEnds.size() == m_used.size() >= 1; the last line end is the text length.
    // Entries from m_stepLine on are stored without m_stepDelta, which getLineEnd adds.
    IntList m_lineEnds;
    int32_t m_stepLine = 0; // 0 <= m_stepLine <= m_lineEnds.size()
    int32_t m_stepDelta = 0;
    std::unique_ptr<LineHeader[]> m_slots; // m_slotCount headers
    int32_t m_slotCount = 0;
    IntList m_used; // slot of each line
    IntList m_free; // slots not in use, taken from the front
};

} // namespace corvel
