#include "zem/text/LineMap.h"

#include "zem/base/Assert.h"

#include <algorithm>

namespace zem {

LineMap::LineMap(const wchar_t* text, size_t length) : m_text(text), m_length(text ? length : 0) {}

void LineMap::scanPast(uint32_t offset) {
    while (m_scanned < m_length && (m_lineStarts.empty() || m_lineStarts.back() <= offset)) {
        size_t i = m_scanned;
        while (i < m_length && m_text[i] != L'\r' && m_text[i] != L'\n')
            ++i;
        if (i == m_length) {
            m_scanned = m_length;
            return;
        }
        if (m_text[i] == L'\r' && i + 1 < m_length && m_text[i + 1] == L'\n')
            ++i;
        m_scanned = i + 1;
        m_lineStarts.push_back(static_cast<uint32_t>(m_scanned));
    }
}

LinePosition LineMap::getPosition(uint32_t offset) {
    ZEM_ASSERT_MSG(offset <= m_length, L"o <= m_buffer_length");
    scanPast(offset);
    const auto after = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), offset);
    LinePosition position;
    position.offset = offset;
    position.line = static_cast<uint32_t>(after - m_lineStarts.begin());
    position.column = position.line == 0 ? offset : offset - *(after - 1);
    return position;
}

} // namespace zem
