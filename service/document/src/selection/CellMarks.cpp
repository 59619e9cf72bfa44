#include "corvel/document/CellMarks.h"

#include <algorithm>

namespace corvel {

void CellMarks::mark(int32_t from, int32_t to, uint8_t bits) {
    if (from < 0 || to < from)
        return;
    if (static_cast<size_t>(to) >= m_cells.size())
        m_cells.resize(static_cast<size_t>(to) + GROWTH, 0);
    if (from == to) {
        m_cells[from] |= static_cast<uint32_t>(bits) << 24;
    } else {
        for (int32_t i = from; i < to; ++i)
            m_cells[i] |= static_cast<uint32_t>(bits) << 16;
    }
    m_changed = true;
}

void CellMarks::clear() {
    if (!m_changed)
        return;
    for (uint32_t& cell : m_cells)
        cell &= 0x0000FFFFu;
    m_changed = false;
}

void CellMarks::reset(size_t count) {
    m_cells.assign(count, 0);
    m_changed = false;
}

} // namespace corvel
