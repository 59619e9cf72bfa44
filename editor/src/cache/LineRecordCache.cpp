#include "corvel/editor/LineRecordCache.h"

namespace corvel {

afUnicode& LineRecordCache::acquire(int32_t line, bool* hit) {
    // A slot in use for the line wins; a free slot still naming it comes next.
    int found = -1;
    int victim = -1;
    for (int i = 0; i < SLOT_COUNT; ++i) {
        const Header& header = m_headers[i];
        if (header.line == line) {
            if (header.stamp != 0) {
                found = i;
                break;
            }
            if (found < 0)
                found = i;
        }
        if (victim < 0 || (m_headers[victim].stamp != 0 && header.stamp < m_headers[victim].stamp))
            victim = i;
    }
    int slot = found;
    if (slot >= 0) {
        *hit = m_headers[slot].stamp != 0;
    } else {
        slot = victim;
        if (m_headers[slot].stamp != 0)
            m_records[slot].reset();
        m_headers[slot].line = line;
        *hit = false;
    }
    bool wraps = m_clock == 0xFFFFFFFFu;
    m_headers[slot].stamp = m_clock++;
    if (wraps)
        renormalise();
    return m_records[slot];
}

afUnicode* LineRecordCache::find(int32_t line) {
    for (int i = 0; i < SLOT_COUNT; ++i) {
        if (m_headers[i].stamp != 0 && m_headers[i].line == line)
            return &m_records[i];
    }
    return nullptr;
}

void LineRecordCache::renormalise() {
    uint32_t low = 0xFFFFFFFFu;
    uint32_t high = 0;
    for (const Header& header : m_headers) {
        if (header.stamp == 0)
            continue;
        if (header.stamp < low)
            low = header.stamp;
        if (header.stamp > high)
            high = header.stamp;
    }
    if (high == 0) {
        m_clock = 1;
        return;
    }
    for (Header& header : m_headers) {
        if (header.stamp != 0)
            header.stamp -= low - 1;
    }
    m_clock = high - low + 2;
}

void LineRecordCache::freeSlot(int slot) {
    m_records[slot].reset();
    m_headers[slot].stamp = 0;
}

void LineRecordCache::dropRange(int32_t first, int32_t last) {
    for (int i = 0; i < SLOT_COUNT; ++i) {
        if (m_headers[i].stamp != 0 && m_headers[i].line >= first && m_headers[i].line <= last)
            freeSlot(i);
    }
}

void LineRecordCache::dropFrom(int32_t line) {
    for (int i = 0; i < SLOT_COUNT; ++i) {
        if (m_headers[i].stamp != 0 && m_headers[i].line >= line)
            freeSlot(i);
    }
}

void LineRecordCache::dropUpTo(int32_t line) {
    for (int i = 0; i < SLOT_COUNT; ++i) {
        if (m_headers[i].stamp != 0 && m_headers[i].line <= line)
            freeSlot(i);
    }
}

void LineRecordCache::clear() {
    for (int i = 0; i < SLOT_COUNT; ++i) {
        if (m_headers[i].stamp != 0)
            freeSlot(i);
    }
    m_clock = 1;
}

void LineRecordCache::removeLines(int32_t first, int32_t end) {
    if (first == end) {
        dropRange(first, first);
        return;
    }
    for (int i = 0; i < SLOT_COUNT; ++i) {
        Header& header = m_headers[i];
        if (header.stamp == 0)
            continue;
        if (header.line >= first && header.line <= end)
            freeSlot(i);
        else if (header.line > end)
            header.line -= end - first;
    }
}

void LineRecordCache::insertLines(int32_t count, int32_t from) {
    for (Header& header : m_headers) {
        if (header.line >= from)
            header.line += count;
    }
}

} // namespace corvel
