#include "LineBreakScanner.h"

namespace corvel {

void LineBreakScanner::emitBreak(int32_t kind) {
    *m_out++ = L'\n';
    m_lineStarts.append(m_base + static_cast<int32_t>(m_out - m_start));
    if (kind == LINE_ENDING_CR)
        ++m_crCount;
    else if (kind == LINE_ENDING_LF)
        ++m_lfCount;
    else
        ++m_crlfCount;
}

void LineBreakScanner::flushPending() {
    if (m_pending == CR)
        emitBreak(LINE_ENDING_CR);
    else if (m_pending == LF)
        emitBreak(LINE_ENDING_LF);
    m_pending = NONE;
}

void LineBreakScanner::putBreakUnit(wchar_t unit) {
    if (unit == L'\r') {
        flushPending();
        m_pending = CR;
        return;
    }
    // An LF: ends a pending CR as CR LF, a pending LF as a break of its own.
    if (m_pending == CR) {
        emitBreak(LINE_ENDING_CRLF);
        m_pending = NONE;
        return;
    }
    if (m_pending == LF)
        emitBreak(LINE_ENDING_LF);
    m_pending = LF;
}

} // namespace corvel
