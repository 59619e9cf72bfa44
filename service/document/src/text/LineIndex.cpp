#include "corvel/document/LineIndex.h"

#include "zem/base/Assert.h"

#include <algorithm>
#include <cstdlib>

namespace corvel {

namespace {

const int32_t INITIAL_SLOTS = 256;

} // namespace

LineIndex::LineIndex() {
    reset();
}

LineIndex::~LineIndex() {
    freeSlots();
}

void LineIndex::freeSlots() {
    for (int32_t slot = 0; slot < m_slotCount; ++slot)
        m_slots[slot].clear();
}

void LineIndex::reset() {
    freeSlots();
    m_slots.reset(new LineHeader[INITIAL_SLOTS]);
    m_slotCount = INITIAL_SLOTS;
    m_free.reallocate(INITIAL_SLOTS);
    m_free.clear();
    for (int32_t slot = 0; slot < INITIAL_SLOTS - 1; ++slot)
        m_free.append(slot);
    m_used.reallocate(IntList::STEP);
    m_used.clear();
    m_used.append(INITIAL_SLOTS - 1);
    m_slots[INITIAL_SLOTS - 1].flags = LINE_DIRTY;
    if (m_lineEnds.capacity() != IntList::STEP)
        m_lineEnds.reallocate(IntList::STEP);
    m_lineEnds.clear();
    m_lineEnds.append(0);
    m_stepLine = 1;
    m_stepDelta = 0;
}

int32_t LineIndex::getLineStart(int32_t line) const {
    if (line <= 0)
        return 0;
    if (line >= getLineCount())
        return getTextLength();
    return getLineEnd(line - 1);
}

int32_t LineIndex::getLineOfOffset(int32_t offset) const {
    if (offset < 0)
        return 0;
    const int32_t last = getLineCount() - 1;
    if (offset >= getLineEnd(last))
        return last;
    // Both halves are sorted on their own: before the step as stored, after it less the step.
    const int32_t* ends = m_lineEnds.data();
    const int32_t split = std::min(m_stepLine, last);
    if (split > 0 && offset < ends[split - 1])
        return static_cast<int32_t>(std::upper_bound(ends, ends + split, offset) - ends);
    return static_cast<int32_t>(std::upper_bound(ends + split, ends + last, offset - m_stepDelta) - ends);
}

void LineIndex::moveStepTo(int32_t line) {
    int32_t* ends = m_lineEnds.data();
    if (m_stepDelta == 0) {
        m_stepLine = line;
        return;
    }
    for (int32_t i = m_stepLine; i < line; ++i)
        ends[i] += m_stepDelta;
    for (int32_t i = line; i < m_stepLine; ++i)
        ends[i] -= m_stepDelta;
    m_stepLine = line;
}

void LineIndex::insertLineEnds(int32_t line, int32_t count, int32_t growth) {
    const int32_t lineCount = getLineCount();
    if (count > 0) {
        // The entries that move carry the step with them.
        moveStepTo(line);
        if (lineCount + count >= m_lineEnds.capacity())
            m_lineEnds.reallocate(IntList::roundUp(lineCount + count));
        m_lineEnds.insertRoom(line, count);
        m_stepLine = line + count;
    } else {
        bringStepTo(line);
    }
    moveStepTo(line + count);
    m_stepDelta += growth;
}

void LineIndex::bringStepTo(int32_t line) {
    const int32_t lineCount = getLineCount();
    if (lineCount - m_stepLine < std::abs(line - m_stepLine)) {
        // Settling the step up to the end costs less than moving it to the edit.
        moveStepTo(lineCount);
        m_stepDelta = 0;
    }
    moveStepTo(line);
}

void LineIndex::removeLineEnds(int32_t line, int32_t count, int32_t shrink) {
    if (count == 0) {
        // Within one line: only the step moves, as for typing.
        bringStepTo(line);
        m_stepDelta -= shrink;
        return;
    }
    const int32_t lineCount = getLineCount();
    moveStepTo(line + count);
    int32_t* ends = m_lineEnds.data();
    std::copy(ends + line + count, ends + lineCount, ends + line);
    const int32_t remaining = lineCount - count;
    m_stepLine = line;
    m_stepDelta -= shrink;
    m_lineEnds.truncate(remaining);
    if (remaining <= m_lineEnds.capacity() - IntList::SLACK)
        m_lineEnds.reallocate(IntList::roundUp(remaining + IntList::STEP));
}

void LineIndex::growSlots(int32_t count) {
    const int32_t slotCount = IntList::roundUp(m_slotCount + count);
    std::unique_ptr<LineHeader[]> slots(new LineHeader[slotCount]);
    std::copy(m_slots.get(), m_slots.get() + m_slotCount, slots.get());
    m_slots = std::move(slots);
    m_free.insertRoom(m_free.size(), slotCount - m_slotCount);
    for (int32_t slot = m_slotCount; slot < slotCount; ++slot)
        m_free[m_free.size() - (slotCount - slot)] = slot;
    m_slotCount = slotCount;
}

void LineIndex::allocateHeaders(int32_t line, int32_t count) {
    if (m_free.size() < count)
        growSlots(count);
    m_used.insertRoom(line, count);
    std::copy(m_free.data(), m_free.data() + count, m_used.data() + line);
    m_free.erase(0, count);
}

void LineIndex::releaseHeaders(int32_t line, int32_t count) {
    const int32_t at = m_free.size();
    m_free.insertRoom(at, count);
    for (int32_t i = 0; i < count; ++i) {
        const int32_t slot = m_used[line + i];
        m_slots[slot].clear();
        m_free[at + i] = slot;
    }
    m_used.erase(line, count);
}

void LineIndex::insert(const TextChange& change) {
    const int32_t line = change.line;
    const int32_t breaks = change.lineBreaks;
    const bool atLineStart = change.offset == getLineStart(line);
    insertLineEnds(line, breaks, change.count);
    // The new entries stand before the step: they are stored as they are.
    int32_t* ends = m_lineEnds.data();
    for (int32_t i = 0; i < breaks; ++i)
        ends[line + i] = change.offset + change.breakOffsets[i];
    if (breaks > 0)
        allocateHeaders(atLineStart ? line : line + 1, breaks);
}

void LineIndex::remove(const TextChange& change) {
    const int32_t line = change.line;
    const int32_t joined = change.lineBreaks;
    const bool atLineStart = change.offset == getLineStart(line);
    removeLineEnds(line, joined, change.count);
    if (joined > 0)
        releaseHeaders(atLineStart ? line : line + 1, joined);
}

void LineIndex::markLines(int32_t first, int32_t count, bool set) {
    const int32_t from = std::max(first, 0);
    const int32_t to = std::min(getLineCount(), from + count);
    for (int32_t line = from; line < to; ++line) {
        LineHeader* header = getHeader(line);
        if (set)
            header->flags |= LINE_DIRTY | LINE_EDITED;
        else
            header->flags &= ~LINE_EDITED;
    }
}

} // namespace corvel
