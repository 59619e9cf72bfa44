// Four-byte cells, one per character of a line (or one per line), in which highlighters
// set their mark bits: byte 2 marks a range, byte 3 a single place (an empty range).
// The array grows on demand and remembers that it changed.
#pragma once
#include <cstdint>
#include <vector>

namespace corvel {

class CellMarks {
public:
    static constexpr int32_t GROWTH = 10;

    // Marks bits in byte 2 of cells from..to-1, or in byte 3 of cell from when from
    // equals to. A negative or inverted range marks nothing.
    void mark(int32_t from, int32_t to, uint8_t bits);
    // Zeroes bytes 2 and 3 of every cell, when anything was marked.
    void clear();
    // Sets every cell to 0 and forgets the change.
    void reset(size_t count);

    uint32_t at(size_t index) const { return index < m_cells.size() ? m_cells[index] : 0; }
    uint8_t rangeBits(size_t index) const { return static_cast<uint8_t>(at(index) >> 16); }
    uint8_t pointBits(size_t index) const { return static_cast<uint8_t>(at(index) >> 24); }
    size_t size() const { return m_cells.size(); }
    bool isChanged() const { return m_changed; }
    void setChanged(bool changed) { m_changed = changed; }
    std::vector<uint32_t>& cells() { return m_cells; }

private:
    std::vector<uint32_t> m_cells;
    bool m_changed = false;
};

} // namespace corvel
