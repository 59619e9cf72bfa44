#include "LineBreakScanner.h"

#include "corvel/text/Utf8Decoder.h"

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

size_t LineBreakScanner::putUtf8(const uint8_t* bytes, size_t count, bool final) {
    size_t pos = 0;
    while (pos < count) {
        const uint8_t lead = bytes[pos];
        if (lead < 0x80 && lead != '\r' && lead != '\n') {
            if (m_pending != NONE)
                flushPending();
            wchar_t* out = m_out;
            do {
                *out++ = bytes[pos++];
            } while (pos < count && bytes[pos] < 0x80 && bytes[pos] != '\r' && bytes[pos] != '\n');
            m_out = out;
            continue;
        }
        if (lead < 0x80) {
            putBreakUnit(lead);
            ++pos;
            continue;
        }
        // C2..DF: two bytes, never overlong. E1..EC and EE..EF: three bytes, never overlong
        // and never a surrogate; only EF BF BE and EF BF BF are refused.
        if (lead >= 0xC2 && lead <= 0xDF && pos + 1 < count && (bytes[pos + 1] & 0xC0) == 0x80) {
            if (m_pending != NONE)
                flushPending();
            *m_out++ = static_cast<wchar_t>(((lead & 0x1F) << 6) | (bytes[pos + 1] & 0x3F));
            pos += 2;
            continue;
        }
        if (lead >= 0xE1 && lead <= 0xEF && lead != 0xED && pos + 2 < count && (bytes[pos + 1] & 0xC0) == 0x80 &&
            (bytes[pos + 2] & 0xC0) == 0x80) {
            const wchar_t unit =
                static_cast<wchar_t>(((lead & 0x0F) << 12) | ((bytes[pos + 1] & 0x3F) << 6) | (bytes[pos + 2] & 0x3F));
            if (unit != 0xFFFE && unit != 0xFFFF) {
                if (m_pending != NONE)
                    flushPending();
                *m_out++ = unit;
                pos += 3;
                continue;
            }
        }
        // Anything else, one sequence at a time, through the decoder that knows every case.
        size_t length = utf8::sequenceLength(lead);
        if (length == 0)
            length = 1;
        const size_t available = count - pos < length ? count - pos : length;
        // Only the bytes' real end is the file's: a sequence cut short inside the window
        // by the lead of the next one leaves that lead to the next round.
        const size_t used = decodeUtf8(bytes + pos, available, *this, final && pos + available == count);
        if (used == 0)
            break; // a sequence cut off by the end of the bytes waits for more
        pos += used;
    }
    return pos;
}

} // namespace corvel
