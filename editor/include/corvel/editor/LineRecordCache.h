// The laid-out lines an editor keeps: 200 records in one block, each slot stamped with
// the clock at its last use so the least recently used one is reused. Main thread only.
#pragma once
#include "corvel/ui/afUnicode.h"

#include <cstdint>

namespace corvel {

class LineRecordCache {
public:
    static constexpr int SLOT_COUNT = 200;

    struct Header {
        uint32_t stamp = 0; // 0: free
        int32_t line = 0;
    };

    LineRecordCache() = default;
    LineRecordCache(const LineRecordCache&) = delete;
    LineRecordCache& operator=(const LineRecordCache&) = delete;

    // The record of a line, hit telling whether it already held that line; a miss reuses
    // the first free slot, else the least recently used one.
    afUnicode& acquire(int32_t line, bool* hit);
    // The record of a line when one is cached; the stamp is left alone.
    afUnicode* find(int32_t line);

    void dropRange(int32_t first, int32_t last);
    void dropFrom(int32_t line);
    void dropUpTo(int32_t line);
    void clear();
    // Frees slots of lines first..end and moves those past end up by end - first.
    void removeLines(int32_t first, int32_t end);
    // Moves slots of lines from on down by count.
    void insertLines(int32_t count, int32_t from);

    const Header& header(int slot) const { return m_headers[slot]; }
    afUnicode& record(int slot) { return m_records[slot]; }
    uint32_t clock() const { return m_clock; }
    // Lets tests reach the clock's wrap without 2^32 lookups.
    void setClockForTest(uint32_t clock) { m_clock = clock; }

private:
    void freeSlot(int slot);
    void renormalise();

    uint32_t m_clock = 1;
    Header m_headers[SLOT_COUNT];
    afUnicode m_records[SLOT_COUNT];
};

} // namespace corvel
